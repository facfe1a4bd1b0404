// The tool's command line as a process: usage errors, help, suggestions for
// what was mistyped, paths of the wrong kind, and progress on a terminal.

#include "../common/toolProcess.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// @p word quoted for a POSIX shell.
QString shellQuoted(const QString &word)
{
    return QLatin1Char('\'') + QString(word).replace(QLatin1Char('\''), QLatin1String("'\\''")) + QLatin1Char('\'');
}

} // namespace

class TestToolCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_empty = m_dir.filePath("empty");
        m_otherCase = m_dir.filePath("other-case");
        QVERIFY(QDir().mkpath(m_empty));
        QVERIFY(QDir().mkpath(m_otherCase + "/Pages"));
        QVERIFY(QFile::copy(example("plant/definitions.xml"), m_otherCase + "/Definitions.xml"));
        // Two tags of one name that holds a quote, a backslash, a line break and an escape.
        m_oddNames = m_dir.filePath("odd-names");
        QVERIFY(QDir().mkpath(m_oddNames + "/pages"));
        const QByteArray tag = "<Tag><Name>Pump \"A\"\\&#10;2&#9;</Name><Id>%1</Id><Enabled>1</Enabled></Tag>";
        QVERIFY(writeAll(m_oddNames + "/definitions.xml", "<CTDefinitions><TagList>" + QByteArray(tag).replace("%1", "1")
                                                               + QByteArray(tag).replace("%1", "2") + "</TagList></CTDefinitions>"));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out"); // a part of standard output
        QTest::addColumn<QString>("err"); // a part of standard error
        const QString plant = example("plant");
        QTest::newRow("no command") << QStringList() << 2 << "" << "";
        QTest::newRow("help") << QStringList{"--help"} << 0 << "" << "";
        QTest::newRow("command help") << QStringList{"check", "--help"} << 0 << "" << "";
        QTest::newRow("check, a clean project") << QStringList{"check", plant} << 0
                                                << "3 pages, 3 channels, 55 tags, 4 alarms, 6 library components" << "";
        QTest::newRow("check without folder") << QStringList{"check"} << 2 << "" << "";
        QTest::newRow("check, unknown option") << QStringList{"check", "--bogus", "x"} << 2 << "" << "";
        QTest::newRow("check, no such folder") << QStringList{"check", "/nonexistent/project"} << 2 << "" << "";
        QTest::newRow("render without -o") << QStringList{"render", example("plant/pages/overview.xml")} << 2 << "" << "";
        QTest::newRow("render, cut-off page") << QStringList{"render", example("broken/pages/half-download.xml"), "-o", QDir::temp().filePath("z.png")} << 2 << "" << "";
        QTest::newRow("render, no library") << QStringList{"render", example("plant/pages/overview.xml"), "-o", QDir::temp().filePath("z.png"), "--library", example("plant/pages")} << 2 << "" << "";
        QTest::newRow("import without --into") << QStringList{"import-csv", example("plant/tags.csv")} << 2 << "" << "";
        QTest::newRow("format, missing file") << QStringList{"format", "/nonexistent.xml"} << 2 << "" << "";
        QTest::newRow("xref without folder") << QStringList{"xref"} << 2 << "" << "";
        QTest::newRow("xref, no such tag") << QStringList{"xref", plant, "nosuch"} << 2 << "" << "";
        QTest::newRow("diff, one side") << QStringList{"diff", plant} << 2 << "" << "";
        QTest::newRow("diff, folder and file") << QStringList{"diff", plant, example("plant/definitions.xml")} << 2 << "" << "";
        QTest::newRow("diff, cut-off page") << QStringList{"diff", example("broken/pages/half-download.xml"), example("plant/pages/overview.xml")} << 2 << "" << "";
        QTest::newRow("textconv, missing file") << QStringList{"textconv", "/nonexistent.xml"} << 2 << "" << "";
        QTest::newRow("arguments swapped") << QStringList{".", "check"} << 2 << "" << "unknown command '.'; did you mean 'zadururu check .'?";
        QTest::newRow("folder first") << QStringList{plant, "xref", "--json"} << 2 << ""
                                      << QStringLiteral("did you mean 'zadururu xref %1 --json'?").arg(plant);
        QTest::newRow("command misspelt") << QStringList{"chekc", plant} << 2 << ""
                                          << QStringLiteral("did you mean 'zadururu check %1'?").arg(plant);
        QTest::newRow("command misspelt, with a space") << QStringList{"renametag", "my project"} << 2 << ""
                                                        << "did you mean 'zadururu rename-tag 'my project''?";
        QTest::newRow("nothing near") << QStringList{"frobnicate"} << 2 << "" << "unknown command 'frobnicate'\n\nusage:";
        QTest::newRow("help of a command") << QStringList{"help", "check"} << 0 << " check [options] PROJECT_DIR" << "";
        QTest::newRow("help of a misspelt command") << QStringList{"help", "chekc"} << 2 << "" << "did you mean 'zadururu check'?";
        QTest::newRow("help, all of a command") << QStringList{"check", "--help-all"} << 0 << "  W202  unknown-element" << "";
        QTest::newRow("help, all of a command, exit codes") << QStringList{"diff", "--help-all"} << 0 << "Exit codes: 0" << "";
        QTest::newRow("help, all") << QStringList{"--help-all"} << 0 << "--- zadururu textconv" << "";
        QTest::newRow("a file for a project") << QStringList{"check", example("plant/pages/overview.xml")} << 2 << ""
                                              << QStringLiteral("a file, where a project folder is expected; did you mean "
                                                                "its project folder '%1'?").arg(QDir(plant).absolutePath());
        QTest::newRow("a folder for a file") << QStringList{"textconv", example("plant/pages")} << 2 << ""
                                             << "a folder, where a file is expected";
        QTest::newRow("an empty folder") << QStringList{"xref", m_empty} << 2 << "" << "not a project folder";
        QTest::newRow("names in other letter case") << QStringList{"check", m_otherCase} << 2 << ""
                                                    << "\"Pages\" (the tool reads \"pages\") and \"Definitions.xml\" (the "
                                                       "tool reads \"definitions.xml\"): names are told apart by letter case";
        QTest::newRow("names escaped, one line each") << QStringList{"check", m_oddNames} << 1
                                                      << "error E203: tag \"Pump \\\"A\\\"\\\\\\n2\\t\" (Id 2): its name "
                                                         "\"Pump \\\"A\\\"\\\\\\n2\\t\" is also the name of tag" << "";
        QTest::newRow("diff, not a project") << QStringList{"diff", m_empty, plant} << 2 << "" << "not a project folder";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const ToolRun run = tool(arguments);
        QTEST(run.exitCode, "exitCode");
        QVERIFY2(run.out.contains(out), qPrintable(run.out));
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
        // A usage or file error is explained on standard error; any other run says nothing there.
        QCOMPARE(run.err.isEmpty(), run.exitCode != 2);
    }

    // Progress shows on a terminal once the run has taken its delay; never elsewhere.
    void progress_data()
    {
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<QByteArray>("delay");
        QTest::addColumn<bool>("shown");
        QTest::newRow("terminal") << true << QByteArray("0") << true;
        QTest::newRow("terminal, a short run") << true << QByteArray() << false;
        QTest::newRow("pipe") << false << QByteArray("0") << false;
    }
    void progress()
    {
        QFETCH(bool, terminal);
        QFETCH(QByteArray, delay);
        QFETCH(bool, shown);
        const QProcessEnvironment environment =
            delay.isNull() ? QProcessEnvironment::systemEnvironment() : environmentWith("ZADURURU_PROGRESS_DELAY_MS", delay);
        ToolRun run;
        if (terminal) {
            // script gives the tool a pseudo-terminal for its output, which it copies to ours.
            run = runTool("script", {"-qec", shellQuoted(ZADURURU_TOOL) + " check " + shellQuoted(example("plant")), "/dev/null"},
                          environment);
        } else {
            run = runTool(ZADURURU_TOOL, {"check", example("plant")}, environment);
        }
        QCOMPARE(run.exitCode, 0);
        const QString all = run.out + run.err;
        QVERIFY2(all.contains("No problems found."), qPrintable(all));
        QCOMPARE(all.contains("zadururu: reading pages: 1 of 3"), shown);
        // The line is cleared before the report: nothing of it is left on the terminal.
        QCOMPARE(all.contains("\r\033[K"), shown);
        if (!terminal)
            QCOMPARE(run.err, QString());
    }

private:
    QTemporaryDir m_dir;
    QString m_oddNames;
    QString m_empty;
    QString m_otherCase;
};

QTEST_GUILESS_MAIN(TestToolCommandLine)
#include "tst_toolCommandLine.moc"
