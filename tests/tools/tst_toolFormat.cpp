// zadururu format as a process: what a rewrite in canonical form drops,
// invents or changes, listed with its place and record before anything is
// written, refused without --force and written with it.

#include "../common/toolProcess.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray page(const QByteArray &items)
{
    return "<ScadaFile>\n<ItemList>\n" + items + "</ItemList>\n<PageProperties><fileName>a.xml</fileName></PageProperties>\n</ScadaFile>\n";
}

const QByteArray component = "<Item><ItemType>ScadaObject</ItemType><Properties Name=\"P\" Uid=\"7\"/>";
const QByteArray text = "<Item><ItemType>TextItem</ItemType><Width>90</Width><Height>20</Height>";

} // namespace

class TestToolFormat : public QObject
{
    Q_OBJECT
private slots:
    // Each file holds one thing its rewrite loses: listed on standard error
    // (and by --check, and in the JSON) with its place and record; nothing
    // is written without --force; with it, the file is written, after which
    // it loses nothing more.
    void loss_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("code"); // empty for none
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("record"); // as the text names it; empty for none
        QTest::addColumn<QByteArray>("written"); // in the file written with --force
        QTest::addColumn<QByteArray>("gone");    // not in it

        QTest::newRow("an item of an unknown kind") << page("<Item><ItemType>Scheduleitem</ItemType></Item>\n") << "dropped" << "W201" << 3
                                                    << "item 1" << QByteArray("<ItemList/>") << QByteArray("Scheduleitem");
        QTest::newRow("an element no reader reads") << page(component + "\n<Tooltipp>x</Tooltipp></Item>\n") << "dropped" << "W202" << 4
                                                    << "component \"P\" (Uid 7)" << QByteArray("Uid=\"7\"") << QByteArray("Tooltipp");
        QTest::newRow("an attribute no reader reads")
            << page(component + "<TagIDs tagID_lable=\"4\"/></Item>\n") << "dropped" << "W203" << 3 << "component \"P\" (Uid 7)"
            << QByteArray("tagID_label=\"-1\"") << QByteArray("tagID_lable");
        QTest::newRow("an element given twice") << page(component + "<lofx>5</lofx>\n<lofx>6</lofx></Item>\n") << "dropped" << "W204" << 4
                                                << "component \"P\" (Uid 7)" << QByteArray("<lofx>5</lofx>") << QByteArray("<lofx>6</lofx>");
        QTest::newRow("a number that does not parse") << page(component + "<lofy>4px</lofy></Item>\n") << "changed" << "W205" << 3
                                                      << "component \"P\" (Uid 7)" << QByteArray("<lofy>0</lofy>") << QByteArray("4px");
        QTest::newRow("a position of a fraction") << page(component + "<Geometry X=\"12.7\" Y=\"3\"/></Item>\n") << "changed" << "W206" << 3
                                                  << "component \"P\" (Uid 7)" << QByteArray("X=\"12\" Y=\"3\"") << QByteArray("12.7");
        QTest::newRow("a subscriber that is no id")
            << QByteArray("<CTDefinitions>\n<AlarmList>\n<Alarm><Id>2</Id><alarm_name>A</alarm_name><ackrequired>1</ackrequired>"
                          "<islogging>1</islogging><tagID>4</tagID><limit_tag_id>-1</limit_tag_id><limit_tag2_id>-1</limit_tag2_id>\n"
                          "<subscribers>{5,x,7}</subscribers></Alarm>\n</AlarmList>\n</CTDefinitions>\n")
            << "dropped" << "W205" << 4 << "alarm \"A\" (Id 2)" << QByteArray("<subscribers>{5,7}</subscribers>") << QByteArray("{5,x,7}");
        QTest::newRow("a text of whitespace") << page(text + "<Family>   </Family></Item>\n") << "dropped" << "W209" << 3 << "text 1"
                                              << QByteArray("<Family></Family>") << QByteArray("<Family> ");
        QTest::newRow("a colour of whitespace") << page(text + "<TextColor> </TextColor></Item>\n") << "changed" << "W209" << 3 << "text 1"
                                                << QByteArray("<TextColor>#000000</TextColor>") << QByteArray("<TextColor> ");
        QTest::newRow("a size measured") << page("<Item><ItemType>TextItem</ItemType><ItemText>Tank</ItemText><Height>20</Height></Item>\n")
                                         << "invented" << "W210" << 3 << "text 1" << QByteArray("<Height>20</Height>") << QByteArray();
        QTest::newRow("a character XML cannot hold") << page(text + "\n<ItemText>a&#1;b</ItemText></Item>\n") << "dropped" << "W211" << 4
                                                     << "text 1" << QByteArray("<ItemText><![CDATA[ab]]></ItemText>") << QByteArray("&#1;");
        QTest::newRow("bytes not UTF-8") << page(text + "<ItemText>S\xfc" "d</ItemText></Item>\n") << "changed" << "W101" << 3 << ""
                                         << QByteArray("S\xef\xbf\xbd" "d") << QByteArray("S\xfc");
        QTest::newRow("a comment") << page("<!-- pumps moved 2019 -->\n") << "dropped" << "" << 3 << "" << QByteArray("<ItemList/>")
                                   << QByteArray("pumps moved");
        QTest::newRow("a processing instruction") << page(component + "</Item>\n<?editor grid=\"8\"?>\n") << "dropped" << "" << 4 << ""
                                                  << QByteArray("Uid=\"7\"") << QByteArray("editor");
    }
    void loss()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, effect);
        QFETCH(QString, code);
        QFETCH(int, line);
        QFETCH(QString, record);
        QTemporaryDir dir;
        const QString path = dir.filePath("a.xml");
        QVERIFY(writeAll(path, content));
        const QString place = QStringLiteral("%1:%2:").arg(path).arg(line);
        const QString what = QStringLiteral(": %1: %2").arg(effect, record.isEmpty() ? QString() : record + ": ");

        const ToolRun refused = tool({"format", path});
        QCOMPARE(refused.exitCode, 1);
        QCOMPARE(refused.out, QString());
        const QStringList listed = refused.err.split('\n').filter(QRegularExpression("^" + QRegularExpression::escape(place)));
        QVERIFY2(listed.size() == 1 && listed.first().contains(what), qPrintable(refused.err));
        QVERIFY2(refused.err.contains("nothing was written") && refused.err.contains("--force"), qPrintable(refused.err));
        QCOMPARE(readAll(path), content);

        const ToolRun checked = tool({"format", "--check", path});
        QCOMPARE(checked.exitCode, 1);
        QVERIFY2(checked.out.startsWith(path + ": scene page not in canonical form; ") || checked.out.startsWith(path + ": definitions file"),
                 qPrintable(checked.out));
        QVERIFY2(checked.out.contains("\n    " + listed.first() + "\n"), qPrintable(checked.out));

        const ToolRun json = tool({"format", "--json", path});
        QCOMPARE(json.exitCode, 1);
        const QJsonObject report = jsonOf(json);
        QCOMPARE(report["refused"], QJsonValue(true));
        const QJsonArray losses = report["files"][0]["losses"].toArray();
        QCOMPARE(losses.size(), 1);
        QCOMPARE(losses[0]["effect"].toString(), effect);
        QCOMPARE(losses[0]["code"].toString(), code);
        QCOMPARE(losses[0]["code"].isNull(), code.isEmpty());
        QCOMPARE(losses[0]["line"].toInt(), line);
        QCOMPARE(losses[0]["record"].isNull(), record.isEmpty());
        QCOMPARE(report["files"][0]["written"], QJsonValue(false));
        QCOMPARE(readAll(path), content);

        const ToolRun forced = tool({"format", "--force", path});
        QCOMPARE(forced.exitCode, 0);
        QVERIFY2(forced.err.contains(listed.first()), qPrintable(forced.err));
        QFETCH(QByteArray, written);
        QFETCH(QByteArray, gone);
        const QByteArray bytes = readAll(path);
        QVERIFY2(bytes.contains(written), bytes.constData());
        QVERIFY2(gone.isEmpty() || !bytes.contains(gone), bytes.constData());
        // What is written holds only what the readers read: a second run finds nothing to lose.
        const ToolRun again = tool({"format", path});
        QCOMPARE(again.exitCode, 0);
        QCOMPARE(again.err, QString());
        QCOMPARE(readAll(path), bytes);
    }

    // A size measured names the font asked for and the one this machine
    // drew it in, and is the size written.
    void measuredSize()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.xml");
        QVERIFY(writeAll(path, page("<Item><ItemType>TextItem</ItemType><ItemText>Tank level</ItemText>"
                                    "<TextPixelSize>14</TextPixelSize><IsBold>1</IsBold></Item>\n")));
        const QJsonObject report = jsonOf(tool({"format", "--json", "--check", path}));
        const QJsonObject loss = report.value("files")[0]["losses"][0].toObject();
        QCOMPARE(loss["code"].toString(), QString("W210"));
        const QJsonObject measured = loss["measured"].toObject();
        QCOMPARE(measured["family"].toString(), QString("Arial")); // what an absent Family reads as
        QCOMPARE(measured["pixelSize"].toInt(), 14);
        QCOMPARE(measured["bold"], QJsonValue(true));
        QVERIFY(!measured["matchedFamily"].toString().isEmpty());
        QVERIFY(measured["matchedPixelSize"].toInt() > 0);
        QVERIFY(measured["width"].toInt() > 0);

        const ToolRun run = tool({"format", "--force", path});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains(QStringLiteral("here it measures %1 by %2 in \"Arial\" bold at 14 px, which this machine draws in \"%3\" bold at")
                                      .arg(measured["width"].toInt()).arg(measured["height"].toInt()).arg(measured["matchedFamily"].toString())),
                 qPrintable(run.err));
        const QByteArray bytes = readAll(path);
        QVERIFY(bytes.contains(QStringLiteral("<Width>%1</Width>").arg(measured["width"].toInt()).toUtf8()));
        QVERIFY(bytes.contains(QStringLiteral("<Height>%1</Height>").arg(measured["height"].toInt()).toUtf8()));
    }

    // Files whose rewrite loses nothing are written without a word on
    // standard error: the example's pages and definitions (which lack the
    // loader's own "None" channel, written as the loader reads it), and each
    // laid out otherwise than the writers lay it out.
    void nothingLost_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("reindent");
        QTest::addColumn<bool>("canonical"); // the example as it is
        for (const char *file : {"pages/overview.xml", "pages/pumpstation.xml", "pages/tankfarm.xml", "definitions.xml"}) {
            const bool canonical = QByteArray(file) != "definitions.xml";
            QTest::newRow(file) << file << false << canonical;
            QTest::newRow(qPrintable(QStringLiteral("%1, indented otherwise").arg(file))) << file << true << canonical;
        }
    }
    void nothingLost()
    {
        QFETCH(QString, file);
        QFETCH(bool, reindent);
        QFETCH(bool, canonical);
        QTemporaryDir dir;
        const QString project = projectCopy(dir.path(), "plant");
        const QString path = QDir(project).filePath(file);
        const QByteArray original = readAll(path);
        if (reindent)
            QVERIFY(writeAll(path, QByteArray(original).replace("\n    ", "\n\t")));
        const ToolRun run = tool({"format", path});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QString());
        const QString kind = file.startsWith("pages") ? "scene page" : "definitions file";
        QCOMPARE(run.out, path + ": " + kind + (reindent || !canonical ? " written\n" : " already in canonical form, unchanged\n"));
        if (canonical)
            QCOMPARE(readAll(path), original);
        QCOMPARE(tool({"format", "--check", path}).exitCode, 0);
    }

    // Several files: one that would lose something keeps every file from being written.
    void severalFiles()
    {
        QTemporaryDir dir;
        const QString project = projectCopy(dir.path(), "plant");
        const QString clean = project + "/pages/overview.xml", lossy = project + "/pages/pumpstation.xml";
        const QByteArray reindented = readAll(clean).replace("\n    ", "\n  ");
        QVERIFY(writeAll(clean, reindented));
        QByteArray commented = readAll(lossy);
        commented.replace("<ItemList>", "<ItemList><!-- checked -->");
        QVERIFY(writeAll(lossy, commented));

        const ToolRun refused = tool({"format", "--json", clean, lossy});
        QCOMPARE(refused.exitCode, 1);
        const QJsonArray files = jsonOf(refused)["files"].toArray();
        QCOMPARE(files.size(), 2);
        QCOMPARE(files[0]["losses"].toArray().size(), 0);
        QCOMPARE(files[1]["losses"].toArray().size(), 1);
        QCOMPARE(files[0]["written"], QJsonValue(false));
        QCOMPARE(readAll(clean), reindented);
        QCOMPARE(readAll(lossy), commented);

        const ToolRun forced = tool({"format", "--force", clean, lossy});
        QCOMPARE(forced.exitCode, 0);
        QCOMPARE(forced.out, clean + ": scene page written\n" + lossy + ": scene page written\n");
        QCOMPARE(readAll(clean), readAll(example("plant/pages/overview.xml")));
        QCOMPARE(readAll(lossy), readAll(example("plant/pages/pumpstation.xml")));
    }
};

QTEST_GUILESS_MAIN(TestToolFormat)
#include "tst_toolFormat.moc"
