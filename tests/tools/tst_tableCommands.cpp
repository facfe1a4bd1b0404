// export, import and import-csv as processes: the round trip through a
// table, encodings, imports run twice, what the library's CSV import makes,
// and that nothing reports success before the file is written.

#include "../common/definitionsRecords.h"
#include "../common/oddDefinitions.h"
#include "../common/toolProcess.h"

#include <zadururu/definitions/tgchFileProcessor.h>

#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <unistd.h>

using Run = ToolRun;

namespace {

using Tree = std::unique_ptr<FileDataTree, void (*)(FileDataTree *)>;

Tree load(const QString &path)
{
    return Tree(TgchFileProcessor::loadFileData(path), destroyFileDataTree);
}

QStringList tagNames(const QString &path)
{
    QStringList names;
    if (const Tree tree = load(path))
        for (const pEtiketDef_t *tag : tree->tags)
            names << tag->Name;
    return names;
}

} // namespace

class TestTableCommands : public QObject
{
    Q_OBJECT
private slots:
    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const QString plant = example("plant/definitions.xml");
        QTest::newRow("export, no kind") << QStringList{"export", plant} << "name one kind of record";
        QTest::newRow("export, two kinds") << QStringList{"export", plant, "--tags", "--alarms"} << "name one kind of record";
        QTest::newRow("export, format") << QStringList{"export", plant, "--tags", "--format", "xls"} << "--format is csv or json";
        QTest::newRow("export over itself") << QStringList{"export", plant, "--tags", "-o", plant} << "is the definitions file itself";
        QTest::newRow("export, not definitions") << QStringList{"export", example("plant/pages/overview.xml"), "--tags"} << "not a definitions file";
        QTest::newRow("export, missing") << QStringList{"export", "/nonexistent.xml", "--tags"} << "/nonexistent.xml";
        QTest::newRow("import, match") << QStringList{"import", plant, plant, "--tags", "--match", "uid"} << "--match is name or id";
        QTest::newRow("import, policy") << QStringList{"import", plant, plant, "--tags", "--on-conflict", "merge"} << "--on-conflict is fail";
        QTest::newRow("import, one file") << QStringList{"import", plant, "--tags"} << "expected 2 arguments";
        QTest::newRow("import-csv, no channel") << QStringList{"import-csv", example("plant/tags.csv"), "--into", plant, "--channel", "Line 9"}
                                                << "no channel is named \"Line 9\" (the channels are: \"PLC-Ethernet\"";
        QTest::newRow("import-csv, no list") << QStringList{"import-csv", "/nonexistent.csv", "--into", plant} << "/nonexistent.csv";
        QTest::newRow("import-csv, encoding") << QStringList{"import-csv", example("plant/tags.csv"), "--into", plant, "--encoding", "klingon"}
                                              << "no encoding is called \"klingon\"";
    }
    void usage()
    {
        QFETCH(QStringList, arguments);
        const auto before = folderContents(example("plant"));
        const Run run = tool(arguments);
        QCOMPARE(run.exitCode, 2);
        QFETCH(QString, message);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QVERIFY(folderContents(example("plant")) == before);
    }

    // Export every kind, import them into a file that does not exist: the bytes of the original's canonical form.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("extension");
        for (const char *source : {"plant", "odd"}) {
            QTest::addRow("%s, CSV", source) << source << "csv";
            QTest::addRow("%s, JSON", source) << source << "json";
        }
    }
    void roundTrip()
    {
        QFETCH(QString, source);
        QFETCH(QString, extension);
        QTemporaryDir dir;
        const QString original = dir.filePath("original.xml");
        if (source == "plant") {
            QVERIFY(QFile::copy(example("plant/definitions.xml"), original));
        } else {
            Tree odd(oddDefinitions(), destroyFileDataTree);
            QVERIFY(TgchFileProcessor::writeToFile(odd.get(), original));
        }
        // The odd values include some that read back otherwise (a size of -1 reads as 0): forced.
        const ToolRun formatted = tool({"format", "--force", original, "-o", dir.filePath("canonical.xml")});
        QVERIFY2(formatted.exitCode == 0, qPrintable(formatted.err));
        const QString copy = dir.filePath("copy.xml");
        for (const QString &kind : QStringList{"channels", "tags", "alarms"}) {
            const QString table = dir.filePath(kind + "." + extension);
            const Run exported = tool({"export", original, "--" + kind, "-o", table});
            QCOMPARE(exported.exitCode, 0);
            const QByteArray bytes = readAll(table);
            if (extension == "csv")
                QVERIFY(bytes.startsWith("\xef\xbb\xbf") && bytes.contains("\r\n"));
            else
                QVERIFY(QJsonDocument::fromJson(bytes).isArray());
            const Run imported = tool({"import", copy, table, "--" + kind});
            QVERIFY2(imported.exitCode == 0, qPrintable(imported.err));
        }
        QCOMPARE(readAll(copy), readAll(dir.filePath("canonical.xml")));
    }

    // The JSON export holds typed values, and standard output gets the same bytes as -o.
    void exportJson()
    {
        const Run run = tool({"export", example("plant/definitions.xml"), "--alarms", "--format", "json"});
        QCOMPARE(run.exitCode, 0);
        const QJsonArray alarms = QJsonDocument::fromJson(run.out.toUtf8()).array();
        QCOMPARE(alarms.size(), 4);
        const QJsonObject first = alarms.first().toObject();
        QCOMPARE(first.value("Id"), QJsonValue(1));
        QCOMPARE(first.value("alarm_name"), QJsonValue("High level tank 1"));
        QCOMPARE(first.value("limitVal"), QJsonValue(4.5));
        QCOMPARE(first.value("subscribers"), QJsonValue(QJsonArray{1, 2}));
        QCOMPARE(first.keys().size(), 20);
    }

    // A Latin-1 or windows-1252 list reads with its encoding named, and is refused, naming the line, without.
    void encodings_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("badLine");
        QTest::newRow("latin1") << "latin1" << QByteArray("1;DB1;Pumpe;WORD\n2;DB2;K\xfchler \xc4u\xdf" "en;FLOAT\n")
                                << QStringList{"Pumpe", QString::fromUtf8("Kühler Äußen")} << 2;
        QTest::newRow("windows-1252") << "windows-1252" << QByteArray("1;DB1;Z\xe4hler \x80;LONG\r\n2;DB2;\x84Stra\xdf" "e\x93;LOGIC\r\n")
                                      << QStringList{QString::fromUtf8("Zähler €"), QString::fromUtf8("„Straße“")} << 1;
    }
    void encodings()
    {
        QFETCH(QString, encoding);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString list = dir.filePath("tags.csv");
        const QString definitions = dir.filePath("definitions.xml");
        QVERIFY(writeAll(list, bytes));
        const Run refused = tool({"import-csv", list, "--into", definitions});
        QCOMPARE(refused.exitCode, 2);
        QFETCH(int, badLine);
        QVERIFY2(refused.err.contains(QStringLiteral("line %1 is not valid UTF-8").arg(badLine)) && refused.err.contains("--encoding"),
                 qPrintable(refused.err));
        QVERIFY(!QFile::exists(definitions));
        const Run run = tool({"import-csv", list, "--into", definitions, "--encoding", encoding});
        QCOMPARE(run.exitCode, 0);
        QTEST(tagNames(definitions), "names");
    }

    // The same list twice: the second run changes no byte of the file.
    void importTwice_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("second");
        QTest::newRow("tag list, skip") << QStringList{"import-csv", example("plant/tags.csv"), "--into", "DEFS", "--on-conflict", "skip",
                                                       "--channel", "Field-RS485"}
                                        << "DEFS: 0 tags added, 0 updated, 0 unchanged, 12 skipped (nothing to change: not written)\n";
        QTest::newRow("tag list, update") << QStringList{"import-csv", example("plant/tags.csv"), "--into", "DEFS", "--on-conflict", "update"}
                                          << "DEFS: 0 tags added, 0 updated, 12 unchanged, 0 skipped (nothing to change: not written)\n";
        QTest::newRow("table, skip") << QStringList{"import", "DEFS", "TABLE", "--tags", "--on-conflict", "skip"}
                                     << "DEFS: 0 tags added, 0 updated, 0 unchanged, 2 skipped (nothing to change: not written)\n";
    }
    void importTwice()
    {
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        const QString definitions = dir.filePath("d.xml");
        QVERIFY(QFile::copy(example("plant/definitions.xml"), definitions));
        QVERIFY(writeAll(dir.filePath("t.csv"), "Name;Description\nNew one;first\nNew two;\"second; with \"\"quotes\"\"\"\n"));
        arguments.replaceInStrings("DEFS", definitions).replaceInStrings("TABLE", dir.filePath("t.csv"));
        const Run first = tool(arguments);
        QCOMPARE(first.exitCode, 0);
        const QByteArray once = readAll(definitions);
        QVERIFY(once != readAll(example("plant/definitions.xml")));
        const Run again = tool(arguments);
        QCOMPARE(again.exitCode, 0);
        QFETCH(QString, second);
        QCOMPARE(again.out, second.replace("DEFS", definitions));
        QCOMPARE(readAll(definitions), once);
    }

    // The tags import-csv adds are those the library's import makes of the same lines, but for their ids and channel.
    void csvTagsAsTheLibraryMakesThem_data()
    {
        QTest::addColumn<QString>("channel");
        QTest::newRow("no channel") << QString();
        QTest::newRow("a channel") << "Remote-UDP";
    }
    void csvTagsAsTheLibraryMakesThem()
    {
        QFETCH(QString, channel);
        QTemporaryDir dir;
        const QString list = dir.filePath("list.csv");
        const QByteArray lines = "0;DB1; spaced name ;D WORD\r\n"
                                 "x;\"quoted\";\"Q\";FLOATLONG\n"
                                 ";;;\n"
                                 "5;five;fields;WORD;\n"
                                 "1;a;LOGICAL;LOGICAL\n"
                                 "2;\xc3\xa4;\xe6\x97\xa5\xe6\x9c\xac;\tlong\n"
                                 "3;W;WORDLONG;LONG WORD\n"
                                 "\n"
                                 "4;x;plain;int";
        QVERIFY(writeAll(list, lines));
        const QString definitions = dir.filePath("definitions.xml");
        QVERIFY(QFile::copy(example("plant/definitions.xml"), definitions));
        QStringList arguments{"import-csv", list, "--into", definitions};
        if (!channel.isEmpty())
            arguments << "--channel" << channel;
        const Run run = tool(arguments);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.endsWith("; line 4 of " + list + " skipped: not four fields separated by semicolons\n"), qPrintable(run.out));

        QTextCodec *locale = QTextCodec::codecForLocale();
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
        const Tree library(TgchFileProcessor::loadTagsFromCSV(list), destroyFileDataTree);
        QTextCodec::setCodecForLocale(locale);
        const Tree tool = load(definitions);
        QCOMPARE(library->tags.size(), 7);
        QCOMPARE(tool->tags.size(), 55 + library->tags.size());
        QCOMPARE(tool->alarms.size(), 4);
        for (int i = 0; i < library->tags.size(); ++i) {
            pEtiketDef_t expected = *library->tags.at(i);
            const pEtiketDef_t *added = tool->tags.at(55 + i);
            QCOMPARE(added->Id, 56 + i);
            expected.Id = added->Id;
            if (!channel.isEmpty()) {
                expected.KanalName = channel;
                expected.Kanal_Id = 3;
            }
            QCOMPARE(values(*added), values(expected));
        }
    }

    // The report: the summary alone, every tag with --verbose or --dry-run, the common JSON form.
    void importCsvReport()
    {
        QTemporaryDir dir;
        const QString list = dir.filePath("list.csv");
        QVERIFY(writeAll(list, "Nr;Address;Name;Type\n1;DB1;Level_01;WORD\n2;DB2;New;LONG\nbad\n3;DB3;Other;FLOAT\nx;y\n"));
        // A file alone, named as given (a folder with a definitions.xml would be a project).
        const QString definitions = dir.filePath("defs.xml");
        QVERIFY(QFile::copy(example("plant/definitions.xml"), definitions));
        const QByteArray before = readAll(definitions);

        Run run = tool({"import-csv", list, "--into", definitions, "--skip-header", "--on-conflict", "update", "--dry-run"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QString("would update tag \"Level_01\" (Id 1), line 2: VariableAddress \"40001\" -> \"DB1\", VariableType 1 -> 9\n"
                                  "would add tag \"New\" (Id 56), line 3\n"
                                  "would add tag \"Other\" (Id 57), line 5\n"
                                  "%1: 2 tags to add, 1 to update, 0 unchanged, 0 to skip; lines 4, 6 of %2 skipped: not four "
                                  "fields separated by semicolons (dry run: nothing written)\n").arg(definitions, list));
        QCOMPARE(readAll(definitions), before);

        run = tool({"import-csv", list, "--into", definitions, "--skip-header", "--on-conflict", "skip", "--json"});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject report = jsonOf(run);
        QCOMPARE(report.value("schemaVersion").toInt(), 1);
        QCOMPARE(report.value("command").toString(), QString("import-csv"));
        QCOMPARE(report.value("encoding").toString(), QString("UTF-8"));
        QCOMPARE(report.value("skippedLines").toArray(), (QJsonArray{4, 6}));
        QCOMPARE(report.value("counts").toObject(), (QJsonObject{{"added", 2}, {"updated", 0}, {"unchanged", 0}, {"skipped", 1}}));
        QCOMPARE(report.value("written").toBool(), true);
        const QJsonArray records = report.value("records").toArray();
        QCOMPARE(records.size(), 3);
        QCOMPARE(records.at(0).toObject().value("action").toString(), QString("skipped"));
        QCOMPARE(records.at(2).toObject().value("record").toObject(),
                 (QJsonObject{{"file", definitions}, {"kind", "tag"}, {"id", 57}, {"name", "Other"}}));
        QCOMPARE(tagNames(definitions).mid(55), (QStringList{"New", "Other"}));

        // Without a header left out, its line is a tag like any other.
        run = tool({"import-csv", list, "--into", definitions, "--on-conflict", "skip", "--verbose"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.startsWith("added tag \"Name\" (Id 58), line 1\nskipped tag \"Level_01\" (Id 1), line 2\n"), qPrintable(run.out));
    }

    // A refusal names every problem and prints nothing on standard output; the file stays as it was.
    void refused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("problems");
        QTest::newRow("table") << QStringList{"import", "DEFS", "TABLE", "--tags"}
                               << QStringList{"TABLE: line 2, column 1 (Name): tag \"Level_01\" (Id 1) is in the definitions already",
                                              "TABLE: line 3, column 2 (Kanal_Id): no channel has the Id 9",
                                              "TABLE: line 4, column 1 (Name): the name \"A\" is on line 3 already",
                                              "3 problems in TABLE; nothing was changed"};
        QTest::newRow("tag list") << QStringList{"import-csv", "LIST", "--into", "DEFS", "--json"}
                                  << QStringList{"LIST: line 1, column 3 (Name): tag \"Level_01\" (Id 1) is in the definitions already",
                                                 "1 problem in LIST; nothing was changed"};
    }
    void refused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, problems);
        QTemporaryDir dir;
        const QString definitions = dir.filePath("d.xml");
        QVERIFY(QFile::copy(example("plant/definitions.xml"), definitions));
        QVERIFY(writeAll(dir.filePath("t.csv"), "Name,Kanal_Id\nLevel_01,1\nA,9\nA,1\n"));
        QVERIFY(writeAll(dir.filePath("l.csv"), "1;DB1;Level_01;WORD\n2;DB2;New;WORD\n"));
        arguments.replaceInStrings("DEFS", definitions).replaceInStrings("TABLE", dir.filePath("t.csv")).replaceInStrings("LIST", dir.filePath("l.csv"));
        const QByteArray before = readAll(definitions);
        const Run run = tool(arguments);
        QCOMPARE(run.exitCode, 1);
        QStringList lines = run.err.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), problems.size());
        for (int i = 0; i < problems.size(); ++i)
            QVERIFY2(lines.at(i).contains(QString(problems.at(i)).replace("TABLE", dir.filePath("t.csv")).replace("LIST", dir.filePath("l.csv"))),
                     qPrintable(lines.at(i)));
        if (arguments.contains("--json")) {
            QCOMPARE(jsonOf(run).value("written").toBool(true), false);
            QCOMPARE(jsonOf(run).value("problems").toArray().first().toObject().value("field").toString(), QString("Name"));
        } else {
            QCOMPARE(run.out, QString());
        }
        QCOMPARE(readAll(definitions), before);
    }

    // A write that fails says so, and nothing that looks like success: in a project through its journal, or alone.
    void writeFails_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("import-csv") << "import-csv";
        QTest::newRow("import") << "import";
    }
    void writeFails()
    {
        QFETCH(QString, command);
        QTemporaryDir dir;
        const QString project = projectCopy(dir.path(), "plant");
        const QString definitions = project + "/definitions.xml";
        QVERIFY(writeAll(dir.filePath("t.csv"), "Name\nNew one\n"));
        const QStringList arguments = command == "import" ? QStringList{"import", definitions, dir.filePath("t.csv"), "--tags"}
                                                          : QStringList{"import-csv", example("plant/tags.csv"), "--into", definitions};
        const auto before = folderContents(project);
        Run run = toolWith("ZADURURU_SIMULATE_FULL_DISK", "1", arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("did not reach the disk whole") && run.err.contains("nothing was changed"), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QVERIFY(folderContents(project) == before);

        // Through the journal, which leaves nothing behind.
        run = tool(arguments);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.startsWith("definitions.xml: "));
        QCOMPARE(QDir(project).entryList(QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot).filter(".zadururu"), QStringList());
        QVERIFY(tagNames(definitions).size() > 55);

        // A file alone, in a folder that does not exist.
        const QString nowhere = dir.filePath("no/such/folder/definitions.xml");
        run = tool(QStringList(arguments).replaceInStrings(definitions, nowhere));
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(nowhere + ": cannot be written; it is unchanged"), qPrintable(run.err));
        QCOMPARE(run.out, QString());
    }

    // An ordinary user exports from and dry-runs on files they may not write; a real import says it cannot write, and only that.
    void readOnly()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to run the tool as another user");
        QTemporaryDir dir;
        QVERIFY(openToOthers(dir.path()));
        const QString project = projectCopy(dir.path(), "plant");
        const QString alone = dir.filePath("alone.xml");
        QVERIFY(QFile::copy(example("plant/definitions.xml"), alone));
        QVERIFY(writeAll(dir.filePath("t.csv"), "Name\nNew one\n"));
        const auto before = folderContents(dir.path());
        const Run exported = toolAsUser({"export", project + "/definitions.xml", "--tags"});
        QCOMPARE(exported.exitCode, 0);
        QCOMPARE(exported.out.count("\r\n"), 56);
        QCOMPARE(toolAsUser({"import", alone, dir.filePath("t.csv"), "--tags", "--dry-run"}).exitCode, 0);
        for (const QString &definitions : {project + "/definitions.xml", alone}) {
            const Run run = toolAsUser({"import", definitions, dir.filePath("t.csv"), "--tags"});
            QCOMPARE(run.exitCode, 2);
            QVERIFY2(run.err.contains("Permission denied") || run.err.contains("cannot be written; it is unchanged"), qPrintable(run.err));
            QCOMPARE(run.out, QString());
        }
        QVERIFY(folderContents(dir.path()) == before);
    }

    // The spreadsheet round trip: export, edit a cell and add a row, dry run, import.
    void spreadsheetEdit()
    {
        QTemporaryDir dir;
        const QString project = projectCopy(dir.path(), "plant");
        const QString definitions = project + "/definitions.xml";
        const QString table = dir.filePath("tags.csv");
        QCOMPARE(tool({"export", definitions, "--tags", "-o", table}).exitCode, 0);
        // A spreadsheet in a locale with a decimal comma saves with semicolons and without the byte-order mark.
        QString text = QString::fromUtf8(readAll(table)).replace(',', ';');
        QVERIFY(text.startsWith("Name;"));
        text.replace("Level measurement 1;", "Level of tank 1;").append("Level_99;500;PLC-Ethernet;1;1;40099;2;1;;;0;0;0;0;0;0;0;0;0;0;;1;New;m;3\r\n");
        QVERIFY(writeAll(table, text.toUtf8()));
        const QByteArray before = readAll(definitions);
        Run run = tool({"import", definitions, table, "--tags", "--on-conflict", "update", "--dry-run"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(run.out.split('\n').filter(QRegularExpression("^would ")),
                 (QStringList{"would update tag \"Level_01\" (Id 1), line 2: Description \"Level measurement 1\" -> \"Level of tank 1\"",
                              "would add tag \"Level_99\" (Id 56), line 57"}));
        QCOMPARE(readAll(definitions), before);
        run = tool({"import", definitions, table, "--tags", "--on-conflict", "update"});
        QCOMPARE(run.out, QString("definitions.xml: 1 tag added, 1 updated, 54 unchanged, 0 skipped\n"));
        const Run check = tool({"check", project});
        QVERIFY2(check.out.contains("3 channels, 56 tags, 4 alarms"), qPrintable(check.out));
        QCOMPARE(check.exitCode, 0);
    }
};

QTEST_GUILESS_MAIN(TestTableCommands)
#include "tst_tableCommands.moc"
