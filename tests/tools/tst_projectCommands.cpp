#include "../common/toolProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using Run = ToolRun;

class TestProjectCommands : public QObject
{
    Q_OBJECT
private slots:
    // Each use is found with its file, item kind, name, Uid (or alarm Id) and field.
    void xref_data()
    {
        QTest::addColumn<QString>("project");
        QTest::addColumn<int>("tag");
        QTest::addColumn<QStringList>("use"); // file, kind, name, field
        QTest::addColumn<int>("uid");
        QTest::newRow("component") << "plant" << 10 << QStringList{"pages/tankfarm.xml", "component", "Tank T-201", "tagID_label"} << 1822;
        QTest::newRow("scrolling text") << "plant" << 10 << QStringList{"pages/overview.xml", "scrolling text", "scrolling text 1", "TagID"} << -1;
        QTest::newRow("chart line") << "plant" << 10 << QStringList{"pages/overview.xml", "chart", "chart 1", "line 1"} << -1;
        QTest::newRow("schedule") << "plant" << 5 << QStringList{"pages/pumpstation.xml", "schedule", "schedule 1", "tag 3"} << -1;
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
            const QJsonObject o = value.toObject();
            found = found || (QStringList{o["file"].toString(), o["kind"].toString(), o["name"].toString(), o["field"].toString()} == use
                              && o.value(use[1] == "alarm" ? "id" : "uid").toInt(-1) == uid);
        }
        QVERIFY2(found, qPrintable(run.out));
    }

    void xrefSummary()
    {
        const QJsonObject plant = jsonOf(tool({"xref", "--json", example("plant")}));
        QCOMPARE(plant.value("tags").toArray().size(), 55);
        QCOMPARE(plant.value("unused").toArray().size(), 27);
        QVERIFY(ids(plant.value("unused").toArray()).contains(9));
        QVERIFY(plant.value("undefined").toArray().isEmpty());
        const QJsonObject pipe = plant.value("components").toArray().at(5).toObject();
        QCOMPARE(pipe.value("name").toString(), QString("pipe"));
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
        const QJsonObject same = jsonOf(tool({"diff", "--json", example("plant"), example("plant")}));
        QCOMPARE(same.value("equal").toBool(), true);
        QCOMPARE(same.value("files").toArray().size(), 0);
        const QJsonArray files = jsonOf(tool({"diff", "--json", example("plant"), example("broken")})).value("files").toArray();
        QCOMPARE(files.first().toObject().value("file").toString(), QString("definitions.xml"));
        QCOMPARE(files.first().toObject().value("records").toArray().first().toObject(),
                 (QJsonObject{{"change", "changed"}, {"record", "alarm \"High level tank 1\" (Id 1)"},
                              {"fields", QJsonArray{QJsonObject{{"field", "tagID"}, {"old", "1"}, {"new", "500"}}}}}));
    }

    // git diff through textconv shows the records a rename changed, one line each.
    void gitDiffThroughTextconv()
    {
        QTemporaryDir dir;
        const QString project = projectCopy(dir.path(), "plant");
        const auto git = [&project](const QStringList &arguments) {
            QProcess process;
            process.setWorkingDirectory(project);
            process.start("git", QStringList{"-c", "user.name=t", "-c", "user.email=t@t"} + arguments);
            process.waitForFinished(30000);
            return process.exitCode() == 0 ? QString::fromUtf8(process.readAllStandardOutput()) : QString("failed");
        };
        QVERIFY(writeAll(project + "/.gitattributes", "*.xml diff=zadururu\n"));
        QCOMPARE(git({"init", "-q"}), QString());
        QCOMPARE(git({"config", "diff.zadururu.textconv", ZADURURU_TOOL " textconv"}), QString());
        QCOMPARE(git({"add", "."}), QString());
        QCOMPARE(git({"commit", "-qm", "plant"}), QString());
        QCOMPARE(tool({"rename-tag", project, "--id", "10", "--to", "900"}).exitCode, 0);
        const QStringList lines = git({"diff", "-U0"}).split('\n');
        QStringList changed = lines.filter(QRegularExpression("^[-+](?![-+]{2} )"));
        QCOMPARE(changed.size(), 10); // tag, scrolling text, two components and the chart, each - and +
        QVERIFY2(changed.filter(QRegularExpression("^\\+component \"Tank T-201\" \\(Uid 1822\\) .* tagID_label=900 ")).size() == 1,
                 qPrintable(changed.join('\n')));
        QVERIFY(changed.contains("-scrolling text 1 TagID=10 ScrollText=\"Raw water level\""));
    }

};

QTEST_GUILESS_MAIN(TestProjectCommands)
#include "tst_projectCommands.moc"
