// zadururu diff as a process: records without identity aligned by content,
// renamed pages, typed values, and the git set-up the README gives.

#include "../common/toolProcess.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The Item elements of @p page, each as written, and the bytes around them.
struct Items
{
    QByteArray head;
    QList<QByteArray> items;
    QByteArray tail;

    explicit Items(const QByteArray &page)
    {
        int at = page.indexOf("        <Item>");
        head = page.left(at);
        while (at >= 0 && page.mid(at, 14) == "        <Item>") {
            const int end = page.indexOf("</Item>\n", at) + 8;
            items << page.mid(at, end - at);
            at = end;
        }
        tail = page.mid(at);
    }
    QByteArray page() const { return head + items.join() + tail; }
};

// The example's page with its own texts replaced by @p count, "Text 1" to "Text <count>", after its other items.
QByteArray textPage(int count)
{
    const Items original(readAll(example("plant/pages/tankfarm.xml")));
    Items page = original;
    page.items.clear();
    QByteArray text;
    for (const QByteArray &item : original.items) {
        if (item.contains("<ItemType>TextItem</ItemType>"))
            text = item;
        else
            page.items << item;
    }
    for (int i = 1; i <= count; ++i) {
        QByteArray item = text;
        const int begin = item.indexOf("<![CDATA[", item.indexOf("<ItemText>")) + 9;
        item.replace(begin, item.indexOf("]]>", begin) - begin, "Text " + QByteArray::number(i));
        page.items << item;
    }
    return page.page();
}

} // namespace

class TestToolDiff : public QObject
{
    Q_OBJECT
private slots:
    // Items without identity are matched by their content, not their place.
    void alignment_data()
    {
        QTest::addColumn<int>("texts");  // on the page
        QTest::addColumn<int>("change"); // 0 insert a text, 1 remove one, 2 change one, 3 move one to the end
        QTest::addColumn<int>("at");     // which, from 0
        QTest::addColumn<QStringList>("lines"); // the record lines of the report, in order
        QTest::newRow("inserted first") << 6 << 0 << 0 << QStringList{"  added text 1"};
        QTest::newRow("inserted in the middle") << 6 << 0 << 3 << QStringList{"  added text 4"};
        QTest::newRow("inserted last") << 6 << 0 << 6 << QStringList{"  added text 7"};
        QTest::newRow("removed") << 6 << 1 << 2 << QStringList{"  removed text 3"};
        QTest::newRow("changed") << 6 << 2 << 4 << QStringList{"  changed text 5", "      ItemText: \"Text 5\" -> \"Text 5, changed\""};
        QTest::newRow("moved to the end") << 6 << 3 << 1 << QStringList{"  removed text 2", "  added text 6"};
        // Too many to compare every text with every other: aligned on the texts that occur once.
        QTest::newRow("many, moved to the end") << 2100 << 3 << 1 << QStringList{"  removed text 2", "  added text 2100"};
        QTest::newRow("many, changed") << 2100 << 2 << 1500
                                       << QStringList{"  changed text 1501", "      ItemText: \"Text 1501\" -> \"Text 1501, changed\""};
    }
    void alignment()
    {
        QFETCH(int, texts);
        QFETCH(int, change);
        QFETCH(int, at);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        const QByteArray before = textPage(texts);
        Items after(before);
        const int first = after.items.size() - texts; // the example's other items come first
        const QByteArray text = after.items.last();
        switch (change) {
        case 0:
            after.items.insert(first + at, QByteArray(text).replace("]]></ItemText>", ", inserted]]></ItemText>"));
            break;
        case 1:
            after.items.removeAt(first + at);
            break;
        case 2:
            after.items[first + at].replace("]]></ItemText>", ", changed]]></ItemText>");
            break;
        default:
            after.items.append(after.items.takeAt(first + at));
        }
        QVERIFY(writeAll(dir.filePath("before.xml"), before));
        QVERIFY(writeAll(dir.filePath("after.xml"), after.page()));
        const ToolRun run = tool({"diff", dir.filePath("before.xml"), dir.filePath("after.xml")});
        QCOMPARE(run.exitCode, 1);
        QStringList records = run.out.split('\n').filter(QRegularExpression("^  "));
        QCOMPARE(records, lines);
    }

    // A page renamed on disk shows as renamed; one also changed, as removed and added.
    void renamedPage_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::newRow("renamed only") << false;
        QTest::newRow("renamed and changed") << true;
    }
    void renamedPage()
    {
        QFETCH(bool, changed);
        QTemporaryDir dir;
        const QString project = projectCopy(dir.path(), "plant");
        QByteArray page = readAll(project + "/pages/tankfarm.xml");
        QVERIFY(QFile::remove(project + "/pages/tankfarm.xml"));
        // The page may keep the file name it records or be given its new one.
        page.replace("<fileName>tankfarm.xml</fileName>", "<fileName>tanks.xml</fileName>");
        if (changed)
            page.replace("<pageName>", "<pageName>Renamed ");
        QVERIFY(writeAll(project + "/pages/tanks.xml", page));
        const ToolRun run = tool({"diff", example("plant"), project});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out.contains("pages/tankfarm.xml -> pages/tanks.xml: renamed\n"), !changed);
        QCOMPARE(run.out.contains("pages/tanks.xml: added\n") && run.out.contains("pages/tankfarm.xml: removed\n"), changed);
        const QJsonArray files = jsonOf(tool({"diff", "--json", example("plant"), project}))["files"].toArray();
        QCOMPARE(files.size(), changed ? 2 : 1);
        if (!changed)
            QCOMPARE(files.first().toObject(), (QJsonObject{{"file", "pages/tanks.xml"}, {"change", "renamed"},
                                                            {"from", "pages/tankfarm.xml"}, {"records", QJsonArray()}}));
    }

    // Values keep their type; records are named by reference, old and new.
    void typedValues()
    {
        QTemporaryDir dir;
        QByteArray definitions = readAll(example("plant/definitions.xml"));
        const int tag = definitions.indexOf("<Name><![CDATA[Flow_02]]></Name>");
        QVERIFY(tag > 0);
        const int enabled = definitions.indexOf("<Enabled>1</Enabled>", tag);
        definitions.replace(enabled, 20, "<Enabled>0</Enabled>");
        const int frequency = definitions.indexOf("<LoggingFreq>", tag) + 13;
        definitions.replace(frequency, definitions.indexOf('<', frequency) - frequency, "2.5");
        const int right = definitions.indexOf("<ReadRight1>", tag) + 12;
        definitions.replace(right, definitions.indexOf('<', right) - right, "9007199254740993"); // 2^53 + 1
        QVERIFY(writeAll(dir.filePath("definitions.xml"), definitions));
        const QJsonObject report = jsonOf(tool({"diff", "--json", example("plant/definitions.xml"), dir.filePath("definitions.xml")}));
        const QJsonArray records = report["files"][0]["records"].toArray();
        QCOMPARE(records.size(), 1);
        const QJsonObject change = records.first().toObject();
        QCOMPARE(change["record"].toObject(), (QJsonObject{{"file", dir.filePath("definitions.xml")}, {"kind", "tag"}, {"id", 2}, {"name", "Flow_02"}}));
        QCOMPARE(change["oldRecord"]["file"].toString(), example("plant/definitions.xml"));
        // A whole number a double cannot hold exactly is given as its digits.
        QCOMPARE(change["fields"].toArray(), (QJsonArray{QJsonObject{{"field", "LoggingFreq"}, {"old", 1}, {"new", 2.5}},
                                                         QJsonObject{{"field", "ReadRight1"}, {"old", 0}, {"new", "9007199254740993"}},
                                                         QJsonObject{{"field", "Enabled"}, {"old", true}, {"new", false}}}));
        QCOMPARE(report["recordCount"].toInt(), 1);
    }

    void differentKinds()
    {
        const ToolRun run = tool({"diff", example("plant/pages/overview.xml"), example("plant/definitions.xml")});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("is a scene page and") && run.err.contains("a definitions file: only files of one kind compare"),
                 qPrintable(run.err));
        QCOMPARE(run.out, QString());
    }

    // The README's git set-up, run as it stands on a fresh repository: git
    // diff shows records, and textconv's output is cached for committed files.
    void gitSetUp()
    {
        QTemporaryDir dir;
        const QString project = projectCopy(dir.path(), "plant");
        const auto git = [&project](const QStringList &arguments) {
            QProcess process;
            process.setWorkingDirectory(project);
            process.start("git", QStringList{"-c", "user.name=t", "-c", "user.email=t@t"} + arguments);
            process.waitForFinished(60000);
            return process.exitCode() == 0 ? QString::fromUtf8(process.readAllStandardOutput()) : QString("failed");
        };
        QCOMPARE(git({"init", "-q"}), QString());
        // The set-up lines of the README, with the tool's path for its placeholder.
        const QString readme = QString::fromUtf8(readAll(SOURCE_DIR "/README.md"));
        const QRegularExpression block("\n    # \\.gitattributes.*\n((?:    .*\n|\n)+)");
        const QString setUp = block.match(readme).captured(0);
        QVERIFY2(setUp.contains("cachetextconv"), qPrintable(setUp));
        int commands = 0;
        for (QString line : setUp.split('\n')) {
            line = line.trimmed();
            if (line.startsWith("*.xml")) {
                QVERIFY(writeAll(project + "/.gitattributes", line.toUtf8() + '\n'));
            } else if (line.startsWith("git config ")) {
                line.replace("/path/to/zadururu", ZADURURU_TOOL);
                QStringList words = line.mid(4).split(' ');
                // The value in double quotes is one word.
                const int quoted = line.indexOf('"');
                if (quoted > 0) {
                    words = line.mid(4, quoted - 5).split(' ');
                    words << line.mid(quoted + 1, line.lastIndexOf('"') - quoted - 1);
                }
                QCOMPARE(git(words), QString());
                ++commands;
            }
        }
        QCOMPARE(commands, 2);
        QCOMPARE(git({"add", "."}), QString());
        QCOMPARE(git({"commit", "-qm", "plant"}), QString());
        QCOMPARE(tool({"rename-tag", project, "--id", "10", "--to", "900"}).exitCode, 0);
        QCOMPARE(git({"commit", "-qam", "renamed"}), QString());
        const QStringList lines = git({"diff", "-U0", "HEAD~1", "HEAD"}).split('\n');
        const QStringList changed = lines.filter(QRegularExpression("^[-+](?![-+]{2} )"));
        QCOMPARE(changed.size(), 10); // the tag, a scrolling text, two components and a chart, each - and +
        QVERIFY(changed.contains("-scrolling text 1 TagID=10 ScrollText=\"Raw water level\""));
        QVERIFY(changed.filter(QRegularExpression("^\\+component \"Tank T-201\" \\(Uid 1822\\) .* tagID_label=900 ")).size() == 1);
        // Committed files' records are cached in git's notes.
        QVERIFY(git({"for-each-ref", "refs/notes/textconv/zadururu"}).contains("refs/notes/textconv/zadururu"));
    }
};

QTEST_GUILESS_MAIN(TestToolDiff)
#include "tst_toolDiff.moc"
