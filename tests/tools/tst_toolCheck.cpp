// zadururu check as a process: each finding with its code, file, line and
// record, errors before warnings, the exit codes and the options.

#include "../common/toolProcess.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString warningsProject = QStringLiteral(SOURCE_DIR "/tests/tools/testdata/warnings");

// The findings of @p report with @p code.
QList<QJsonObject> withCode(const QJsonObject &report, const QString &code)
{
    QList<QJsonObject> found;
    for (const QJsonValue &value : report.value(QStringLiteral("findings")).toArray())
        if (value[QStringLiteral("code")] == code)
            found << value.toObject();
    return found;
}

// Whether @p record holds every member of @p expected with its value.
bool holds(const QJsonValue &record, const QJsonObject &expected)
{
    if (expected.isEmpty())
        return record.isNull();
    for (auto it = expected.begin(); it != expected.end(); ++it)
        if (record[it.key()] != it.value())
            return false;
    return true;
}

QJsonObject ref(const char *kind, const char *key, int value, const char *name = nullptr)
{
    QJsonObject o{{QStringLiteral("kind"), QLatin1String(kind)}, {QLatin1String(key), value}};
    if (name)
        o.insert(QStringLiteral("name"), QString::fromUtf8(name));
    return o;
}

void addFindingColumns()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QJsonObject>("record"); // the members it must hold; empty for none
    QTest::addColumn<QString>("message");    // a part of it
}

// The one finding of the row's code and message in @p report, at the row's place and record.
void verifyFinding(const QJsonObject &report)
{
    QFETCH(QString, code);
    QFETCH(QString, file);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QJsonObject, record);
    QFETCH(QString, message);
    QList<QJsonObject> found;
    for (const QJsonObject &finding : withCode(report, code))
        if (finding[QStringLiteral("message")].toString().contains(message))
            found << finding;
    QVERIFY2(found.size() == 1, qPrintable(QJsonDocument(report).toJson()));
    const QJsonObject &f = found.first();
    QCOMPARE(f[QStringLiteral("file")].toString(), file);
    QCOMPARE(f[QStringLiteral("line")].toInt(), line);
    QCOMPARE(f[QStringLiteral("column")].toInt(), column);
    QVERIFY2(holds(f[QStringLiteral("record")], record), qPrintable(QJsonDocument(f).toJson()));
    if (!record.isEmpty())
        QCOMPARE(f[QStringLiteral("record")][QStringLiteral("file")].toString(), file);
}

} // namespace

class TestToolCheck : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_warnings = jsonOf(tool({"check", "--json", warningsProject}));
        m_broken = jsonOf(tool({"check", "--json", example("broken")}));
    }

    // The test project holds one finding of each warning code, and nothing else.
    void everyWarning_data()
    {
        addFindingColumns();
        QTest::newRow("W101") << "W101" << "pages/latin1.xml" << 5 << 39 << QJsonObject() << "declares no encoding";
        QTest::newRow("W102") << "W102" << "pages/main.xml" << 53 << 32 << ref("text", "index", 1) << "ItemText holds U+FFFD";
        QTest::newRow("W201") << "W201" << "pages/main.xml" << 28 << 23 << ref("item", "index", 1)
                              << "\"Scheduleitem\" is no kind the readers know, so the item is dropped; did you mean ScheduleItem?";
        QTest::newRow("W202") << "W202" << "pages/main.xml" << 11 << 13 << ref("component", "uid", 100, "Pump P-1")
                              << "element Tooltipp inside Item; did you mean Tooltip?";
        QTest::newRow("W203") << "W203" << "pages/main.xml" << 8 << 37 << ref("component", "uid", 100, "Pump P-1")
                              << "attribute tagID_lable of TagIDs; did you mean tagID_label?";
        QTest::newRow("W204") << "W204" << "pages/main.xml" << 10 << 13 << ref("component", "uid", 100) << "a second MacroText";
        QTest::newRow("W205") << "W205" << "pages/main.xml" << 17 << 19 << ref("component", "uid", 100)
                              << "lofx is \"12px\", which is not a whole number, so it reads as 0";
        QTest::newRow("W206") << "W206" << "pages/main.xml" << 6 << 26 << ref("component", "uid", 100) << "12.7";
        QTest::newRow("W207") << "W207" << "definitions.xml" << 28 << 9 << ref("channel", "id", 2, "Line B")
                              << "no Enabled element, so the channel loads disabled";
        QTest::newRow("W208") << "W208" << "pages/main.xml" << 42 << 22 << ref("chart", "index", 1) << "\"#00GG00\"";
        QTest::newRow("W209") << "W209" << "pages/main.xml" << 76 << 21 << ref("text", "index", 2)
                              << "Family holds only whitespace, which the readers drop outside a CDATA section: it reads as empty";
        QTest::newRow("W210") << "W210" << "pages/main.xml" << 72 << 9 << ref("text", "index", 2)
                              << "it has no Height element, so its height is measured";
        QTest::newRow("W211") << "W211" << "pages/main.xml" << 77 << 29 << ref("text", "index", 2)
                              << "SvgElement holds U+0007, a character XML cannot hold";
        QTest::newRow("W301") << "W301" << "definitions.xml" << 80 << 9 << ref("tag", "id", 2, "Imported_02") << "no channel";
        QTest::newRow("W302") << "W302" << "definitions.xml" << 107 << 9 << ref("tag", "id", 3, "Flow_03")
                              << "Kanal_Id 1 names channel \"Line A\" (Id 1), but its KanalName \"Line B\" names channel \"Line B\"";
        QTest::newRow("W303") << "W303" << "pages/renamed.xml" << 26 << 5 << QJsonObject{{"kind", "page"}} << "\"old-name.xml\"";
        QTest::newRow("W304") << "W304" << "pages/no-size.xml" << 26 << 5 << QJsonObject{{"kind", "page"}} << "0 by 600";
        QTest::newRow("W305") << "W305" << "library/objlib.xml" << 18 << 5 << ref("library component", "id", 1, "valve")
                              << "\"images/valve_open.png\" does not exist";
        QTest::newRow("W306") << "W306" << "library/objlib.xml" << 3 << 5 << ref("library component", "id", 0, "pump")
                              << "only \"images/pump_on.png\"";
        QTest::newRow("W307") << "W307" << "pages/old/archived.xml" << 0 << 0 << QJsonObject() << "subfolder";
    }
    void everyWarning()
    {
        verifyFinding(m_warnings);
    }

    // Every code of the tool's table is in the table of the documentation, by
    // its name, and each warning code is planted in the test project, once.
    void everyCode()
    {
        const ToolRun help = tool({"check", "--help-all"});
        QCOMPARE(help.exitCode, 0);
        const QString table = QString::fromUtf8(readAll(SOURCE_DIR "/docs/check-codes.md"));
        QRegularExpressionMatchIterator it = QRegularExpression("^  ([EW]\\d{3})  (\\S+)$", QRegularExpression::MultilineOption).globalMatch(help.out);
        int codes = 0;
        QStringList warnings;
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            QVERIFY2(table.contains(QStringLiteral("| %1 | %2 |").arg(m.captured(1), m.captured(2))), qPrintable(m.captured(0)));
            if (m.captured(1).startsWith('W'))
                warnings << m.captured(1);
            ++codes;
        }
        QCOMPARE(codes, 31);
        QStringList found;
        for (const QJsonValue &finding : m_warnings[QStringLiteral("findings")].toArray())
            found << finding[QStringLiteral("code")].toString();
        found.sort();
        QCOMPARE(found, warnings);
        QCOMPARE(m_warnings[QStringLiteral("errorCount")].toInt(), 0);
        QCOMPARE(m_warnings[QStringLiteral("warningCount")].toInt(), warnings.size());
    }

    // Every planted mistake of the broken example, as an error in its file and record.
    void brokenProject_data()
    {
        addFindingColumns();
        QTest::newRow("cut-off page") << "E102" << "pages/half-download.xml" << 38 << 1 << QJsonObject() << "not well-formed XML";
        QTest::newRow("component binding") << "E201" << "pages/tankfarm.xml" << 136 << 9
                                           << ref("component", "uid", 1031, "Level transmitter") << "tag 58 bound as tagID_label";
        QTest::newRow("chart line") << "E201" << "pages/tankfarm.xml" << 179 << 9 << ref("chart", "index", 1)
                                    << "tag 99 bound as line 4 is not defined";
        QTest::newRow("alarm tag") << "E201" << "definitions.xml" << 1573 << 9 << ref("alarm", "id", 1, "High level tank 1")
                                   << "tag 500 bound as tagID";
        QTest::newRow("channel id") << "E202" << "definitions.xml" << 1563 << 9 << ref("tag", "id", 12, "Level_01")
                                    << "channel Id 77 (Kanal_Id) is not defined";
        QTest::newRow("channel name") << "E202" << "definitions.xml" << 1563 << 9 << ref("tag", "id", 12)
                                      << "channel \"Line Z\" (KanalName) is not defined";
        QTest::newRow("tag name twice") << "E203" << "definitions.xml" << 1563 << 9 << ref("tag", "id", 12)
                                        << "its name \"Level_01\" is also the name of tag \"Level_01\" (Id 1) on line 78";
        QTest::newRow("tag id twice") << "E204" << "definitions.xml" << 1563 << 9 << ref("tag", "id", 12)
                                      << "its Id 12 is also the Id of tag \"Flow_12\" (Id 12) on line 375";
        QTest::newRow("library component") << "E205" << "pages/pumpstation.xml" << 202 << 9
                                           << ref("component", "uid", 1792, "Header pipe") << "\"pipe\" is not in the library";
        QTest::newRow("uid on two pages") << "E206" << "pages/tankfarm.xml" << 136 << 9 << ref("component", "uid", 1031)
                                          << "also the Uid of component \"Intake pump P-101\" on line 4 of pages/overview.xml";
        QTest::newRow("page id shared") << "E207" << "pages/tankfarm.xml" << 216 << 5 << QJsonObject{{"kind", "page"}}
                                        << "its pageID 2 is also the pageID of pages/pumpstation.xml";
        QTest::newRow("tag without Enabled") << "W207" << "definitions.xml" << 1563 << 9 << ref("tag", "id", 12)
                                             << "the tag loads disabled";
    }
    void brokenProject()
    {
        verifyFinding(m_broken);
        QCOMPARE(m_broken[QStringLiteral("errorCount")].toInt(), 14);
        QCOMPARE(m_broken[QStringLiteral("warningCount")].toInt(), 1);
    }

    // One line per finding, errors first, each as file:line:column: severity code: record: sentence.
    void textReport()
    {
        const ToolRun run = tool({"check", example("broken")});
        QCOMPARE(run.exitCode, 1);
        const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1 + 15 + 1);
        QVERIFY(lines.first().startsWith("Project "));
        QCOMPARE(lines.last(), QString("14 errors, 1 warning."));
        QCOMPARE(lines.at(1), QString("pages/half-download.xml:38:1: error E102: not well-formed XML: unexpected end of file"));
        QVERIFY(lines.contains("pages/tankfarm.xml:179:9: error E201: chart 1: tag 99 bound as line 4 is not defined"));
        QCOMPARE(lines.at(15), QString("definitions.xml:1563:9: warning W207: tag \"Level_01\" (Id 12): it has no Enabled element, "
                                       "so the tag loads disabled"));
        // Pages in name order, then the definitions: by file, then line.
        QCOMPARE(lines.indexOf(QRegularExpression("definitions.xml:.* error .*")) > lines.indexOf(QRegularExpression("pages/tankfarm.xml:.*")), true);
    }

    // Which findings make the exit code 1, and --ignore.
    void exitCodes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error"); // a part of standard error
        QTest::newRow("warnings only") << QStringList{"check", warningsProject} << 0 << "";
        QTest::newRow("warnings, strict") << QStringList{"check", "--strict", warningsProject} << 1 << "";
        QTest::newRow("strict, all ignored")
            << QStringList{"check", "--strict", "--ignore", "W101,W102,W201,W202,W203,W204,W205,W206,W207,W208,W209,W210,W211",
                           "--ignore", "W301,W302,w303,W304,W305,W306,page-in-subfolder", warningsProject}
            << 0 << "";
        QTest::newRow("errors") << QStringList{"check", example("broken")} << 1 << "";
        QTest::newRow("errors ignored")
            << QStringList{"check", "--ignore", "E102,E201,E202,E203,E204,E205,E206,E207", example("broken")} << 0 << "";
        QTest::newRow("a code mistyped") << QStringList{"check", "--ignore", "W2O2", example("plant")} << 2
                                         << "no finding has the code 'W2O2'; did you mean 'W202'?";
        QTest::newRow("a name mistyped") << QStringList{"check", "--ignore", "unknown-elements", example("plant")} << 2
                                         << "did you mean 'unknown-element'?";
    }
    void exitCodes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const ToolRun run = tool(arguments);
        QTEST(run.exitCode, "exitCode");
        QVERIFY2(run.err.contains(error), qPrintable(run.err));
    }

    void ignoredLeftOut()
    {
        const QJsonObject report = jsonOf(tool({"check", "--json", "--ignore", "W202,repeated-element", warningsProject}));
        QVERIFY(withCode(report, "W202").isEmpty());
        QVERIFY(withCode(report, "W204").isEmpty());
        QCOMPARE(withCode(report, "W203").size(), 1);
        QCOMPARE(report[QStringLiteral("warningCount")].toInt(), 18);
    }

    // Errors of files that cannot be read as their kind, in copies of the example.
    void fileErrors_data()
    {
        QTest::addColumn<QString>("path");       // the file to change
        QTest::addColumn<QByteArray>("content"); // its new content; null to remove it, or to rename it:
        QTest::addColumn<QString>("renamed");    // its new name
        addFindingColumns();
        QTest::newRow("no definitions") << "definitions.xml" << QByteArray() << ""
                                        << "E104" << "definitions.xml" << 0 << 0 << QJsonObject() << "missing";
        QTest::newRow("no library") << "library/objlib.xml" << QByteArray() << ""
                                    << "E104" << "library/objlib.xml" << 0 << 0 << QJsonObject() << "missing";
        QTest::newRow("a page of another kind") << "pages/zz.xml" << QByteArray("<?xml version=\"1.0\"?>\n<CTDefinitions/>\n") << ""
                                                << "E103" << "pages/zz.xml" << 2 << 1 << QJsonObject()
                                                << "the document element is CTDefinitions, not ScadaFile";
        QTest::newRow("definitions of another kind") << "definitions.xml" << QByteArray("<ScadaFile/>") << ""
                                                     << "E103" << "definitions.xml" << 0 << 0 << QJsonObject()
                                                     << "not \"CTDefinitions\"";
        QTest::newRow("definitions of another name") << "definitions.xml"
                                                     << QByteArray("<Defs>\n<TagList><Tag><Id>1</Id></Tag></TagList></Defs>") << ""
                                                     << "E103" << "definitions.xml" << 0 << 0 << QJsonObject()
                                                     << "the document element is \"Defs\", not \"CTDefinitions\"";
        QTest::newRow("definitions cut off") << "definitions.xml" << QByteArray("<CTDefinitions>\n<TagList><Tag><Id>1</Id></Tag>")
                                             << "" << "E102" << "definitions.xml" << 2 << 31 << QJsonObject()
                                             << "not well-formed XML";
        QTest::newRow("a library of another kind") << "library/objlib.xml" << QByteArray("<objects/>") << ""
                                                   << "E103" << "library/objlib.xml" << 1 << 1 << QJsonObject()
                                                   << "not scadaObjectTypes";
        QTest::newRow("definitions in other letter case") << "definitions.xml" << QByteArray() << "Definitions.xml"
                                                          << "E104" << "definitions.xml" << 0 << 0 << QJsonObject()
                                                          << "there is \"Definitions.xml\"";
    }
    void fileErrors()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, content);
        QFETCH(QString, renamed);
        QTemporaryDir dir;
        const QString project = projectCopy(dir.path(), "plant");
        if (!renamed.isEmpty())
            QVERIFY(QFile::rename(project + '/' + path, project + '/' + renamed));
        else if (content.isNull())
            QVERIFY(QFile::remove(project + '/' + path));
        else
            QVERIFY(writeAll(project + '/' + path, content));
        const ToolRun run = tool({"check", "--json", project});
        QCOMPARE(run.exitCode, 1);
        verifyFinding(jsonOf(run));
    }

    // What the check says of a library image, found or not; nothing outside the library folder is looked at.
    void libraryImages_data()
    {
        QTest::addColumn<QByteArray>("image"); // the text of the first image of the example's first component
        QTest::addColumn<QString>("code");     // empty for none
        QTest::addColumn<QString>("message");
        QTest::newRow("there") << QByteArray("pump_on.png") << "" << "";
        QTest::newRow("in a folder of the library") << QByteArray("../images/pump_on.png") << "" << "";
        QTest::newRow("missing") << QByteArray("pump_of.png") << "W305" << "its image \"images/pump_of.png\" does not exist";
        QTest::newRow("other letter case") << QByteArray("PUMP_ON.PNG") << "W306" << "only \"images/pump_on.png\"";
        QTest::newRow("empty") << QByteArray("") << "W305" << "its image1 names no file";
        QTest::newRow("outside the library") << QByteArray("../../definitions.xml") << "W305" << "lies outside the library folder";
    }
    void libraryImages()
    {
        QFETCH(QByteArray, image);
        QFETCH(QString, code);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString project = projectCopy(dir.path(), "plant");
        QByteArray library = readAll(project + "/library/objlib.xml");
        library.replace("<image1>pump_off.png</image1>", "<image1>" + image + "</image1>");
        QVERIFY(writeAll(project + "/library/objlib.xml", library));
        const QJsonObject report = jsonOf(tool({"check", "--json", project}));
        QStringList found;
        for (const QJsonValue &finding : report["findings"].toArray())
            found << finding["code"].toString() + ' ' + finding["message"].toString();
        QCOMPARE(found.size(), code.isEmpty() ? 0 : 1);
        if (!code.isEmpty())
            QVERIFY2(found.first().startsWith(code + ' ') && found.first().contains(message), qPrintable(found.first()));
    }

    // A file that cannot be read, as an ordinary user meets it (the tests run as root).
    void unreadableFile()
    {
        QTemporaryDir dir;
        QVERIFY(openToOthers(dir.path()));
        const QString project = projectCopy(dir.path(), "plant");
        QVERIFY(QFile::setPermissions(project + "/pages/overview.xml", QFile::WriteOwner));
        const ToolRun run = toolAsUser({"check", "--json", project});
        QCOMPARE(run.exitCode, 1);
        const QList<QJsonObject> unreadable = withCode(jsonOf(run), "E101");
        QCOMPARE(unreadable.size(), 1);
        QCOMPARE(unreadable.first()[QStringLiteral("file")].toString(), QString("pages/overview.xml"));
        QVERIFY(unreadable.first()[QStringLiteral("message")].toString().startsWith("cannot be read: "));
    }

private:
    QJsonObject m_warnings;
    QJsonObject m_broken;
};

QTEST_GUILESS_MAIN(TestToolCheck)
#include "tst_toolCheck.moc"
