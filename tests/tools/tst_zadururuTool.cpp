// The command-line tool as a process on the example projects: every command
// but the killed renames.

#include "../common/toolProcess.h"

#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using Run = ToolRun;

class TestZadururuTool : public QObject
{
    Q_OBJECT
private slots:
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
        const QImage png(dir.filePath("o.png"));
        QCOMPARE(png.size(), QSize(1280, 800));
        // The tank component shows its library image, blue in its lower part (found beside the project only).
        const QColor tank = png.pixelColor(380, 340);
        QCOMPARE(tank.blue() > 150 && tank.red() < 120, inProject);
    }

    // Definitions that do not parse are left alone: writing them back would lose them.
    void importCsvIntoCutDefinitions()
    {
        QTemporaryDir dir;
        const QString definitions = dir.filePath("definitions.xml");
        const QByteArray whole = readAll(example("plant/definitions.xml"));
        const QByteArray cut = whole.left(whole.size() / 2);
        QVERIFY(writeAll(definitions, cut));
        const Run refused = tool({"import-csv", example("plant/tags.csv"), "--into", definitions});
        QCOMPARE(refused.exitCode, 2);
        QCOMPARE(readAll(definitions), cut);
    }

    // The canonical form, in place or through -o, is a fixed point; a
    // file that is not a whole page or definitions file is refused and left as it was.
    void format_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("scene page") << readAll(example("plant/pages/pumpstation.xml")) << 0;
        QTest::newRow("definitions") << readAll(example("plant/definitions.xml")) << 0;
        QTest::newRow("cut off") << QByteArray("<CTDefinitions><TagList><Tag>") << 2;
        QTest::newRow("other document") << QByteArray("<Other/>") << 2;
        QTest::newRow("empty") << QByteArray() << 2;
    }
    void format()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        // A page records the path it is written to, so both runs write to the same one.
        const QString path = dir.filePath("page.xml");
        QVERIFY(writeAll(path, content));
        const Run run = tool({"format", path});
        QTEST(run.exitCode, "exitCode");
        QCOMPARE(run.err.contains(path), run.exitCode != 0);
        const QByteArray once = readAll(path);
        if (run.exitCode)
            QCOMPARE(once, content);
        QCOMPARE(tool({"format", path, "-o", path}).exitCode, run.exitCode);
        QCOMPARE(readAll(path), once);
    }

    // A page keeps the file name it records, wherever it is written from;
    // --check writes nothing and says whether the bytes are canonical.
    void formatFileName_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("recorded");
        QTest::newRow("in place") << QStringList() << "overview.xml";
        QTest::newRow("elsewhere") << QStringList{"-o", "OUT"} << "overview.xml";
        QTest::newRow("named") << QStringList{"--file-name", "a&b <c>.xml"} << "a&amp;b &lt;c&gt;.xml";
        QTest::newRow("named empty") << QStringList{"--file-name", ""} << "";
    }
    void formatFileName()
    {
        QFETCH(QStringList, options);
        QTemporaryDir dir;
        const QString page = dir.filePath("page.xml");
        const QByteArray original = readAll(example("plant/pages/overview.xml"));
        // Indented otherwise than the writer indents: not canonical.
        QByteArray odd = original;
        odd.replace("\n    ", "\n  ");
        QVERIFY(writeAll(page, odd));
        const Run checked = tool({"format", "--check", page});
        QCOMPARE(checked.exitCode, 1);
        QCOMPARE(checked.out, page + ": scene page not in canonical form\n");
        QCOMPARE(readAll(page), odd);

        const QString written = options.contains("-o") ? dir.filePath("out.xml") : page;
        options.replaceInStrings(QRegularExpression("^OUT$"), written);
        const Run run = tool(QStringList{"format", page} + options);
        QCOMPARE(run.exitCode, 0);
        QFETCH(QString, recorded);
        const QByteArray bytes = readAll(written);
        QCOMPARE(bytes.count("<fileName>"), 1);
        QVERIFY2(bytes.contains("<fileName>" + recorded.toUtf8() + "</fileName>") || (recorded.isEmpty() && bytes.contains("<fileName/>")),
                 bytes.constData());
        if (!options.contains("--file-name"))
            QCOMPARE(bytes, original); // the example is in canonical form
        QCOMPARE(tool({"format", "--check", written}).exitCode, 0);
        const Run again = tool({"format", "--json", written});
        QCOMPARE(again.exitCode, 0);
        const QJsonObject report = jsonOf(again);
        QCOMPARE(report.value("command").toString(), QString("format"));
        QCOMPARE(report.value("files")[0]["written"], QJsonValue(false));
        QCOMPARE(report.value("files")[0]["canonical"], QJsonValue(true));
        QCOMPARE(readAll(written), bytes);
    }

    // Each use is found with its file, item kind, name, Uid (or alarm Id) and field.
    void xref_data()
    {
        QTest::addColumn<QString>("project");
        QTest::addColumn<int>("tag");
        QTest::addColumn<QStringList>("use"); // file, kind, name (or index), field
        QTest::addColumn<int>("uid");
        QTest::newRow("component") << "plant" << 10 << QStringList{"pages/tankfarm.xml", "component", "Tank T-201", "tagID_label"} << 1822;
        QTest::newRow("scrolling text") << "plant" << 10 << QStringList{"pages/overview.xml", "scrolling text", "1", "TagID"} << -1;
        QTest::newRow("chart line") << "plant" << 10 << QStringList{"pages/overview.xml", "chart", "1", "line 1"} << -1;
        QTest::newRow("schedule") << "plant" << 5 << QStringList{"pages/pumpstation.xml", "schedule", "1", "tag 3"} << -1;
        QTest::newRow("alarm") << "plant" << 1 << QStringList{"definitions.xml", "alarm", "High level tank 1", "tagID"} << 1;
        QTest::newRow("undefined") << "broken" << 58 << QStringList{"pages/tankfarm.xml", "component", "Level transmitter", "tagID_label"} << 1031;
        QTest::newRow("undefined, alarm") << "broken" << 500 << QStringList{"definitions.xml", "alarm", "High level tank 1", "tagID"} << 1;
    }
    void xref()
    {
        QFETCH(QString, project);
        QFETCH(int, tag);
        QFETCH(QStringList, use);
        QFETCH(int, uid);
        const Run run = tool({"xref", "--json", example(project), QString::number(tag)});
        QCOMPARE(run.exitCode, 0);
        const QJsonArray tags = jsonOf(run).value("tags").toArray();
        QCOMPARE(ids(tags), QList<int>{tag});
        bool found = false;
        for (const QJsonValue &value : tags.first().toObject().value("uses").toArray()) {
            const QJsonObject record = value["record"].toObject();
            const QString name = record.contains("name") ? record["name"].toString() : QString::number(record["index"].toInt());
            found = found || (QStringList{record["file"].toString(), record["kind"].toString(), name, value["field"].toString()} == use
                              && record.value(use[1] == "alarm" ? "id" : "uid").toInt(-1) == uid);
        }
        QVERIFY2(found, qPrintable(run.out));
    }

    void xrefSummary()
    {
        const QJsonObject plant = jsonOf(tool({"xref", "--json", example("plant")}));
        QCOMPARE(plant.value("tags").toArray().size(), 55);
        QCOMPARE(plant.value("unused").toArray().size(), 27);
        QVERIFY(ids(plant.value("unused").toArray()).contains(9));
        QCOMPARE(plant.value("unused")[0]["kind"].toString(), QString("tag"));
        QVERIFY(plant.value("undefined").toArray().isEmpty());
        const QJsonObject pipe = plant.value("components").toArray().at(5).toObject();
        QCOMPARE(pipe["component"].toObject(), (QJsonObject{{"file", "library/objlib.xml"}, {"kind", "library component"}, {"id", 5}, {"name", "pipe"}}));
        QCOMPARE(pipe.value("pages").toArray(), (QJsonArray{QJsonObject{{"file", "pages/pumpstation.xml"}, {"instances", 1}}}));

        const Run broken = tool({"xref", "--json", example("broken")});
        QCOMPARE(broken.exitCode, 0);
        QVERIFY(broken.err.contains("pages/half-download.xml: not well-formed XML"));
        QCOMPARE(ids(jsonOf(broken).value("undefined").toArray()), (QList<int>{60, 58, 99, 500}));
        QCOMPARE(ids(jsonOf(tool({"xref", "--json", example("broken"), "Level_01"})).value("tags").toArray()), (QList<int>{1, 12}));
        QVERIFY(tool({"xref", example("broken")}).out.contains("\nIds used but not defined: 4\n"));
    }

    void diff_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("same project") << "plant" << "plant" << 0 << QStringList{"No differences."};
        QTest::newRow("projects") << "plant" << "broken" << 1
                                  << QStringList{"      tagID: 1 -> 500", "pages/half-download.xml: added (not well-formed XML: line 38",
                                                 "  removed library component \"pipe\" (objectUID 5)",
                                                 "  added component \"Level transmitter\" (Uid 1031)", "4 files differ, 8 records."};
        QTest::newRow("pages") << "plant/pages/tankfarm.xml" << "broken/pages/tankfarm.xml" << 1
                               << QStringList{"      line4: {Tag=14,LineStyle=0,LineColor=\"#FF00FF\"} -> {Tag=99,LineStyle=0,LineColor=\"#FF00FF\"}"};
        QTest::newRow("definitions") << "plant/definitions.xml" << "broken/definitions.xml" << 1 << QStringList{"  added tag \"Level_01\" (Id 12)"};
        QTest::newRow("same page") << "plant/pages/overview.xml" << "broken/pages/overview.xml" << 0 << QStringList{"No differences."};
    }
    void diff()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QStringList, lines);
        const Run run = tool({"diff", example(before), example(after)});
        QTEST(run.exitCode, "exitCode");
        for (const QString &line : lines)
            QVERIFY2(!run.out.split('\n').filter(QRegularExpression("^" + QRegularExpression::escape(line))).isEmpty(), qPrintable(run.out));
    }

    void diffJson()
    {
        QCOMPARE(jsonOf(tool({"diff", "--json", example("plant"), example("plant")})).value("files"), QJsonArray());
        const QJsonObject diff = jsonOf(tool({"diff", "--json", example("plant"), example("broken")}));
        QCOMPARE(diff.value("equal"), false);
        const QJsonObject alarm{{"file", "definitions.xml"}, {"kind", "alarm"}, {"id", 1}, {"name", "High level tank 1"}};
        QCOMPARE(diff.value("files")[0]["records"][1].toObject(), // after the tag added, in the order of the file
                 (QJsonObject{{"change", "changed"}, {"record", alarm}, {"oldRecord", alarm},
                              {"fields", QJsonArray{QJsonObject{{"field", "tagID"}, {"old", 1}, {"new", 500}}}}}));
    }

    // A rename that is refused, or stopped by a full disk, leaves every file as it was.
    void renameRefused_data()
    {
        QTest::addColumn<QString>("project");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("fullDisk");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("no such id") << "plant" << QStringList{"--id", "999", "--to", "1000"} << "" << 1 << "no tag has the id 999";
        QTest::newRow("id taken") << "plant" << QStringList{"--id", "10", "--to", "11"} << "" << 1 << "a tag has the id 11 already";
        QTest::newRow("name taken") << "plant" << QStringList{"--name", "Pump_10", "--to", "Flow_02"} << "" << 1 << "a tag has the name \"Flow_02\"";
        QTest::newRow("no such name") << "plant" << QStringList{"--name", "Pump", "--to", "P"} << "" << 1 << "no tag has the name";
        QTest::newRow("two with the id") << "broken-readable" << QStringList{"--id", "12", "--to", "70"} << "" << 1 << "2 tags have the id 12";
        QTest::newRow("new id bound") << "broken-readable" << QStringList{"--id", "1", "--to", "58"} << "" << 1
                                      << "no tag has the id 58, but pages/tankfarm.xml binds it";
        QTest::newRow("unreadable page") << "broken" << QStringList{"--id", "1", "--to", "70"} << "" << 2 << "every file of the project must be read";
        QTest::newRow("no --to") << "plant" << QStringList{"--id", "10"} << "" << 2 << "--to NEW";
        QTest::newRow("id and name") << "plant" << QStringList{"--id", "10", "--name", "Pump_10", "--to", "9"} << "" << 2 << "--to NEW";
        QTest::newRow("to -1") << "plant" << QStringList{"--id", "10", "--to", "-1"} << "" << 2 << "from 0 up";
        QTest::newRow("to -2") << "plant" << QStringList{"--id", "10", "--to", "-2"} << "" << 2 << "from 0 up";
        QTest::newRow("from -1") << "plant" << QStringList{"--id", "-1", "--to", "900"} << "" << 2 << "from 0 up";
        QTest::newRow("from 0") << "plant" << QStringList{"--id", "0", "--to", "900"} << "" << 1 << "no tag has the id 0";
        QTest::newRow("empty name") << "plant" << QStringList{"--name", "Pump_10", "--to", ""} << "" << 2 << "cannot be empty";
        QTest::newRow("name XML cannot hold") << "plant" << QStringList{"--name", "Pump_10", "--to", "a\x01" "b"} << "" << 2 << "(U+0001)";
        QTest::newRow("dry run") << "plant" << QStringList{"--id", "10", "--to", "900", "--dry-run"} << "" << 0 << "";
        QTest::newRow("disk full, first file") << "plant" << QStringList{"--id", "10", "--to", "900"} << "1" << 2 << "did not reach the disk whole";
        QTest::newRow("disk full, last file") << "plant" << QStringList{"--id", "10", "--to", "900"} << "3" << 2 << "did not reach the disk whole";
    }
    void renameRefused()
    {
        QFETCH(QString, project);
        QFETCH(QStringList, arguments);
        QFETCH(QString, fullDisk);
        QTemporaryDir dir;
        const QString path = projectCopy(dir.path(), project);
        const auto before = folderContents(path);
        const Run run = toolWith("ZADURURU_SIMULATE_FULL_DISK", fullDisk, QStringList{"rename-tag", path} + arguments);
        QTEST(run.exitCode, "exitCode");
        QFETCH(QString, message);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(folderContents(path) == before);
        if (run.exitCode == 0)
            QVERIFY(run.out.contains("\nWould rename tag Id 10 to 900: 3 files, 4 bindings.\n\n--- a/definitions.xml\n"));
    }
};

QTEST_GUILESS_MAIN(TestZadururuTool)
#include "tst_zadururuTool.moc"
