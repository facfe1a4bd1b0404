#include <zadururu/definitions/tagChFileWatcher.h>
#include <zadururu/definitions/tgchFileProcessor.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Signals arrive through the event loop; a wait never needs this long.
constexpr int signalTimeout = 5000;
// How long a notice that must not come is given to show up.
constexpr int quietPeriod = 300;

QByteArray definitions(int tagCount)
{
    QByteArray tags;
    for (int i = 1; i <= tagCount; ++i)
        tags += "<Tag><Id>" + QByteArray::number(i) + "</Id><Name>t" + QByteArray::number(i) + "</Name></Tag>";
    return "<CTDefinitions><ChannelList/><TagList>" + tags + "</TagList></CTDefinitions>";
}

// Replaces the file through a temporary file and a rename, as our writers do.
bool rewrite(const QString &path, int tagCount)
{
    FileDataTree *tree = TgchFileProcessor::loadFileData(definitions(tagCount));
    const bool written = TgchFileProcessor::writeToFile(tree, path);
    destroyFileDataTree(tree);
    return written;
}

// Writes the file in place, keeping its inode.
bool overwrite(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

class TestTagChFileWatcher : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        path = dir.filePath(QStringLiteral("defs.xml"));
        QFile::remove(path);
        QVERIFY(rewrite(path, 2));
    }

    void loadsWithoutSignal()
    {
        TagChFileWatcher watcher(path, nullptr);
        QSignalSpy updated(&watcher, &TagChFileWatcher::tgchFileUpdated);
        QVERIFY(watcher.tagChData());
        QCOMPARE(watcher.tagChData()->tags.size(), 2);
        QVERIFY(!updated.wait(quietPeriod));
        destroyFileDataTree(watcher.tagChData());
    }

    // Our writers replace the file by renaming a new one over it; the watcher
    // must keep following the path, one reload per notice.
    void followsReplacedFile()
    {
        TagChFileWatcher watcher(path, nullptr);
        int reloads = 0;
        int lastCount = -1;
        connect(&watcher, &TagChFileWatcher::tgchFileUpdated, this, [&] {
            ++reloads;
            lastCount = watcher.tagChData() ? watcher.tagChData()->tags.size() : -1;
        });
        QSignalSpy updated(&watcher, &TagChFileWatcher::tgchFileUpdated);
        for (int round = 3; round < 8; ++round) {
            const int before = updated.count();
            QVERIFY(rewrite(path, round));
            QTRY_VERIFY_WITH_TIMEOUT(updated.count() > before, signalTimeout);
            QTRY_COMPARE_WITH_TIMEOUT(lastCount, round, signalTimeout);
        }
        QCOMPARE(reloads, updated.count());
        QCOMPARE(watcher.tagChData()->tags.size(), 7);
        destroyFileDataTree(watcher.tagChData());
    }

    void inPlaceWriteAndBrokenContent()
    {
        TagChFileWatcher watcher(path, nullptr);
        QSignalSpy updated(&watcher, &TagChFileWatcher::tgchFileUpdated);
        QVERIFY(overwrite(path, definitions(4)));
        QVERIFY(updated.wait(signalTimeout));
        QTRY_COMPARE_WITH_TIMEOUT(watcher.tagChData()->tags.size(), 4, signalTimeout);
        const int before = updated.count();
        QVERIFY(overwrite(path, "<CTDefinitions><TagList>"));
        QTRY_VERIFY_WITH_TIMEOUT(updated.count() > before, signalTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(watcher.tagChData()->tags.isEmpty(), signalTimeout);
        QCOMPARE(watcher.tagChData()->channels.size(), 1);
        destroyFileDataTree(watcher.tagChData());
    }

    void missingFile()
    {
        const QString missing = dir.filePath(QStringLiteral("later.xml"));
        TagChFileWatcher watcher(missing, nullptr);
        QVERIFY(!watcher.tagChData());
        watcher.setFile(missing); // nothing to free, still nothing to load
        QVERIFY(!watcher.tagChData());
        QVERIFY(rewrite(missing, 1));
        QSignalSpy updated(&watcher, &TagChFileWatcher::tgchFileUpdated);
        QVERIFY(!updated.wait(quietPeriod)); // a path that did not exist was never watched
        QVERIFY(!watcher.tagChData());
        watcher.setFile(missing);
        QVERIFY(watcher.tagChData());
        QCOMPARE(watcher.tagChData()->tags.size(), 1);
        destroyFileDataTree(watcher.tagChData());
    }

    void secondPathStopsFirst()
    {
        const QString second = dir.filePath(QStringLiteral("second.xml"));
        QVERIFY(rewrite(second, 5));
        TagChFileWatcher watcher(path, nullptr);
        QSignalSpy updated(&watcher, &TagChFileWatcher::tgchFileUpdated);
        watcher.setFile(second);
        QCOMPARE(watcher.tagChData()->tags.size(), 5);
        QCOMPARE(updated.count(), 0);
        QVERIFY(rewrite(path, 9));
        QVERIFY(!updated.wait(quietPeriod));
        QCOMPARE(watcher.tagChData()->tags.size(), 5);
        QVERIFY(rewrite(second, 6));
        QVERIFY(updated.wait(signalTimeout));
        QTRY_COMPARE_WITH_TIMEOUT(watcher.tagChData()->tags.size(), 6, signalTimeout);
        destroyFileDataTree(watcher.tagChData());
    }

private:
    QTemporaryDir dir;
    QString path;
};

QTEST_GUILESS_MAIN(TestTagChFileWatcher)
#include "tst_tagChFileWatcher.moc"
