// Every command's --json against the one schema of the tool's reports
// (docs/zadururu-output.schema.json), validated by python3-jsonschema.

#include "../common/toolProcess.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString schema = QStringLiteral(SOURCE_DIR "/docs/zadururu-output.schema.json");

// The validator's verdict on @p document: 0 valid, 1 invalid (the reasons in *errors), 2 not run.
int validate(const QByteArray &document, QString *errors, const QString &schemaPath = schema)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.json"));
    if (!writeAll(path, document))
        return 2;
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral(SOURCE_DIR "/tests/tools/validateJson.py"), schemaPath, path});
    if (!python.waitForFinished(60000) || python.exitStatus() != QProcess::NormalExit) {
        *errors = QStringLiteral("python3 did not run: ") + python.errorString();
        return 2;
    }
    *errors = QString::fromUtf8(python.readAllStandardOutput() + python.readAllStandardError());
    return python.exitCode();
}

} // namespace

class TestToolJson : public QObject
{
    Q_OBJECT
private slots:
    // One row per command and form of its report: a command added to the
    // schema gets its row here.
    void commandsValidate_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        const QString warnings = QStringLiteral(SOURCE_DIR "/tests/tools/testdata/warnings");
        QTest::newRow("check, no findings") << QStringList{"check", example("plant")} << 0;
        QTest::newRow("check, errors") << QStringList{"check", example("broken")} << 1;
        QTest::newRow("check, every warning") << QStringList{"check", warnings} << 0;
        QTest::newRow("check, some ignored") << QStringList{"check", "--ignore", "E201,W207", example("broken")} << 1;
        QTest::newRow("xref") << QStringList{"xref", example("plant")} << 0;
        QTest::newRow("xref, undefined ids") << QStringList{"xref", example("broken")} << 0;
        QTest::newRow("xref, tags named") << QStringList{"xref", example("plant"), "10", "Level_01"} << 0;
        QTest::newRow("diff, projects") << QStringList{"diff", example("plant"), example("broken")} << 1;
        QTest::newRow("diff, the same") << QStringList{"diff", example("plant"), example("plant")} << 0;
        QTest::newRow("diff, pages") << QStringList{"diff", example("plant/pages/tankfarm.xml"), example("broken/pages/tankfarm.xml")} << 1;
        QTest::newRow("diff, definitions") << QStringList{"diff", example("plant/definitions.xml"), example("broken/definitions.xml")} << 1;
        QTest::newRow("diff, libraries") << QStringList{"diff", example("plant/library/objlib.xml"), example("broken/library/objlib.xml")} << 1;
        QTest::newRow("render") << QStringList{"render", example("plant/pages/overview.xml"), "-o", m_dir.filePath("o.png"),
                                               "--svg", m_dir.filePath("o.svg")}
                                << 0;
        QTest::newRow("rename-tag, dry run") << QStringList{"rename-tag", example("plant"), "--id", "10", "--to", "900", "--dry-run"} << 0;
        QTest::newRow("format, check") << QStringList{"format", "--check", example("plant/pages/overview.xml"), example("plant/definitions.xml")}
                                       << 1;
        QTest::newRow("format") << QStringList{"format", example("plant/pages/overview.xml"), "-o", m_dir.filePath("overview.xml")} << 0;
        // The test project's main page loses something of every kind a rewrite can lose.
        const QString lossy = warnings + "/pages/main.xml";
        QTest::newRow("format, check, what a rewrite loses") << QStringList{"format", "--check", lossy} << 1;
        for (const char *copy : {"refused.xml", "forced.xml"})
            QFile::copy(lossy, m_dir.filePath(copy));
        QTest::newRow("format, refused") << QStringList{"format", m_dir.filePath("refused.xml")} << 1;
        QTest::newRow("format, forced") << QStringList{"format", "--force", m_dir.filePath("forced.xml")} << 0;
        QTest::newRow("rename-tag, refused") << QStringList{"rename-tag", example("plant"), "--id", "777", "--to", "900", "--dry-run"} << 1;
        QTest::newRow("rename-tag, name taken") << QStringList{"rename-tag", projectCopy(m_dir.path(), "plant"), "--name", "Level_01",
                                                               "--to", "Flow_02"}
                                                << 1;
        const QString table = m_dir.filePath("table.csv");
        writeAll(table, "Name,Description,Enabled\nLevel_01,x,0\nNew,y,1\n");
        const QString definitions = example("plant/definitions.xml");
        QTest::newRow("import, dry run") << QStringList{"import", definitions, table, "--tags", "--on-conflict", "update", "--dry-run"} << 0;
        QTest::newRow("import, refused") << QStringList{"import", definitions, table, "--tags"} << 1;
        QTest::newRow("import-csv, dry run") << QStringList{"import-csv", example("plant/tags.csv"), "--into", definitions, "--channel",
                                                            "PLC-Ethernet", "--dry-run"}
                                             << 0;
        QTest::newRow("import-csv") << QStringList{"import-csv", example("plant/tags.csv"), "--into", m_dir.filePath("new.xml")} << 0;
    }

    // What export --format json writes is the data of the schema's exportTable.
    void exportValidates_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *kind : {"channels", "tags", "alarms"})
            QTest::newRow(kind) << kind;
    }
    void exportValidates()
    {
        QFETCH(QString, kind);
        QJsonObject root = QJsonDocument::fromJson(readAll(schema)).object();
        for (const char *report : {"type", "required", "properties", "allOf"})
            root.remove(QLatin1String(report));
        root.insert("$ref", "#/$defs/exportTable");
        const QString tableSchema = m_dir.filePath("table.schema.json");
        QVERIFY(writeAll(tableSchema, QJsonDocument(root).toJson()));
        const ToolRun run = tool({"export", example("plant/definitions.xml"), "--" + kind, "--format", "json"});
        QCOMPARE(run.exitCode, 0);
        QString errors;
        QCOMPARE(validate(run.out.toUtf8(), &errors, tableSchema), 0);
        // A text where a number belongs is no such data.
        QCOMPARE(validate(run.out.toUtf8().replace("\"Id\": 1,", "\"Id\": \"1\","), &errors, tableSchema), 1);
    }
    void commandsValidate()
    {
        QFETCH(QStringList, arguments);
        const ToolRun run = tool(QStringList(arguments) << QStringLiteral("--json"));
        QTEST(run.exitCode, "exitCode");
        QString errors;
        QCOMPARE(validate(run.out.toUtf8(), &errors), 0);
        QVERIFY2(errors.isEmpty(), qPrintable(errors));
        // The envelope comes first, as the schema's description promises.
        QVERIFY2(run.out.startsWith(QStringLiteral("{\n    \"schemaVersion\": 1,\n    \"command\": \"%1\"").arg(arguments.first())),
                 qPrintable(run.out.left(200)));
    }

    // The schema holds the reports to their form: the first rows keep it,
    // each of the others breaks it.
    void schemaHolds_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<bool>("valid");
        // JSON written with ' for " (moc reads no raw strings).
        const auto json = [](const char *text) { return QByteArray(text).replace('\'', '"'); };
        const QByteArray component = json("{'file': 'pages/a.xml', 'kind': 'component', 'uid': 7, 'name': 'P'}");
        const QByteArray finding = json("{'severity': 'warning', 'code': 'W202', 'file': 'pages/a.xml', 'line': 3, "
                                        "'column': 5, 'record': RECORD, 'message': 'm'}");
        const QByteArray check = json("{'schemaVersion': 1, 'command': 'check', 'project': 'p', 'pages': 1, 'channels': 0, "
                                      "'tags': 0, 'alarms': 0, 'components': 0, 'errorCount': 0, 'warningCount': 1, "
                                      "'findings': [FINDING]}");
        const auto report = [&](const QByteArray &record) {
            return QByteArray(check).replace("FINDING", QByteArray(finding).replace("RECORD", record));
        };
        const QByteArray diff = json("{'schemaVersion': 1, 'command': 'diff', 'old': 'a', 'new': 'b', 'equal': false, "
                                     "'fileCount': 1, 'recordCount': 1, 'files': [{'file': 'f', 'change': 'changed', "
                                     "'records': [CHANGE]}]}");
        const QByteArray tag = json("{'file': 'f', 'kind': 'tag', 'id': 1, 'name': 'T'}");
        const auto changed = [&](const QByteArray &fields) {
            return QByteArray(diff).replace("CHANGE", json("{'change': 'changed', 'record': ") + tag
                                                          + json(", 'oldRecord': ") + tag + fields + '}');
        };

        QTest::newRow("a finding") << report(component) << true;
        QTest::newRow("a finding of the file") << report("null") << true;
        QTest::newRow("a change") << changed(json(", 'fields': [{'field': 'Enabled', 'old': true, 'new': false}]")) << true;
        QTest::newRow("a command it does not know") << json("{'schemaVersion': 1, 'command': 'chekc'}") << false;
        QTest::newRow("another version") << report(component).replace("\"schemaVersion\": 1", "\"schemaVersion\": 2") << false;
        QTest::newRow("a member too many") << report(component).replace("\"pages\": 1", "\"pages\": 1, \"extra\": 0") << false;
        QTest::newRow("a number as text") << report(component).replace("\"pages\": 1", "\"pages\": \"1\"") << false;
        QTest::newRow("a code of no form") << report(component).replace("W202", "unknown") << false;
        QTest::newRow("an error called a warning") << report(component).replace("W202", "E202") << false;
        QTest::newRow("a component by index") << report(QByteArray(component).replace("\"uid\": 7", "\"index\": 7")) << false;
        QTest::newRow("a record as text") << report("\"component \\\"P\\\" (Uid 7)\"") << false;
        QTest::newRow("a change without its fields") << changed(QByteArray()) << false;
        QTest::newRow("a renamed file without its old name")
            << QByteArray(diff).replace("\"change\": \"changed\", \"records\": [CHANGE]", "\"change\": \"renamed\", \"records\": []") << false;
        const QByteArray format = json("{'schemaVersion': 1, 'command': 'format', 'check': false, 'force': false, 'refused': true, "
                                       "'files': [{'file': 'a.xml', 'kind': 'scene page', 'canonical': false, 'written': false, "
                                       "'losses': [LOSS]}]}");
        const QByteArray loss = json("{'effect': 'dropped', 'code': 'W202', 'line': 3, 'column': 5, 'record': null, 'message': 'm'}");
        const QByteArray measured = json("{'effect': 'invented', 'code': 'W210', 'line': 3, 'column': 5, 'record': null, 'message': 'm', "
                                         "'measured': {'width': 9, 'height': 4, 'family': 'Arial', 'pixelSize': 14, 'bold': false, "
                                         "'italic': false, 'matchedFamily': 'DejaVu Sans', 'matchedPixelSize': 14}}");
        const auto formatted = [&](const QByteArray &l) { return QByteArray(format).replace("LOSS", l); };
        QTest::newRow("a loss") << formatted(loss) << true;
        QTest::newRow("a size measured") << formatted(measured) << true;
        QTest::newRow("a comment dropped") << formatted(QByteArray(loss).replace("\"W202\"", "null")) << true;
        QTest::newRow("a loss of no effect") << formatted(QByteArray(loss).replace("dropped", "lost")) << false;
        QTest::newRow("a loss of an error's code") << formatted(QByteArray(loss).replace("W202", "E201")) << false;
        QTest::newRow("a size measured without its font")
            << formatted(QByteArray(measured).left(measured.indexOf(", \"measured\"")) + '}') << false;
        QTest::newRow("a refused format that wrote") << formatted(loss).replace("\"written\": false", "\"written\": true") << false;
        QTest::newRow("a forced format refused") << formatted(loss).replace("\"force\": false", "\"force\": true") << false;
        const QByteArray refusal = json("{'schemaVersion': 1, 'command': 'rename-tag', 'refused': true, 'reason': 'r', 'field': 'Id', "
                                        "'old': 7, 'new': 8, 'dryRun': false}");
        QTest::newRow("a rename refused") << refusal << true;
        QTest::newRow("a rename refused without its reason") << QByteArray(refusal).replace(" \"reason\": \"r\",", "")
                                                             << false;
        QTest::newRow("a rename refused with its files") << QByteArray(refusal).replace("}", ", \"files\": []}") << false;
        QTest::newRow("xref listing without its lists")
            << json("{'schemaVersion': 1, 'command': 'xref', 'project': 'p', 'pages': 2, 'tags': []}") << false;
        const QByteArray import = json("{'schemaVersion': 1, 'command': 'import', 'definitions': 'd.xml', 'source': 't.csv', "
                                       "'kind': 'tag', 'format': 'csv', 'encoding': 'UTF-8', 'match': 'name', 'onConflict': 'update', "
                                       "'dryRun': false, 'problems': [], 'records': [RECORD], "
                                       "'counts': {'added': 0, 'updated': 1, 'unchanged': 0, 'skipped': 0}, 'written': true}");
        const auto imported = [&](const char *record) { return QByteArray(import).replace("RECORD", json(record)); };
        QTest::newRow("an update") << imported("{'action': 'updated', 'line': 2, 'record': {'file': 'd.xml', 'kind': 'tag', 'id': 1, "
                                               "'name': 'T'}, 'changes': [{'field': 'Enabled', 'before': true, 'after': false}]}")
                                   << true;
        QTest::newRow("an update without its changes")
            << imported("{'action': 'updated', 'line': 2, 'record': {'file': 'd.xml', 'kind': 'tag', 'id': 1, 'name': 'T'}}") << false;
        QTest::newRow("changes of a record added")
            << imported("{'action': 'added', 'line': 2, 'record': {'file': 'd.xml', 'kind': 'tag', 'id': 1, 'name': 'T'}, "
                        "'changes': [{'field': 'Enabled', 'before': true, 'after': false}]}")
            << false;
        QTest::newRow("a record of no line") << imported("{'action': 'skipped', 'line': 0, 'record': {'file': 'd.xml', 'kind': 'tag', "
                                                         "'id': 1, 'name': 'T'}}")
                                             << false;
    }
    void schemaHolds()
    {
        QFETCH(QByteArray, document);
        QFETCH(bool, valid);
        QString errors;
        QCOMPARE(validate(document, &errors), valid ? 0 : 1);
    }

private:
    QTemporaryDir m_dir; ///< where commands that write files write them
};

QTEST_GUILESS_MAIN(TestToolJson)
#include "tst_toolJson.moc"
