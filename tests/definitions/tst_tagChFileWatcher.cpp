#include "../common/files.h"
#include "../common/heap.h"
#include "../common/sanitizers.h"

#include <zadururu/definitions/tagChFileWatcher.h>
#include <zadururu/definitions/tgchFileProcessor.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

namespace {

constexpr int signalTimeout = 5000;
// How long a notice that must not come is given to show up.
constexpr int quietPeriod = 300;

QByteArray definitions(int tagCount)
{
    QByteArray tags;
    for (int i = 1; i <= tagCount; ++i)
        tags += QString("<Tag><Id>%1</Id><Name>tag number %1</Name></Tag>").arg(i).toUtf8();
    return "<CTDefinitions><ChannelList><Channel/></ChannelList><TagList>" + tags + "</TagList></CTDefinitions>";
}

// Replaces the file by renaming a new one over it, as the library's writers do.
bool replace(const QString &path, int tagCount)
{
    return writeAll(path + ".new", definitions(tagCount))
        && std::rename(QFile::encodeName(path + ".new"), QFile::encodeName(path)) == 0;
}

int tagCount(TagChFileWatcher &watcher) { return watcher.tagChData() ? watcher.tagChData()->tags.size() : -1; }

} // namespace

class TestTagChFileWatcher : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(replace(path = dir.filePath(QTest::currentTestFunction()), 2)); }

    // One reload per change, whether the file is replaced or written in
    // place; broken content still gives a tree and a notice.
    void reloadsOnEveryChange()
    {
        TagChFileWatcher watcher(path, nullptr);
        QSignalSpy updated(&watcher, &TagChFileWatcher::tgchFileUpdated);
        QCOMPARE(tagCount(watcher), 2);
        QVERIFY(!updated.wait(quietPeriod));
        int seen = -1;
        connect(&watcher, &TagChFileWatcher::tgchFileUpdated, this, [&] { seen = tagCount(watcher); });
        for (int round = 3; round < 6; ++round) {
            QVERIFY(replace(path, round));
            QTRY_COMPARE_WITH_TIMEOUT(seen, round, signalTimeout);
        }
        QVERIFY(writeAll(path, definitions(7)));
        QTRY_COMPARE_WITH_TIMEOUT(seen, 7, signalTimeout);
        QVERIFY(writeAll(path, "<CTDefinitions><TagList>"));
        QTRY_COMPARE_WITH_TIMEOUT(seen, 0, signalTimeout);
        destroyFileDataTree(watcher.tagChData());
    }

    // A path that does not exist cannot be watched: it loads as null, also
    // once the file exists, until setFile() is called for it. setFile() with
    // another path stops the notices for the first.
    void setFile()
    {
        const QString later = path + ".later";
        TagChFileWatcher watcher(later, nullptr);
        QCOMPARE(tagCount(watcher), -1);
        QSignalSpy updated(&watcher, &TagChFileWatcher::tgchFileUpdated);
        QVERIFY(replace(later, 1));
        QVERIFY(!updated.wait(quietPeriod));
        QCOMPARE(tagCount(watcher), -1);
        watcher.setFile(later);
        QCOMPARE(tagCount(watcher), 1);
        watcher.setFile(path);
        QCOMPARE(tagCount(watcher), 2);
        QVERIFY(writeAll(later, definitions(9)));
        QVERIFY(!updated.wait(quietPeriod));
        QVERIFY(replace(path, 6));
        QTRY_COMPARE_WITH_TIMEOUT(tagCount(watcher), 6, signalTimeout);
        destroyFileDataTree(watcher.tagChData());
    }

    // Each reload frees the tree it replaces: the heap in use does not grow with the
    // number of reloads. (Under the sanitizers, LeakSanitizer reports such a leak.)
    void reloadsFreeTheOldTree()
    {
        if (underAddressSanitizer)
            QSKIP("LeakSanitizer checks this");
        QVERIFY(writeAll(path, definitions(5000)));
        const qint64 before = heapInUse();
        TagChFileWatcher watcher(path, nullptr);
        QCOMPARE(tagCount(watcher), 5000);
        const qint64 oneTree = heapInUse() - before;
        const qint64 growth = heapGrowth([&] { watcher.setFile(path); });
        QVERIFY2(growth < oneTree / 4, qPrintable(QString("30 reloads added %1 bytes").arg(growth)));
        destroyFileDataTree(watcher.tagChData());
    }

private:
    QTemporaryDir dir;
    QString path;
};

QTEST_GUILESS_MAIN(TestTagChFileWatcher)
#include "tst_tagChFileWatcher.moc"
