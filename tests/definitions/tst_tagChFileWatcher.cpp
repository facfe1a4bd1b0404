#include "../common/files.h"

#include <zadururu/definitions/tagChFileWatcher.h>
#include <zadururu/definitions/tgchFileProcessor.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <malloc.h>
#include <memory>

#if defined(__SANITIZE_ADDRESS__)
#define HEAP_COUNTED_BY_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HEAP_COUNTED_BY_SANITIZER 1
#endif
#endif

namespace {

constexpr int signalTimeout = 5000;
// How long a notice that must not come is given to show up.
constexpr int quietPeriod = 300;

// @p tagCount tags and @p noneCount channels named "None", which the loader discards.
QByteArray definitions(int tagCount, int noneCount = 0)
{
    QByteArray channels, tags;
    for (int i = 0; i < noneCount; ++i)
        channels += "<Channel><Name>None</Name><Description>spare channel</Description></Channel>";
    for (int i = 1; i <= tagCount; ++i)
        tags += "<Tag><Id>" + QByteArray::number(i) + "</Id><Name>tag number " + QByteArray::number(i) + "</Name></Tag>";
    return "<CTDefinitions><ChannelList>" + channels + "</ChannelList><TagList>" + tags + "</TagList></CTDefinitions>";
}

// Replaces the file by renaming a new one over it, as the library's writers do.
bool rewrite(const QString &path, int tagCount)
{
    FileDataTree *tree = TgchFileProcessor::loadFileData(definitions(tagCount));
    const bool written = TgchFileProcessor::writeToFile(tree, path);
    destroyFileDataTree(tree);
    return written;
}

int tagCount(TagChFileWatcher &watcher)
{
    return watcher.tagChData() ? watcher.tagChData()->tags.size() : -1;
}

} // namespace

class TestTagChFileWatcher : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        path = dir->filePath(QStringLiteral("defs.xml"));
        QVERIFY(rewrite(path, 2));
    }

    // One reload and one notice per change, whether the file is replaced or
    // written in place, and broken content still gives a tree and a notice.
    void reloadsOnEveryChange()
    {
        TagChFileWatcher watcher(path, nullptr);
        QSignalSpy updated(&watcher, &TagChFileWatcher::tgchFileUpdated);
        QCOMPARE(tagCount(watcher), 2);
        QVERIFY(!updated.wait(quietPeriod));
        int seen = -1;
        connect(&watcher, &TagChFileWatcher::tgchFileUpdated, this, [&] { seen = tagCount(watcher); });
        for (int round = 3; round < 6; ++round) {
            QVERIFY(rewrite(path, round));
            QTRY_COMPARE_WITH_TIMEOUT(seen, round, signalTimeout);
        }
        QVERIFY(writeAll(path, definitions(7)));
        QTRY_COMPARE_WITH_TIMEOUT(seen, 7, signalTimeout);
        QVERIFY(writeAll(path, "<CTDefinitions><TagList>"));
        QTRY_COMPARE_WITH_TIMEOUT(seen, 0, signalTimeout);
        QCOMPARE(watcher.tagChData()->channels.size(), 1);
        QVERIFY(updated.count() >= 5);
        destroyFileDataTree(watcher.tagChData());
    }

    void missingFile()
    {
        const QString missing = dir->filePath(QStringLiteral("later.xml"));
        TagChFileWatcher watcher(missing, nullptr);
        QCOMPARE(tagCount(watcher), -1);
        watcher.setFile(missing); // nothing to free, still nothing to load
        QCOMPARE(tagCount(watcher), -1);
        QSignalSpy updated(&watcher, &TagChFileWatcher::tgchFileUpdated);
        QVERIFY(rewrite(missing, 1));
        QVERIFY(!updated.wait(quietPeriod)); // a path that did not exist was never watched
        QCOMPARE(tagCount(watcher), -1);
        watcher.setFile(missing);
        QCOMPARE(tagCount(watcher), 1);
        destroyFileDataTree(watcher.tagChData());
    }

    void secondPathStopsFirst()
    {
        const QString second = dir->filePath(QStringLiteral("second.xml"));
        QVERIFY(rewrite(second, 5));
        TagChFileWatcher watcher(path, nullptr);
        QSignalSpy updated(&watcher, &TagChFileWatcher::tgchFileUpdated);
        watcher.setFile(second);
        QCOMPARE(tagCount(watcher), 5);
        QVERIFY(writeAll(path, definitions(9)));
        QVERIFY(!updated.wait(quietPeriod));
        QCOMPARE(tagCount(watcher), 5);
        QVERIFY(rewrite(second, 6));
        QVERIFY(updated.wait(signalTimeout));
        QTRY_COMPARE_WITH_TIMEOUT(tagCount(watcher), 6, signalTimeout);
        destroyFileDataTree(watcher.tagChData());
    }

    // Each reload frees the tree it replaces: the heap in use does not grow
    // with the number of reloads. (The sanitizers' allocator keeps its own
    // books, and LeakSanitizer reports such a leak there.)
    void reloadsFreeTheOldTree()
    {
#ifdef HEAP_COUNTED_BY_SANITIZER
        QSKIP("LeakSanitizer checks this");
#else
        QVERIFY(writeAll(path, definitions(3000, 1000)));
        const size_t before = mallinfo2().uordblks;
        TagChFileWatcher watcher(path, nullptr);
        QCOMPARE(tagCount(watcher), 3000);
        const size_t oneTree = mallinfo2().uordblks - before;
        for (int i = 0; i < 3; ++i)
            watcher.setFile(path);
        const size_t settled = mallinfo2().uordblks;
        for (int i = 0; i < 30; ++i)
            watcher.setFile(path);
        const size_t after = mallinfo2().uordblks;
        QVERIFY2(after < settled + oneTree / 4,
                 qPrintable(QStringLiteral("30 reloads of a %1-byte tree added %2 bytes")
                                .arg(oneTree).arg(qint64(after) - qint64(settled))));
        QCOMPARE(tagCount(watcher), 3000);
        destroyFileDataTree(watcher.tagChData());
#endif
    }

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString path;
};

QTEST_GUILESS_MAIN(TestTagChFileWatcher)
#include "tst_tagChFileWatcher.moc"
