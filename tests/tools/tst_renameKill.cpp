#include "../common/toolProcess.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <random>

#include <unistd.h>

class TestRenameKill : public QObject
{
    Q_OBJECT
private slots:
    // A rename over 50 pages killed at random moments: after the next run of
    // the tool, every file is wholly old or wholly new, all of them together.
    void killedRename()
    {
        // Flushing to a real disk makes a rename of 51 files take a second; a
        // kill, unlike a power cut, loses nothing that was written unflushed.
        QTemporaryDir dir(QFileInfo("/dev/shm").isWritable() ? "/dev/shm/zadururu-kill-XXXXXX" : QString());
        const QString project = manyPagesCopy(dir.path());
        QVERIFY(!project.isEmpty());
        const auto rename = [&project](bool back) {
            return QStringList{"rename-tag", project, "--id", back ? "900" : "10", "--to", back ? "10" : "900"};
        };

        // Two whole renames put every file in the writers' form: the two states are fixed from then on.
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(tool(rename(false)).exitCode, 0);
        const qint64 wholeRunUs = timer.nsecsElapsed() / 1000;
        const auto renamed = folderContents(project);
        QCOMPARE(tool(rename(true)).exitCode, 0);
        const auto original = folderContents(project);
        int differing = 0;
        for (auto it = original.constBegin(); it != original.constEnd(); ++it)
            differing += renamed.value(it.key()) != it.value();
        QCOMPARE(differing, 51);

        const unsigned seed = qEnvironmentVariableIsSet("ZADURURU_KILL_SEED") ? qEnvironmentVariableIntValue("ZADURURU_KILL_SEED") : 19u;
        std::mt19937 random(seed);
        bool isRenamed = false;
        int leftUnfinished = 0;
        const int rounds = 15;
        for (int round = 0; round < rounds; ++round) {
            QProcess process;
            process.start(ZADURURU_TOOL, rename(isRenamed));
            QVERIFY(process.waitForStarted());
            // The first part of a run starts the process and reads the project.
            const int delayUs = std::uniform_int_distribution<int>(int(wholeRunUs / 4), int(wholeRunUs))(random);
            usleep(useconds_t(delayUs));
            process.kill();
            process.waitForFinished();
            const auto killed = folderContents(project);
            leftUnfinished += killed != original && killed != renamed;

            const ToolRun next = tool({"xref", project, "1"}); // a tag of both states
            const auto now = folderContents(project);
            int asOriginal = 0, asRenamed = 0;
            for (auto it = now.constBegin(); it != now.constEnd(); ++it) {
                asOriginal += original.value(it.key()) == it.value();
                asRenamed += renamed.value(it.key()) == it.value();
            }
            QVERIFY2(next.exitCode == 0 && (now == original || now == renamed),
                     qPrintable(QStringLiteral("seed %1 (ZADURURU_KILL_SEED), round %2, killed after %3 us: %4 files, "
                                               "%5 as before, %6 as renamed; xref said: %7")
                                    .arg(seed).arg(round).arg(delayUs).arg(now.size()).arg(asOriginal).arg(asRenamed).arg(next.err)));
            isRenamed = now == renamed;
        }
        qInfo("%d of %d kills left a change for the next run to finish or undo", leftUnfinished, rounds);
    }
};

QTEST_GUILESS_MAIN(TestRenameKill)
#include "tst_renameKill.moc"
