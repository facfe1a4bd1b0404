#include "../common/files.h"
#include "../common/heap.h"
#include "../common/killedSave.h"
#include "../common/sanitizers.h"
#include "../common/sceneRecords.h"

#include <zadururu/scene/sceneLoad_p.h>
#include <zadururu/scene/sceneParts_p.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <type_traits>

// The scene file frame: parsing, page properties and the bytes a save writes.
// Runs without a GUI application, as a host without one would.

// The reader of one page owns what it has read so far.
static_assert(!std::is_copy_constructible<SceneXml::SceneParts>::value && !std::is_copy_assignable<SceneXml::SceneParts>::value,
              "a page's reader is not copied");

namespace {

struct FileDeleter
{
    static void cleanup(ScaFileData *file) { destroyScaFileData(file); }
};
using FilePtr = QScopedPointer<ScaFileData, FileDeleter>;

ScaFileData *load(const QByteArray &data, const QString &fileName = QString())
{
    return ScaFileProcessor::loadFileData(data, fileName);
}

QByteArray testData(const char *name) { return readAll(QFINDTESTDATA(QString("testdata/") + name)); }


// What a page without properties reads as.
const QString pageDefaults = "pageName=|fileName=|relativePath=|pageID=-1|pageAux=-1|W=250|H=150|pageBgImage=|pageIcon=|"
                             "pageType=0|customPageSize=0|addScrollingText=0|pageAccessRights=0|pageAccessRights2=0|"
                             "scaleToWindow=0|ScrollTags=[]";

// What loadSceneData gives where loadFileData gives @p page.
QString withoutScrollTags(const QString &page) { return page.section("|ScrollTags=", 0, 0) + "|ScrollTags=[]"; }

/// The bytes saving testdata/@p name to @p path must give.
QString savedAs(const char *name, const QString &path) { return QString::fromUtf8(testData(name)).replace("@PATH@", path); }

void addInstances(ScaFileData *file, int count, int textLength)
{
    for (int i = 0; i < count; ++i) {
        file->scadaObjects << new ScadaObjectLoadData_t;
        file->scadaObjects.last()->common = new ItemCommonData_t;
        file->scadaObjects.last()->MacroText = QString(textLength, QChar('a' + i % 26));
    }
}

} // namespace

class tst_ScaFileProcessor : public QObject
{
    Q_OBJECT

private slots:
    // The reader the library loads with against the document tree, on the
    // corpus, the examples, and what is odd about the tree's rules.
    void sameAsDocumentTree_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("loads"); // -1: as the document tree decides
        for (const QString &folder : QString(ZADURURU_SCENE_INPUTS).split('|'))
            for (const QFileInfo &file : QDir(folder).entryInfoList({"*.xml"}, QDir::Files))
                QTest::newRow(qPrintable(QDir(folder).dirName() + '/' + file.fileName())) << readAll(file.filePath()) << -1;
        const auto page = [](const QByteArray &items, const QByteArray &properties = "<pageName>p</pageName>") {
            return "<ScadaFile><ItemList>" + items + "</ItemList><PageProperties>" + properties + "</PageProperties></ScadaFile>";
        };
        const QByteArray object = "<Item><ItemType>ScadaObject</ItemType><Geometry X=\"1.9\" Y=\"-2.5\" W=\"3\"/>"
                                  "<Properties Name=\"n\" Uid=\"7\"/><TagIDs tagID_label=\"4\" tagID_cusProp7=\"x\"/>";
        QTest::newRow("whitespace dropped, also beyond ASCII") << page(object + "<labelText> \xc2\xa0\xe3\x80\x80</labelText><MacroText>\n</MacroText><Tooltip> a </Tooltip></Item>") << 1;
        QTest::newRow("CDATA keeps whitespace, joined with text") << page(object + "<labelText> <![CDATA[ ]]> x<![CDATA[y]]></labelText></Item>") << 1;
        QTest::newRow("text of nested elements") << page(object + "<labelText>a<b>b<c>c</c></b> <d/>d</labelText></Item>") << 1;
        QTest::newRow("first of a name wins") << page(object + "<lofx>3</lofx><lofx>4</lofx><Geometry X=\"9\"/></Item>") << 1;
        QTest::newRow("children in any order") << page("<Item><lofy>2</lofy><TagIDs tagID_image=\"1\"/><ItemType>ScadaObject</ItemType><Properties Uid=\"3\"/></Item>") << 1;
        QTest::newRow("item without a kind, unknown kind") << page("<Item><lofx>5</lofx></Item><Item><ItemType>Sprite</ItemType></Item><Item><ItemType/></Item>") << 1;
        QTest::newRow("every kind, odd values") << page(
            "<Item><ItemType>TextItem</ItemType><ItemText>&lt;b&gt;</ItemText><ItemPosX>1e3</ItemPosX><TextPixelSize>-1</TextPixelSize><TextSize>9</TextSize><Width>5</Width><Height>x</Height><Properties GZVAL=\"7\"/></Item>"
            "<Item><ItemType>TextItem</ItemType><Width/><Height/><GZVal>2</GZVal><Properties GZVAL=\"7\"/></Item>"
            "<Item><ItemType>ScheduleItem</ItemType><TagIDs><Tag>1</Tag><Other>2</Other><Tag> 3 </Tag></TagIDs></Item>"
            "<Item><ItemType>RTChartItem</ItemType><TagIDs><Tag>4</Tag><TagData Tag=\"5\" LineColor=\"\"/></TagIDs><ShowLegend>0</ShowLegend></Item>"
            "<Item><ItemType>DbqTextItem</ItemType><bgColor/><reportTag>12abc</reportTag></Item>"
            "<Item><ItemType>TableItem</ItemType><TableData><Row><CellText>a</CellText><CellText/></Row><ColumnGroup><Column/><Column width=\"-3\"/></ColumnGroup></TableData></Item>")
            << 1;
        QTest::newRow("attribute given twice: the last holds") << page(object + "</Item><Item><Geometry X=\"1\" X=\"2\"/></Item>") << 1;
        QTest::newRow("references in values and text") << page("<Item><Properties Name=\"a&amp;b&#10;&#x9;c&quot;\"/><labelText>&#65;&lt;</labelText></Item>") << 1;
        QTest::newRow("internal entities") << "<!DOCTYPE s [<!ENTITY i \"<Item><lofx>8</lofx></Item>\"><!ENTITY t \"x<b>y</b>\">]>" + page("&i;<Item><labelText>&t;!</labelText></Item>") << 1;
        QTest::newRow("undeclared entity") << page("<Item><labelText>a&nope;b</labelText></Item>") << 1;
        QTest::newRow("comments and instructions") << page("<Item><!--c--><lofx><?p x?>1<!--c-->2</lofx></Item>") << 1;
        QTest::newRow("Latin-1 declared") << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + page("<Item><labelText>\xe9</labelText></Item>") << 1;
        const QString utf16 = QStringLiteral("\uFEFF<ScadaFile><PageProperties><pageName>\u20AC</pageName></PageProperties></ScadaFile>");
        QTest::newRow("UTF-16 with BOM") << QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2) << 1;
        QTest::newRow("second item list and page ignored") << "<ScadaFile><PageProperties><pageID>4</pageID></PageProperties><ItemList>" + object
            + "</Item></ItemList><ItemList>" + object + "</Item></ItemList><PageProperties><pageID>5</pageID></PageProperties></ScadaFile>" << 1;
        QTest::newRow("items elsewhere ignored") << "<ScadaFile><Other>" + object + "</Item></Other><ItemList><Group>" + object + "</Item></Group></ItemList></ScadaFile>" << 1;
        QTest::newRow("no page properties") << QByteArray("<ScadaFile><ItemList/></ScadaFile>") << 1;
        QTest::newRow("scrolling texts") << page("", "<ScrollTags><Tag TagID=\"3\"/><Tag ScrollText=\"\"/><Tag TagID=\"x\" ScrollText=\"&quot;\"/></ScrollTags><pageGeometry W=\"\"/>") << 1;
        QTest::newRow("plain, then a comment after the items") << page(object + "</Item>") + "<!--c-->" << 1;
        QTest::newRow("plain, then a carriage return") << page(object + "</Item>", "<pageName>a\r\nb</pageName>") << 1;
        QTest::newRow("cut after an item") << page(object + "</Item>").left(120) << 0;
        QTest::newRow("mismatched end after an item") << page(object + "</Item><Item></Itme>") << 0;
        QTest::newRow("text after the root") << page("") + "x" << 0;
        QTest::newRow("nested past the limit") << page("<Item>" + QByteArray("<a>").repeated(300) + QByteArray("</a>").repeated(300) + "</Item>") << 0;
        QTest::newRow("empty") << QByteArray() << 0;
    }
    void sameAsDocumentTree()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, loads);
        for (const QString &fileName : {QString(), QStringLiteral("given.xml")}) {
            const FilePtr loaded(load(bytes, fileName));
            const FilePtr reference(ZadUruru::readSceneThroughDom(bytes, fileName));
            QCOMPARE(!loaded.isNull(), !reference.isNull());
            if (loads >= 0)
                QCOMPARE(!loaded.isNull(), loads == 1);
            if (loaded)
                QCOMPARE(sceneRecords(*loaded), sceneRecords(*reference));
        }
        const QScopedPointer<PagePropertiesData_t> page(ScaFileProcessor::loadSceneData(bytes));
        const QScopedPointer<PagePropertiesData_t> pageReference(ZadUruru::readScenePropertiesThroughDom(bytes));
        QCOMPARE(!page.isNull(), !pageReference.isNull());
        if (loads >= 0)
            QCOMPARE(!page.isNull(), loads == 1);
        if (page)
            QCOMPARE(fields(*page), fields(*pageReference));
    }


    void notWellFormed();
    void everyItemFreed_data();
    void everyItemFreed();
    void pageProperties_data();
    void pageProperties();
    void fileNameArgument();
    void savedBytes();
    void unwritableCharacters();
    void textItemWithoutGui();
    void saveFailures();
    void writeErrorKeepsOldFile();
    void killedSaveKeepsWholeFile();
};

void tst_ScaFileProcessor::notWellFormed()
{
    for (const char *data : {"", "   \n", "<ScadaFile><ItemList><Item>", "<ScadaFile></Scadafile>", "<a/><b/>"}) {
        QVERIFY2(!load(data), data);
        QVERIFY2(!ScaFileProcessor::loadSceneData(data), data);
    }
}

// Destroying a page frees the items of every kind, and a page refused or read
// again by the parser frees what was read before. (Under the sanitizers,
// LeakSanitizer reports such a leak.)
void tst_ScaFileProcessor::everyItemFreed_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<bool>("loads");
    const auto items = [](const QByteArray &kind, int count) {
        return ("<Item><ItemType>" + kind + "</ItemType><Width>5</Width><Height>5</Height></Item>").repeated(count);
    };
    QByteArray all;
    for (const char *kind : {"ScadaObject", "TextItem", "ScheduleItem", "RTChartItem", "DbqTextItem", "TableItem"}) {
        QTest::newRow(kind) << "<ScadaFile><ItemList>" + items(kind, 2000) + "</ItemList></ScadaFile>" << true;
        all += items(kind, 200);
    }
    QTest::newRow("refused after the items") << "<ScadaFile><ItemList>" + all + "</ItemList>" << false;
    QTest::newRow("read again after the items") << "<ScadaFile><ItemList>" + all + "</ItemList><!-- --></ScadaFile>" << true;
}

void tst_ScaFileProcessor::everyItemFreed()
{
    if (underAddressSanitizer)
        QSKIP("LeakSanitizer checks this");
    QFETCH(QByteArray, page);
    QFETCH(bool, loads);
    const qint64 growth = heapGrowth([&] {
        ScaFileData *file = load(page);
        QCOMPARE(bool(file), loads);
        destroyScaFileData(file);
    });
    QVERIFY2(growth < page.size(), qPrintable(QString("30 loads kept %1 bytes").arg(growth)));
}

void tst_ScaFileProcessor::pageProperties_data()
{
    QTest::addColumn<QByteArray>("properties");
    QTest::addColumn<QString>("changes"); // from the defaults

    QTest::newRow("none") << QByteArray() << QString();
    QTest::newRow("empty elements") << QByteArray("<pageName/><fileName/><relativePath/><pageID/><pageType/>"
                                                  "<customPageSize/><addScrollingText/><scaleToWindow/><pageBgImage/>"
                                                  "<pageIcon/><pageAccessRights/><pageAccessRights2/><pageGeometry/>"
                                                  "<ScrollTags/>")
                                    << "pageID=0";
    QTest::newRow("not numbers") << QByteArray("<pageID>abc</pageID><pageType>2x</pageType><scaleToWindow>-</scaleToWindow>"
                                               "<pageGeometry W='wide' H=''/><pageAccessRights>9223372036854775808"
                                               "</pageAccessRights><pageAccessRights2>1a</pageAccessRights2>")
                                 << "pageID=0|W=0|H=0";
    QTest::newRow("flags apart") << QByteArray("<customPageSize>0</customPageSize><addScrollingText>-2</addScrollingText>")
                                 << "addScrollingText=1";
    QTest::newRow("geometry W only") << QByteArray("<pageGeometry W='800'/>") << "W=800";
    QTest::newRow("scroll tag defaults") << QByteArray("<ScrollTags><Tag/><Tag TagID='x' ScrollText=''/></ScrollTags>")
                                         << "ScrollTags=[0:Text,0:]";
}

void tst_ScaFileProcessor::pageProperties()
{
    QFETCH(QByteArray, properties);
    QFETCH(QString, changes);
    const QString want = withChanges(pageDefaults, changes);
    const QByteArray data = properties.isNull() ? "<ScadaFile/>"
                                                : "<ScadaFile><PageProperties>" + properties + "</PageProperties></ScadaFile>";
    FilePtr file(load(data));
    QVERIFY(file);
    QCOMPARE(fields(file->pageProperties), want);
    QScopedPointer<PagePropertiesData_t> scene(ScaFileProcessor::loadSceneData(data));
    QCOMPARE(fields(*scene), withoutScrollTags(want));
    // The properties of a page the host creates differ only in their size.
    QCOMPARE(fields(PagePropertiesData_t()), withChanges(pageDefaults, "W=-1|H=-1"));
    QVERIFY(!PagePropertiesData_t().hostSlot && ScrollingText().TagID == 0);
}

void tst_ScaFileProcessor::fileNameArgument()
{
    const QByteArray data = testData("mixed.xml");
    FilePtr fromFile(load(data));
    QVERIFY(fromFile);
    QCOMPARE(fromFile->pageProperties.fileName, QStringLiteral("old-name.xml"));
    QScopedPointer<PagePropertiesData_t> scene(ScaFileProcessor::loadSceneData(data));
    QCOMPARE(fields(*scene), withoutScrollTags(fields(fromFile->pageProperties)));

    FilePtr empty(load(data, QStringLiteral("")));
    QVERIFY(!empty->pageProperties.fileName.isNull() && empty->pageProperties.fileName.isEmpty());
    FilePtr given(load(data, QStringLiteral("given.xml")));
    QCOMPARE(given->pageProperties.fileName, QStringLiteral("given.xml"));
}

// The exact bytes: declaration, four-space indentation, CDATA where texts go,
// items grouped by kind, the path as the file name, and the document's end.
void tst_ScaFileProcessor::savedBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("pumps.xml");
    FilePtr file(load(testData("mixed.xml")));
    QVERIFY(file);
    QCOMPARE(file->labelTagIds, (QList<int>{2, 99}));
    file->pageProperties.pageAux = 5;
    QVERIFY(ScaFileProcessor::saveFileData(file.data(), path));
    QCOMPARE(QString::fromUtf8(readAll(path)), savedAs("mixed-saved.xml", path));

    // What was saved reads back to the same file, the text item's group Z value included.
    FilePtr back(load(readAll(path)));
    QCOMPARE(back->pageProperties.pageAux, -1);
    QCOMPARE(back->textItems.first()->common->GZVAL, 86);
    QVERIFY(ScaFileProcessor::saveFileData(back.data(), path));
    QCOMPARE(QString::fromUtf8(readAll(path)), savedAs("mixed-saved.xml", path));

    FilePtr bare(load("<ScadaFile/>"));
    QVERIFY(ScaFileProcessor::saveFileData(bare.data(), path));
    QCOMPARE(QString::fromUtf8(readAll(path)), savedAs("bare-saved.xml", path));
}

// Characters XML cannot hold are left out rather than failing the save.
void tst_ScaFileProcessor::unwritableCharacters()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.xml");
    const QString pair = QString::fromUcs4(U"\U0001F600");
    ScaFileData file;
    file.pageProperties.pageName = QString("a\x01 b\tc") + QChar(0xFFFE) + QChar(0xFFFD) + QChar(0xD800) + "d" + pair
                                   + QChar(0xDC00) + "e\x1F" + QChar(0xD83D);
    file.pageProperties.ScrollTags << ScrollingText{1, QString("x\x02y\nz") + pair};
    // A string without a terminator ends in half a pair, whatever lies past it.
    const QChar halves[] = {QLatin1Char('h'), pair.at(0), pair.at(1)};
    file.pageProperties.ScrollTags << ScrollingText{2, QString::fromRawData(halves, 2)};
    const QChar plain[] = {QLatin1Char('p'), QLatin1Char('q'), QLatin1Char('r')};
    file.pageProperties.ScrollTags << ScrollingText{3, QString::fromRawData(plain, 2)};
    addInstances(&file, 1, 0);
    file.scadaObjects.first()->MacroText = QString("m\x0Bn\ro");
    QVERIFY(ScaFileProcessor::saveFileData(&file, path));
    const QString saved = QString::fromUtf8(readAll(path));
    QVERIFY2(saved.contains("<pageName>a b\tc" + QString(QChar(0xFFFD)) + "d" + pair + "e</pageName>"), qPrintable(saved));
    QVERIFY(saved.contains("ScrollText=\"xy&#10;z" + pair + '"'));
    QVERIFY(saved.contains("ScrollText=\"h\""));
    QVERIFY(saved.contains("ScrollText=\"pq\""));
    QVERIFY(saved.contains("<MacroText><![CDATA[mn\ro]]></MacroText>"));
    file.erase();
}

void tst_ScaFileProcessor::textItemWithoutGui()
{
    QTest::ignoreMessage(QtWarningMsg, "ScaFileProcessor: no GUI application to measure a text item; its missing size is 0");
    FilePtr file(load("<ScadaFile><ItemList><Item><ItemType>TextItem</ItemType><ItemText>abc</ItemText>"
                      "</Item></ItemList></ScadaFile>"));
    QCOMPARE(file->textItems.size(), 1);
    QCOMPARE(QSize(file->textItems.first()->common->W, file->textItems.first()->common->H), QSize(0, 0));
}

void tst_ScaFileProcessor::saveFailures()
{
    QTemporaryDir dir;
    ScaFileData file;
    QVERIFY(!ScaFileProcessor::saveFileData(&file, dir.filePath("missing/page.xml")));
    QVERIFY(!ScaFileProcessor::saveFileData(&file, dir.path())); // a directory
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    // A target that is not a regular file, which a reader may be waiting on, is not replaced.
    const QString pipe = dir.filePath("pipe.xml");
    QCOMPARE(mkfifo(QFile::encodeName(pipe), 0600), 0);
    QVERIFY(!ScaFileProcessor::saveFileData(&file, pipe));
    QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System), QStringList{"pipe.xml"});
}

// A save that fails while writing (here: the file-size limit) reports it and keeps the old file.
void tst_ScaFileProcessor::writeErrorKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.xml");
    FilePtr file(load(testData("mixed.xml")));
    QVERIFY(ScaFileProcessor::saveFileData(file.data(), path));
    const QByteArray old = readAll(path);
    addInstances(file.data(), 200, 10);
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(old.size() + 4096), rlim_t(old.size() + 4096)};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(ScaFileProcessor::saveFileData(file.data(), path) ? 1 : 0);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0); // the save reported failure
    QCOMPARE(readAll(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"big.xml"});
}

// A save killed at any moment leaves the target whole: the old content or the new;
// a completed one leaves no temporary file.
void tst_ScaFileProcessor::killedSaveKeepsWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("page.xml");
    FilePtr small(load(testData("mixed.xml"))), large(load(testData("mixed.xml")));
    addInstances(large.data(), 3000, 200);
    QCOMPARE(killedSaveProblem(path, [&] { return ScaFileProcessor::saveFileData(large.data(), path); },
                               [&] { return ScaFileProcessor::saveFileData(small.data(), path); }, 500000),
             QString());
    // A file of many write pieces reads back as the page that was saved.
    QVERIFY(ScaFileProcessor::saveFileData(large.data(), path));
    const FilePtr reread(load(readAll(path)));
    QVERIFY(reread);
    QCOMPARE(reread->scadaObjects.size(), large->scadaObjects.size());
    for (int i = 0; i < large->scadaObjects.size(); ++i)
        QCOMPARE(reread->scadaObjects.at(i)->MacroText, large->scadaObjects.at(i)->MacroText);
}

QTEST_GUILESS_MAIN(tst_ScaFileProcessor)
#include "tst_scafileprocessor.moc"
