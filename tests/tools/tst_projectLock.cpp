// One run changes a project at a time, a change cut short is finished or
// undone whatever path names the project, and nothing planted in a project
// makes the tool touch files outside it.

#include "../common/toolProcess.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether process @p pid has stopped (SIGSTOP), from its state in /proc.
bool stopped(qint64 pid)
{
    const QByteArray stat = readAll(QStringLiteral("/proc/%1/stat").arg(pid));
    return stat.mid(stat.lastIndexOf(')') + 2, 1) == "T";
}

/// A rename of tag 10 in @p project that stops just before its change happens, holding the project's lock.
struct StoppedRename
{
    QProcess process;

    explicit StoppedRename(const QString &project)
    {
        process.setProcessEnvironment(environmentWith("ZADURURU_STOP_BEFORE_COMMIT", "1"));
        process.start(ZADURURU_TOOL, {"rename-tag", project, "--id", "10", "--to", "900"});
        process.waitForStarted();
    }
    bool waitUntilStopped()
    {
        QElapsedTimer timer;
        timer.start();
        while (!stopped(process.processId()) && timer.elapsed() < 30000 && process.state() == QProcess::Running)
            QThread::msleep(10);
        return stopped(process.processId());
    }
    int finish()
    {
        ::kill(pid_t(process.processId()), SIGCONT);
        process.waitForFinished(60000);
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    ~StoppedRename()
    {
        if (process.state() == QProcess::Running) {
            process.kill();
            ::kill(pid_t(process.processId()), SIGCONT);
            process.waitForFinished();
        }
    }
};

// Files and links below @p folder (links not followed), each with its content or link target.
QMap<QString, QByteArray> entries(const QString &folder)
{
    QMap<QString, QByteArray> found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString name = QDir(folder).relativeFilePath(info.filePath());
        found.insert(name, info.isSymLink() ? "-> " + info.symLinkTarget().toUtf8() : info.isFile() ? readAll(info.filePath()) : "folder");
    }
    return found;
}

} // namespace

class TestProjectLock : public QObject
{
    Q_OBJECT
private slots:
    // Journals planted in a project: each is refused, and neither the files
    // outside nor the project change.
    void plantedJournal_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("plant"); // "link NAME" (to the outside folder), "dir NAME", "file NAME", "fifo NAME"
        QTest::addColumn<QString>("message");
        QTest::newRow("staging is a link") << "check" << QStringList{"link .zadururu-journal.new"}
                                           << ".zadururu-journal.new is a symbolic link";
        QTest::newRow("journal is a link") << "xref" << QStringList{"link .zadururu-journal"}
                                           << ".zadururu-journal is a symbolic link";
        QTest::newRow("journal files are a link") << "check" << QStringList{"dir .zadururu-journal", "link .zadururu-journal/files"}
                                                  << ".zadururu-journal/files: not a real folder";
        QTest::newRow("entry below a linked folder") << "check"
                                                     << QStringList{"link sub", "file .zadururu-journal/files/sub/canary"}
                                                     << "the journal would replace sub/canary (sub is a symbolic link";
        QTest::newRow("entry is a link") << "xref" << QStringList{"link .zadururu-journal/files/pages/overview.xml"}
                                         << ".zadururu-journal/files/pages/overview.xml is a symbolic link";
        QTest::newRow("entry replaces a link") << "check"
                                               << QStringList{"link pages/extra.xml", "file .zadururu-journal/files/pages/extra.xml"}
                                               << "pages/extra.xml is a symbolic link, not a file the tool may replace";
        QTest::newRow("entry inside the journal") << "check"
                                                  << QStringList{"file .zadururu-journal/files/.zadururu-journal.new/x"}
                                                  << ".zadururu-journal.new/x: not a file of the project";
        QTest::newRow("staging holds a link") << "check" << QStringList{"link .zadururu-journal.new/files/canary"}
                                              << ".zadururu-journal.new/files/canary is a symbolic link";
        QTest::newRow("staging holds a FIFO") << "check" << QStringList{"fifo .zadururu-journal.new/files/pages/a.xml"}
                                              << ".zadururu-journal.new/files/pages/a.xml is a special file";
        QTest::newRow("a good staging folder beside a planted journal") << "check"
            << QStringList{"file .zadururu-journal.new/files/pages/a.xml", "link .zadururu-journal"} << ".zadururu-journal is a symbolic link";
    }
    void plantedJournal()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, plant);
        QTemporaryDir dir;
        const QString outside = dir.filePath("outside");
        QVERIFY(QDir().mkpath(outside + "/pages"));
        QVERIFY(writeAll(outside + "/canary", "keep"));
        QVERIFY(writeAll(outside + "/pages/overview.xml", "outside"));
        const QString project = projectCopy(dir.path(), "plant");
        for (const QString &step : plant) {
            const QString path = project + '/' + step.section(' ', 1);
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            const QString kind = step.section(' ', 0, 0);
            if (kind == "link")
                QVERIFY(QFile::link(outside, path));
            else if (kind == "dir")
                QVERIFY(QDir().mkpath(path));
            else if (kind == "file")
                QVERIFY(writeAll(path, "<new/>"));
            else
                QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        }
        const auto outsideBefore = entries(outside);
        const auto projectBefore = entries(project);

        const ToolRun run = tool({command, project, "--wait", "0"});
        QCOMPARE(run.exitCode, 2);
        QFETCH(QString, message);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY2(run.err.contains("nothing was changed"), qPrintable(run.err));
        QCOMPARE(entries(outside), outsideBefore);
        QCOMPARE(entries(project), projectBefore);
    }

    // A change cut short is finished (or its staging removed) whatever form
    // of the project's path the command is given, and says so.
    void recoveryThroughAnyPath_data()
    {
        QTest::addColumn<QString>("path"); // from the folder that holds the project "p" and the link "l" to it
        QTest::addColumn<bool>("committed");
        for (const char *path : {"p", "p/", "./p//", "l", "l/"}) {
            QTest::addRow("committed, %s", path) << path << true;
            QTest::addRow("staged, %s", path) << path << false;
        }
        QTest::newRow("committed, absolute") << "" << true;
    }
    void recoveryThroughAnyPath()
    {
        QFETCH(QString, path);
        QFETCH(bool, committed);
        QTemporaryDir dir;
        const QString project = projectCopy(dir.path(), "plant");
        QCOMPARE(QDir(dir.path()).rename("plant", "p"), true);
        QVERIFY(QFile::link("p", dir.filePath("l")));
        const QString journal = dir.filePath(committed ? "p/.zadururu-journal" : "p/.zadururu-journal.new");
        QVERIFY(QDir().mkpath(journal + "/files/pages"));
        const QByteArray changed = readAll(example("plant/pages/overview.xml")) + "<!-- changed -->\n";
        QVERIFY(writeAll(journal + "/files/pages/overview.xml", changed));
        QVERIFY(writeAll(journal + "/operation", "rename tag Id 1 to 2\npages/overview.xml\n"));

        const ToolRun run = toolIn(dir.path(), {"check", path.isEmpty() ? dir.filePath("p") : path});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains(committed ? "finished an interrupted change: rename tag Id 1 to 2"
                                            : "removed .zadururu-journal.new, a change that a killed run had not made yet"),
                 qPrintable(run.err));
        QCOMPARE(readAll(dir.filePath("p/pages/overview.xml")), committed ? changed : readAll(example("plant/pages/overview.xml")));
        QVERIFY(!QFileInfo::exists(journal));
        QVERIFY(toolIn(dir.path(), {"check", "p"}).err.isEmpty()); // nothing left to do
    }

    // While a rename holds a project, no other run reads or writes it, each
    // waits and gives up naming the rename; the rename then goes through.
    void lockedByARename_data()
    {
        QTest::addColumn<QStringList>("arguments"); // P: the project
        QTest::newRow("check") << QStringList{"check", "P"};
        QTest::newRow("xref") << QStringList{"xref", "P", "11"};
        QTest::newRow("rename-tag") << QStringList{"rename-tag", "P", "--id", "11", "--to", "901"};
        QTest::newRow("rename-tag --dry-run") << QStringList{"rename-tag", "P", "--id", "11", "--to", "901", "--dry-run"};
        QTest::newRow("diff") << QStringList{"diff", "P", EXAMPLES_DIR "/plant"};
        QTest::newRow("format of a page") << QStringList{"format", "P/pages/pumpstation.xml"};
        QTest::newRow("format into a page") << QStringList{"format", EXAMPLES_DIR "/plant/pages/pumpstation.xml", "-o", "P/pages/new.xml"};
        QTest::newRow("import-csv") << QStringList{"import-csv", EXAMPLES_DIR "/plant/tags.csv", "--into", "P/definitions.xml"};
        QTest::newRow("export") << QStringList{"export", "P/definitions.xml", "--tags", "-o", "OUT/tags.csv"};
        QTest::newRow("render") << QStringList{"render", "P/pages/overview.xml", "-o", "OUT/o.png"};
    }
    void lockedByARename()
    {
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        const QString project = projectCopy(dir.path(), "plant");
        arguments.replaceInStrings(QRegularExpression("^P"), project).replaceInStrings(QRegularExpression("^OUT"), dir.path());
        StoppedRename rename(project);
        QVERIFY(rename.waitUntilStopped());
        const auto staged = entries(project);

        QElapsedTimer timer;
        timer.start();
        const ToolRun blocked = tool(arguments << "--wait" << "0.3");
        QVERIFY(timer.elapsed() >= 300);
        QCOMPARE(blocked.exitCode, 2);
        const QString holder = QStringLiteral("process %1 (%2 rename-tag %3 --id 10 --to 900) is using the project; waited 0.3 s")
                                   .arg(rename.process.processId()).arg(ZADURURU_TOOL, project);
        QVERIFY2(blocked.err.contains(holder), qPrintable(blocked.err));
        QCOMPARE(entries(project), staged);
        QVERIFY(!QFileInfo::exists(dir.filePath("o.png")));

        QCOMPARE(rename.finish(), 0);
        QVERIFY(jsonOf(tool({"xref", "--json", project, "900"})).value("tags").toArray().size() == 1);
        QCOMPARE(tool(arguments).exitCode, arguments.first() == "diff" ? 1 : 0);
    }

    // Readers share the project; a reader keeps a writer out; a killed holder leaves no lock behind.
    void sharedAndKilled()
    {
        QTemporaryDir dir;
        const QString project = projectCopy(dir.path(), "plant");
        QProcess reader; // flock(1) holds a shared lock on the folder, as a reading run does
        const QString flock = QStandardPaths::findExecutable("flock");
        reader.start(flock, {"--shared", project, "cat"}); // until its input ends
        QVERIFY(reader.waitForStarted());
        QElapsedTimer timer;
        timer.start();
        while (tool({"rename-tag", project, "--id", "10", "--to", "900", "--wait", "0"}).exitCode != 2 && timer.elapsed() < 10000)
            QThread::msleep(20); // until flock holds the lock
        QCOMPARE(tool({"check", project, "--wait", "0"}).exitCode, 0);
        const ToolRun writer = tool({"rename-tag", project, "--id", "10", "--to", "900", "--wait", "0"});
        QCOMPARE(writer.exitCode, 2);
        QVERIFY2(writer.err.contains(QStringLiteral("process %1 (%2 --shared %3 cat)").arg(reader.processId()).arg(flock, project)),
                 qPrintable(writer.err));
        reader.closeWriteChannel();
        QVERIFY(reader.waitForFinished());

        StoppedRename rename(project);
        QVERIFY(rename.waitUntilStopped());
        rename.process.kill();
        rename.process.waitForFinished();
        const ToolRun next = tool({"check", project, "--wait", "0"});
        QCOMPARE(next.exitCode, 0);
        QVERIFY2(next.err.contains("removed .zadururu-journal.new"), qPrintable(next.err));
        QCOMPARE(entries(project), entries(example("plant")));
    }

    // A rename whose staged files another program changes before the change
    // happens fails and changes nothing.
    void stagingChanged_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("content") << "append";
        QTest::newRow("file replaced") << "replace";
        QTest::newRow("file added") << "add";
        QTest::newRow("file removed") << "remove";
    }
    void stagingChanged()
    {
        QFETCH(QString, change);
        QTemporaryDir dir;
        const QString project = projectCopy(dir.path(), "plant");
        const auto before = entries(project);
        StoppedRename rename(project);
        QVERIFY(rename.waitUntilStopped());
        const QString staged = project + "/.zadururu-journal.new/files/definitions.xml";
        const QByteArray bytes = readAll(staged);
        QVERIFY(!bytes.isEmpty());
        if (change == "append") {
            QFile file(staged);
            QVERIFY(file.open(QIODevice::Append) && file.write(" ") == 1);
        } else if (change == "replace") {
            QVERIFY(QFile::remove(staged) && writeAll(staged, bytes));
        } else if (change == "add") {
            QVERIFY(writeAll(project + "/.zadururu-journal.new/files/pages/planted.xml", "<ScadaFile/>"));
        } else {
            QVERIFY(QFile::remove(staged));
        }
        QCOMPARE(rename.finish(), 2);
        QVERIFY2(rename.process.readAllStandardError().contains("changed by another program while the change was prepared; nothing was changed"), "");
        QCOMPARE(entries(project), before);
    }

    // The lock needs no file: an ordinary user reads a project they may not write.
    void readOnlyProject()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to run the tool as another user");
        QTemporaryDir dir;
        QVERIFY(openToOthers(dir.path()));
        const QString project = projectCopy(dir.path(), "plant");
        const ToolRun check = toolAsUser({"check", project});
        QVERIFY2(check.exitCode == 0, qPrintable(check.err));
        const ToolRun rename = toolAsUser({"rename-tag", project, "--id", "10", "--to", "900"});
        QCOMPARE(rename.exitCode, 2);
        QVERIFY2(rename.err.contains(".zadururu-journal.new: cannot be created (Permission denied)"), qPrintable(rename.err));
        QCOMPARE(entries(project), entries(example("plant")));

        // A killed run's staging folder is read past; a committed change the user may not finish is not.
        QVERIFY(QDir().mkpath(project + "/.zadururu-journal.new/files"));
        const ToolRun staged = toolAsUser({"check", project});
        QCOMPARE(staged.exitCode, 0);
        QVERIFY2(staged.err.contains(".zadururu-journal.new, a change that a killed run had not made yet, cannot be removed "
                                     "(Permission denied); the project is read as it is"),
                 qPrintable(staged.err));
        QVERIFY(QDir().rename(project + "/.zadururu-journal.new", project + "/.zadururu-journal"));
        const ToolRun committed = toolAsUser({"xref", project});
        QCOMPARE(committed.exitCode, 2);
        QVERIFY2(committed.err.contains(".zadururu-journal: cannot be removed (Permission denied)"), qPrintable(committed.err));
        QVERIFY(QFileInfo(project + "/.zadururu-journal/files").isDir());
    }
};

QTEST_GUILESS_MAIN(TestProjectLock)
#include "tst_projectLock.moc"
