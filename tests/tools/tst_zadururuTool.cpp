#include "../common/toolProcess.h"

#include <zadururu/definitions/tgchFileProcessor.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Run = ToolRun;

} // namespace

class TestZadururuTool : public QObject
{
    Q_OBJECT
private slots:
    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("no command") << QStringList() << 2;
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2;
        QTest::newRow("help") << QStringList{"--help"} << 0;
        QTest::newRow("command help") << QStringList{"check", "--help"} << 0;
        QTest::newRow("check without folder") << QStringList{"check"} << 2;
        QTest::newRow("check, unknown option") << QStringList{"check", "--bogus", "x"} << 2;
        QTest::newRow("check, no such folder") << QStringList{"check", "/nonexistent/project"} << 2;
        QTest::newRow("render without -o") << QStringList{"render", example("plant/pages/overview.xml")} << 2;
        QTest::newRow("import without --into") << QStringList{"import-csv", example("plant/tags.csv")} << 2;
        QTest::newRow("format, missing file") << QStringList{"format", "/nonexistent.xml"} << 2;
        QTest::newRow("xref help") << QStringList{"xref", "--help"} << 0;
        QTest::newRow("xref without folder") << QStringList{"xref"} << 2;
        QTest::newRow("xref, no such tag") << QStringList{"xref", example("plant"), "nosuch"} << 2;
        QTest::newRow("diff, one side") << QStringList{"diff", example("plant")} << 2;
        QTest::newRow("diff, folder and file") << QStringList{"diff", example("plant"), example("plant/definitions.xml")} << 2;
        QTest::newRow("diff, cut-off page") << QStringList{"diff", example("broken/pages/half-download.xml"), example("plant/pages/overview.xml")} << 2;
        QTest::newRow("textconv, missing file") << QStringList{"textconv", "/nonexistent.xml"} << 2;
    }
    void usage()
    {
        QFETCH(QStringList, arguments);
        const Run run = tool(arguments);
        QTEST(run.exitCode, "exitCode");
        // A usage or file error is explained on standard error; a run that succeeds says nothing there.
        QCOMPARE(run.err.isEmpty(), run.exitCode == 0);
    }

    void checkCleanProject()
    {
        const Run run = tool({"check", example("plant")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("3 pages, 3 channels, 55 tags, 4 alarms, 6 library components"), qPrintable(run.out));
        QVERIFY(run.out.contains("No problems found."));
    }

    // Every planted mistake of the broken example is found, in its file and record.
    void checkBrokenProject_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("message");
        QTest::newRow("cut-off page") << "pages/half-download.xml" << ""
                                      << "not well-formed XML: line 38, column 1";
        QTest::newRow("component binding") << "pages/tankfarm.xml" << "component \"Level transmitter\" (Uid 1031)"
                                           << "tag 58 bound as tagID_label is not defined";
        QTest::newRow("chart line") << "pages/tankfarm.xml" << "chart 1 at (80, 480)"
                                    << "tag 99 bound as line 4 is not defined";
        QTest::newRow("library component") << "pages/pumpstation.xml" << "component \"Header pipe\" (Uid 1792)"
                                           << "its library component \"pipe\" is not in the library";
        QTest::newRow("channel id") << "definitions.xml" << "tag \"Level_01\" (Id 12)"
                                    << "its channel Id 77 (Kanal_Id) is not defined";
        QTest::newRow("channel name") << "definitions.xml" << "tag \"Level_01\" (Id 12)"
                                      << "its channel \"Line Z\" (KanalName) is not defined";
        QTest::newRow("tag id twice") << "definitions.xml" << "" << "tag Id 12 is used by 2 records";
        QTest::newRow("tag name twice") << "definitions.xml" << "" << "tag name \"Level_01\" is used by 2 records";
        QTest::newRow("alarm tag") << "definitions.xml" << "alarm \"High level tank 1\" (Id 1)"
                                   << "tag 500 bound as tagID is not defined";
        QTest::newRow("uid on two pages") << "project" << ""
                                          << "component Uid 1031 is used on 2 pages: pages/overview.xml, pages/tankfarm.xml";
        QTest::newRow("page id shared") << "project" << "" << "pageID 2 is shared by 2 pages";
    }
    void checkBrokenProject()
    {
        QFETCH(QString, file);
        QFETCH(QString, record);
        QFETCH(QString, message);
        const Run run = tool({"check", "--json", example("broken")});
        QCOMPARE(run.exitCode, 1);
        QJsonParseError error;
        const QJsonObject report = QJsonDocument::fromJson(run.out.toUtf8(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonArray problems = report.value("problems").toArray();
        QCOMPARE(report.value("problemCount").toInt(), problems.size());
        QCOMPARE(problems.size(), 14);
        bool found = false;
        for (const QJsonValue &value : problems) {
            const QJsonObject problem = value.toObject();
            found = found || (problem.value("file").toString() == file && problem.value("record").toString() == record
                              && problem.value("message").toString().startsWith(message));
        }
        QVERIFY2(found, qPrintable(run.out));
    }

    void render()
    {
        QTemporaryDir dir;
        const QString png = dir.filePath("overview.png");
        const Run run = tool({"render", example("plant/pages/overview.xml"), "-o", png});
        QCOMPARE(run.exitCode, 0);
        const QImage image(png);
        QCOMPARE(image.size(), QSize(1280, 800));
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(image.pixelColor(1279, 799), QColor(Qt::white));
        // Inside the chart's frame, clear of its grid and legend: its background colour.
        QCOMPARE(image.pixelColor(870, 670), QColor("#101820"));
        // The tank component shows its library image, blue in its lower part.
        const QColor tank = image.pixelColor(380, 340);
        QVERIFY2(tank.blue() > 150 && tank.red() < 120, qPrintable(tank.name()));

        QVERIFY(writeAll(dir.filePath("cut.xml"), "<ScadaFile><ItemList>"));
        const Run broken = tool({"render", dir.filePath("cut.xml"), "-o", dir.filePath("cut.png")});
        QCOMPARE(broken.exitCode, 2);
        QVERIFY(broken.err.contains("not well-formed"));
        QVERIFY(!QFile::exists(dir.filePath("cut.png")));
        const Run noLibrary = tool({"render", example("plant/pages/overview.xml"), "-o", png, "--library", dir.path()});
        QCOMPARE(noLibrary.exitCode, 2);
    }

    // In a project folder the tags show by name, elsewhere by id; in the SVG as in the PNG.
    void renderTagNames_data()
    {
        QTest::addColumn<bool>("inProject");
        QTest::addColumn<QString>("label");
        QTest::newRow("in the project") << true << "Pump_30<";
        QTest::newRow("alone") << false << "Tag 30<";
    }
    void renderTagNames()
    {
        QFETCH(bool, inProject);
        QTemporaryDir dir;
        const QString page = dir.filePath("overview.xml");
        QVERIFY(QFile::copy(example("plant/pages/overview.xml"), page));
        const Run run = tool({"render", inProject ? example("plant/pages/overview.xml") : page, "-o", dir.filePath("o.png"),
                              "--svg", dir.filePath("o.svg")});
        QCOMPARE(run.exitCode, 0);
        const QByteArray svg = readAll(dir.filePath("o.svg"));
        QFETCH(QString, label);
        QCOMPARE(svg.count(label.toUtf8()), 2); // the chart legend and the scrolling text
        QCOMPARE(svg.count(inProject ? "Tag 30<" : "Pump_30<"), 0);
        QCOMPARE(QImage(dir.filePath("o.png")).size(), QSize(1280, 800));
    }

    void importCsv()
    {
        QTemporaryDir dir;
        const QString definitions = dir.filePath("definitions.xml");
        QVERIFY(QFile::copy(example("plant/definitions.xml"), definitions));
        const QByteArray before = readAll(definitions);

        const Run dry = tool({"import-csv", example("plant/tags.csv"), "--into", definitions, "--dry-run"});
        QCOMPARE(dry.exitCode, 0);
        QVERIFY2(dry.out.contains("would add tag 56 \"Feed pump P-301 running\""), qPrintable(dry.out));
        QCOMPARE(readAll(definitions), before);

        const Run run = tool({"import-csv", example("plant/tags.csv"), "--into", definitions});
        QCOMPARE(run.exitCode, 0);
        FileDataTree *tree = TgchFileProcessor::loadFileData(definitions);
        QVERIFY(tree);
        QCOMPARE(tree->tags.size(), 67);
        QCOMPARE(tree->alarms.size(), 4);
        QCOMPARE(tree->tags.at(55)->Id, 56);
        QCOMPARE(tree->tags.at(55)->VariableType, 16);
        QCOMPARE(tree->tags.last()->Id, 67);
        QCOMPARE(tree->tags.last()->Name, QString("Outlet valve V-310 closed"));
        QCOMPARE(tree->tags.last()->PollFrequency, 3);
        destroyFileDataTree(tree);

        // A definitions file that does not exist is created.
        const QString fresh = dir.filePath("new.xml");
        QCOMPARE(tool({"import-csv", example("plant/tags.csv"), "--into", fresh}).exitCode, 0);
        tree = TgchFileProcessor::loadFileData(fresh);
        QCOMPARE(tree->tags.size(), 12);
        QCOMPARE(tree->tags.first()->Id, 1);
        destroyFileDataTree(tree);

        // One that does not parse is left alone: writing it back would lose it.
        const QByteArray cut = before.left(before.size() / 2);
        QVERIFY(writeAll(definitions, cut));
        const Run refused = tool({"import-csv", example("plant/tags.csv"), "--into", definitions});
        QCOMPARE(refused.exitCode, 2);
        QCOMPARE(readAll(definitions), cut);
        QCOMPARE(tool({"import-csv", dir.filePath("none.csv"), "--into", fresh}).exitCode, 2);
    }

    void format_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("scene page") << example("plant/pages/pumpstation.xml");
        QTest::newRow("definitions") << example("plant/definitions.xml");
    }
    void format()
    {
        QFETCH(QString, source);
        QTemporaryDir dir;
        // A page records its own file name, so both runs write the same name.
        const QString target = dir.filePath("page.xml");
        QCOMPARE(tool({"format", source, "-o", target}).exitCode, 0);
        const QByteArray once = readAll(target);
        QVERIFY(!once.isEmpty());
        QCOMPARE(tool({"format", target}).exitCode, 0); // in place
        QCOMPARE(readAll(target), once);                 // the canonical form is a fixed point
    }

    void formatRefuses_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("cut off") << QByteArray("<CTDefinitions><TagList><Tag>");
        QTest::newRow("other document") << QByteArray("<Other/>");
        QTest::newRow("empty") << QByteArray();
    }
    void formatRefuses()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath("f.xml");
        QVERIFY(writeAll(path, content));
        const Run run = tool({"format", path});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains(path));
        QCOMPARE(readAll(path), content);
    }
};

QTEST_GUILESS_MAIN(TestZadururuTool)
#include "tst_zadururuTool.moc"
