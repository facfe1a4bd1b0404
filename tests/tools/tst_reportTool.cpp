// The render and report commands as processes: the formats a picture is
// written in, the images a page names (read only from inside its project),
// the folder a report goes to, and what a report does with hostile names.

#include "../common/toolProcess.h"

#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A page of @p w by @p h naming @p background, with one text item.
QByteArray pageXml(int w, int h, const QString &background, const QString &name = QStringLiteral("Page"))
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ScadaFile><ItemList>"
                          "<Item><ItemType>TextItem</ItemType><ItemText><![CDATA[%4]]></ItemText>"
                          "<ItemPosX>0</ItemPosX><ItemPosY>0</ItemPosY><Width>10</Width><Height>10</Height></Item>"
                          "</ItemList><PageProperties><pageName><![CDATA[%4]]></pageName><pageID>1</pageID>"
                          "<pageBgImage>%3</pageBgImage><pageGeometry W=\"%1\" H=\"%2\"/><ScrollTags/></PageProperties></ScadaFile>\n")
        .arg(w)
        .arg(h)
        .arg(background.toHtmlEscaped(), name)
        .toUtf8();
}

bool writePng(const QString &path, const QColor &colour)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(colour);
    QDir().mkpath(QFileInfo(path).path());
    return image.save(path, "PNG");
}

// Writes @p bytes to @p path, creating the folders on the way.
bool writeIn(const QString &path, const QByteArray &bytes)
{
    return QDir().mkpath(QFileInfo(path).path()) && writeAll(path, bytes);
}

QByteArray allFiles(const QString &folder)
{
    QByteArray all;
    for (const QByteArray &bytes : folderContents(folder))
        all += bytes;
    return all;
}

} // namespace

class TestReportTool : public QObject
{
    Q_OBJECT
private slots:
    // The file name says the format; one Qt cannot write is refused before anything is written.
    void renderFormats_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("magic");
        QTest::newRow("png") << "o.png" << 0 << QByteArray("\x89PNG");
        QTest::newRow("jpeg") << "o.jpg" << 0 << QByteArray("\xFF\xD8\xFF");
        QTest::newRow("jpeg, long suffix, capitals") << "o.JPEG" << 0 << QByteArray("\xFF\xD8\xFF");
        QTest::newRow("svg") << "o.svg" << 0 << QByteArray("<?xml");
        QTest::newRow("bmp") << "o.bmp" << 0 << QByteArray("BM");
        QTest::newRow("unknown") << "o.xyz" << 2 << QByteArray();
        QTest::newRow("no suffix") << "picture" << 2 << QByteArray();
    }
    void renderFormats()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, magic);
        QTemporaryDir dir;
        const QString target = dir.filePath(name);
        const ToolRun run = tool({"render", example("plant/pages/overview.xml"), "-o", target});
        QTEST(run.exitCode, "exitCode");
        if (run.exitCode != 0) {
            QVERIFY2(run.err.contains("cannot write a picture of this kind") && run.err.contains("png"), qPrintable(run.err));
            QVERIFY(!QFile::exists(target));
            return;
        }
        QCOMPARE(readAll(target).left(magic.size()), magic);
        if (!name.endsWith("svg"))
            QCOMPARE(QImage(target).size(), QSize(1280, 800));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name}); // no temporary file left
    }

    void renderJson()
    {
        QTemporaryDir dir;
        const ToolRun run = tool({"render", "--json", example("plant/pages/overview.xml"), "-o", dir.filePath("t.png"),
                                  "--svg", dir.filePath("t.svg")});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject report = jsonOf(run);
        QCOMPARE(report.value("schemaVersion").toInt(), 1);
        QCOMPARE(report.value("command").toString(), QString("render"));
        const QJsonArray files = report.value("files").toArray();
        QCOMPARE(files.size(), 2);
        QCOMPARE(files.at(0).toObject(), (QJsonObject{{"path", dir.filePath("t.png")}, {"format", "png"}, {"width", 1280}, {"height", 800}}));
        QCOMPARE(files.at(1).toObject().value("format").toString(), QString("svg"));
        QCOMPARE(report.value("notes").toArray(), QJsonArray());
    }

    // A definitions file or a library reads as an empty page; render refuses it.
    void renderRefusesOtherFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("root");
        QTest::newRow("definitions") << "plant/definitions.xml" << "CTDefinitions";
        QTest::newRow("library") << "plant/library/objlib.xml" << "scadaObjectTypes";
    }
    void renderRefusesOtherFiles()
    {
        QFETCH(QString, file);
        QTemporaryDir dir;
        const ToolRun run = tool({"render", example(file), "-o", dir.filePath("o.png")});
        QCOMPARE(run.exitCode, 2);
        QFETCH(QString, root);
        QVERIFY2(run.err.contains("not a scene page") && run.err.contains(root), qPrintable(run.err));
        QVERIFY(!QFile::exists(dir.filePath("o.png")));
    }

    // The background image a page names is drawn when it lies inside the
    // project; a name that leads out of it, or a file that is no image, is
    // named in a note and the page is drawn without it.
    void renderBackground_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("note");
        QTest::newRow("in the project") << "images/bg.png" << "";
        QTest::newRow("beside the page") << "beside.png" << "";
        QTest::newRow("absolute, inside") << "@/images/bg.png" << "";
        QTest::newRow("up and out") << "../outside.png" << "lies outside the project folder";
        QTest::newRow("absolute, outside") << "@/../outside.png" << "lies outside the project folder";
        QTest::newRow("link out") << "images/link.png" << "lies outside the project folder";
        QTest::newRow("fifo") << "images/fifo.png" << "not a regular file";
        QTest::newRow("not an image") << "definitions.xml" << "not an image";
        QTest::newRow("missing") << "images/none.png" << "no such file";
    }
    void renderBackground()
    {
        QFETCH(QString, name);
        QFETCH(QString, note);
        QTemporaryDir dir;
        const QString project = dir.filePath("project");
        QVERIFY(writePng(project + "/images/bg.png", Qt::blue));
        QVERIFY(writePng(project + "/pages/beside.png", Qt::blue));
        QVERIFY(writePng(dir.filePath("outside.png"), Qt::blue));
        QVERIFY(QFile::link(dir.filePath("outside.png"), project + "/images/link.png"));
        QCOMPARE(mkfifo(QFile::encodeName(project + "/images/fifo.png").constData(), 0644), 0);
        QVERIFY(writeAll(project + "/definitions.xml", "<CTDefinitions/>"));
        name.replace("@", project);
        QVERIFY(writeAll(project + "/pages/p.xml", pageXml(100, 60, name)));
        const ToolRun run = tool({"render", project + "/pages/p.xml", "-o", dir.filePath("p.png")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err.isEmpty(), note.isEmpty());
        QVERIFY2(run.err.contains(note), qPrintable(run.err));
        const QImage picture(dir.filePath("p.png"));
        QCOMPARE(picture.pixelColor(90, 50), note.isEmpty() ? QColor(Qt::blue) : QColor(Qt::white));
    }

    // A page larger than the largest picture is drawn whole, smaller, and says so.
    void renderLargePage()
    {
        QTemporaryDir dir;
        QVERIFY(writeAll(dir.filePath("big.xml"), pageXml(20000, 100, QString())));
        const ToolRun run = tool({"render", dir.filePath("big.xml"), "-o", dir.filePath("big.png")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains("the page is 20000x100, larger than the largest picture (8192 a side): drawn whole, "
                                  "scaled down to 8192x41"), qPrintable(run.err));
        QCOMPARE(QImage(dir.filePath("big.png")).size(), QSize(8192, 41));
    }

    // Where a report may go: a new or empty folder, or a previous report;
    // anything else is refused and left exactly as it was.
    void reportFolder_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("new") << "" << 0 << "";
        QTest::newRow("empty") << "empty" << 0 << "";
        QTest::newRow("previous report") << "report" << 0 << "holds a previous report; it is replaced";
        QTest::newRow("someone's files") << "files" << 2 << "is not empty and holds no report";
        QTest::newRow("report and a file of someone's") << "report+file" << 2 << "\"notes.txt\", which a report does not write";
        QTest::newRow("a file") << "file" << 2 << "exists and is not a folder";
        QTest::newRow("a link to a folder") << "link" << 2 << "is a symbolic link";
        QTest::newRow("no parent") << "no parent" << 2 << "does not exist";
    }
    void reportFolder()
    {
        QFETCH(QString, setup);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QString out = dir.filePath("out");
        if (setup == "empty")
            QVERIFY(QDir().mkpath(out));
        if (setup.startsWith("report"))
            QCOMPARE(tool({"report", example("plant"), "-o", out}).exitCode, 0);
        if (setup == "report+file" || setup == "files")
            QVERIFY(writeIn(out + "/notes.txt", "mine"));
        if (setup == "file")
            QVERIFY(writeAll(out, "mine"));
        if (setup == "link") {
            QVERIFY(QDir().mkpath(dir.filePath("elsewhere")));
            QVERIFY(QFile::link(dir.filePath("elsewhere"), out));
        }
        if (setup == "no parent")
            out = dir.filePath("none/out");
        const auto before = folderContents(dir.path());
        const ToolRun run = tool({"report", example("plant"), "-o", out});
        QTEST(run.exitCode, "exitCode");
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        // Nothing of a staging folder is left beside it.
        QCOMPARE(QDir(dir.path()).entryList({"*staging*"}, QDir::AllEntries | QDir::Hidden), QStringList());
        if (run.exitCode != 0) {
            QVERIFY(folderContents(dir.path()) == before);
            return;
        }
        QVERIFY(run.out.contains("Open file://"));
        QVERIFY(QFile::exists(out + "/.zadururu-report"));
        for (const QString file : {"index.html", "tags.html", "channels.html", "alarms.html", "library.html",
                                    "findings.html", "pages/overview.html", "pages/overview.svg", "data/tags-0.js",
                                    "assets/report.js", "assets/report.css", "library/images/1-1.png"})
            QVERIFY2(QFileInfo(out + "/" + file).size() > 0, qPrintable(file));
    }

    // Replacing a previous report removes a link in it, never what the link leads to.
    void reportReplacesWithoutFollowingLinks()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath("out");
        QCOMPARE(tool({"report", example("plant"), "-o", out}).exitCode, 0);
        QVERIFY(writeIn(dir.filePath("keep/precious.txt"), "keep me"));
        QVERIFY(QFile::link(dir.filePath("keep"), out + "/pages/keep"));
        QVERIFY(QFile::link(dir.filePath("keep/precious.txt"), out + "/data/tags-0.js.bak"));
        const ToolRun run = tool({"report", example("plant"), "-o", out});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readAll(dir.filePath("keep/precious.txt")), QByteArray("keep me"));
        QVERIFY(!QFileInfo(out + "/pages/keep").isSymLink());
        QVERIFY(!QFileInfo::exists(out + "/data/tags-0.js.bak"));
    }

    // A staging folder left by a killed run is removed by the next one; one
    // of a run still going is not.
    void reportRemovesLeftStaging()
    {
        QTemporaryDir dir;
        const QString dead = dir.filePath(".out.report-staging-999999999");
        const QString living = dir.filePath(QStringLiteral(".out.report-staging-%1").arg(getpid()));
        QVERIFY(writeIn(dead + "/index.html", "half"));
        QVERIFY(writeIn(living + "/index.html", "half"));
        QCOMPARE(tool({"report", example("plant"), "-o", dir.filePath("out")}).exitCode, 0);
        QVERIFY(!QFileInfo::exists(dead));
        QVERIFY(QFileInfo::exists(living));
    }

    // The counts, links and findings of the overview, and a page's items.
    void reportContent()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath("out");
        const ToolRun run = tool({"report", example("broken"), "-o", out});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains("pages/half-download.xml: not well-formed XML"), qPrintable(run.err));
        const QString index = QString::fromUtf8(readAll(out + "/index.html"));
        for (const QString expected :
             {"<strong>3</strong> pages", "<strong>4</strong> ids used but not defined", "<strong>15</strong> findings", // 14 errors, a warning
              "<a href=\"pages/tankfarm.html\">", "tag 58 bound as tagID_label is not defined",
              "<h3>pages/half-download.xml <span class=\"n\">1</span></h3>"})
            QVERIFY2(index.contains(expected), qPrintable(expected));
        const QString tankfarm = QString::fromUtf8(readAll(out + "/pages/tankfarm.html"));
        QVERIFY(tankfarm.contains("<tr id=\"component-"));
        QVERIFY(tankfarm.contains("<a href=\"../tags.html#tag-58\">58 (not defined)</a>"));
        const QString tags = QString::fromUtf8(readAll(out + "/data/tags-0.js"));
        QCOMPARE(tags.count(QRegularExpression("^\\[", QRegularExpression::MultilineOption)), 56 + 4); // the tags (one id twice), then the ids bound but not defined
        QVERIFY(tags.contains("\"not defined\"]"));
    }

    // Names, texts and macros are shown as text, in the HTML, the data and the SVG.
    void reportEscapes()
    {
        QTemporaryDir dir;
        const QString project = projectCopy(dir.path(), "plant");
        const QString hostile = "<script>alert(1)</script>";
        QByteArray definitions = readAll(project + "/definitions.xml");
        QVERIFY(definitions.contains("<![CDATA[Pump_10]]>"));
        definitions.replace("<![CDATA[Pump_10]]>", "<![CDATA[" + hostile.toUtf8() + "]]>");
        QVERIFY(writeAll(project + "/definitions.xml", definitions));
        QVERIFY(writeAll(project + "/pages/z\"><img src=x onerror=alert(2)>.xml",
                         pageXml(200, 100, QString(), "</title><script>alert(3)</script>&amp;")));
        const QString out = dir.filePath("out");
        const ToolRun run = tool({"report", project, "-o", out});
        QCOMPARE(run.exitCode, 0);
        const QByteArray all = allFiles(out);
        QVERIFY(!all.contains("<script>alert"));
        QVERIFY(!all.contains("<img src=x"));
        QVERIFY(all.contains("&lt;script&gt;alert(1)&lt;/script&gt;"));
        QVERIFY(readAll(out + "/data/tags-0.js").contains("\\u003cscript\\u003ealert(1)\\u003c/script\\u003e"));
        // The page's file name is made safe; its SVG is well-formed and holds the name as text.
        const QStringList pages = QDir(out + "/pages").entryList({"z*.svg"});
        QCOMPARE(pages, QStringList{"z___img_src_x_onerror_alert_2__.svg"});
        QXmlStreamReader svg(readAll(out + "/pages/" + pages.first()));
        QString text;
        while (!svg.atEnd())
            if (svg.readNext() == QXmlStreamReader::Characters)
                text += svg.text();
        QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
        QVERIFY(text.contains("</title><script>alert(3)</script>&amp;"));
    }
};

QTEST_GUILESS_MAIN(TestReportTool)
#include "tst_reportTool.moc"
