#include "../common/files.h"
#include "../common/killedSave.h"

#include <zadururu/scene/blockLoadData.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QDomDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray page(const QByteArray &items, const QByteArray &properties = QByteArray())
{
    return "<ScadaFile><ItemList>" + items + "</ItemList>" + properties + "</ScadaFile>";
}

QByteArray item(const QByteArray &content)
{
    return "<Item>" + content + "</Item>";
}



struct FileDeleter
{
    static void cleanup(ScaFileData *file) { destroyScaFileData(file); }
};
using FilePtr = QScopedPointer<ScaFileData, FileDeleter>;

} // namespace

class tst_ScaFileProcessor : public QObject
{
    Q_OBJECT

private slots:
    void notWellFormed_data();
    void notWellFormed();
    void kindDispatch_data();
    void kindDispatch();
    void componentDefaults();
    void commonGeometry_data();
    void commonGeometry();
    void componentValues_data();
    void componentValues();
    void pageProperties_data();
    void pageProperties();
    void fileNameArgument();
    void loadSceneData();
    void writtenBytes();
    void roundTrip();
    void kindGrouping();
    void saveFailures();
    void writeErrorKeepsOldFile();
    void killedSaveKeepsWholeFile();
    void blockAccess();
};

void tst_ScaFileProcessor::notWellFormed_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("blank") << QByteArray("   \n");
    QTest::newRow("truncated") << QByteArray("<ScadaFile><ItemList><Item>");
    QTest::newRow("mismatched") << QByteArray("<ScadaFile></Scadafile>");
    QTest::newRow("two roots") << QByteArray("<a/><b/>");
    QTest::newRow("text only") << QByteArray("hello");
}

void tst_ScaFileProcessor::notWellFormed()
{
    QFETCH(QByteArray, data);
    QCOMPARE(ScaFileProcessor::loadFileData(data, QString()), nullptr);
    QCOMPARE(ScaFileProcessor::loadSceneData(data), nullptr);
}

void tst_ScaFileProcessor::kindDispatch_data()
{
    QTest::addColumn<QByteArray>("items");
    QTest::addColumn<QList<int>>("uids"); // component instances read, in order

    const QByteArray a = "<Properties Uid=\"1\"/>", b = "<Properties Uid=\"2\"/>";
    QTest::newRow("no ItemType") << item(a) << QList<int>{1};
    QTest::newRow("ScadaObject") << item("<ItemType>ScadaObject</ItemType>" + a) << QList<int>{1};
    QTest::newRow("case differs") << item("<ItemType>scadaobject</ItemType>" + a) + item(b) << QList<int>{2};
    QTest::newRow("blanks around") << item("<ItemType> ScadaObject </ItemType>" + a) + item(b) << QList<int>{2};
    QTest::newRow("unknown kind") << item("<ItemType>Gauge</ItemType>" + a) + item(b) << QList<int>{2};
    QTest::newRow("other elements skipped") << "<Thing/>" + item(a) + "<Other/>" + item(b) << QList<int>{1, 2};
    QTest::newRow("CDATA kind") << item("<ItemType><![CDATA[ScadaObject]]></ItemType>" + a) << QList<int>{1};
}

void tst_ScaFileProcessor::kindDispatch()
{
    QFETCH(QByteArray, items);
    QFETCH(QList<int>, uids);
    ScaFileData *file = ScaFileProcessor::loadFileData(page(items), QString());
    QVERIFY(file);
    QList<int> read;
    for (auto *o : file->scadaObjects)
        read << o->Uid;
    QCOMPARE(read, uids);
    destroyScaFileData(file);
}

void tst_ScaFileProcessor::componentDefaults()
{
    ScaFileData *file = ScaFileProcessor::loadFileData(page(item("<ItemType>ScadaObject</ItemType>")), QString());
    QVERIFY(file);
    QCOMPARE(file->scadaObjects.size(), 1);
    const ScadaObjectLoadData_t *o = file->scadaObjects.first();
    QVERIFY(o->common);
    const int bindings[] = {o->tagID_image, o->tagID_label, o->tagID_posx, o->tagID_posy, o->tagID_width,
                            o->tagID_height, o->tagID_rotAng, o->tagID_txtColor, o->tagID_maskColor,
                            o->tagID_maskOpac, o->tagID_cusProp1, o->tagID_cusProp2, o->tagID_cusProp3,
                            o->tagID_cusProp4, o->tagID_cusProp5, o->tagID_cusProp6, o->tagID_cusProp7,
                            o->tagID_eventTarget};
    for (int b : bindings)
        QCOMPARE(b, -1);
    QCOMPARE(o->highLimit, 100.0f);
    QCOMPARE(o->lowLimit, 0.0f);
    QCOMPARE(o->weblinkActive, false);
    QCOMPARE(o->limitsActive, false);
    // The reader replaces the construction patterns with the (absent) texts.
    QCOMPARE(o->labelText, QString());
    QCOMPARE(o->labelStyleSheet, QString());
    QCOMPARE(o->common->itemTypeCode, 1);
    QCOMPARE(o->common->X, 0);
    QCOMPARE(o->common->GroupId, quint64(0));
    QCOMPARE(o->common->Name, QString());
    QCOMPARE(file->labelTagIds, QList<int>{-1});
    destroyScaFileData(file);

    const ScadaObjectLoadData_t fresh;
    QCOMPARE(fresh.labelText, QStringLiteral("%.3f"));
    QCOMPARE(fresh.labelStyleSheet, QStringLiteral("font: 22px \"Arial\";"));
}

void tst_ScaFileProcessor::commonGeometry_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("field");
    QTest::addColumn<qulonglong>("expected");

    QTest::newRow("X fraction cut") << QByteArray("<Geometry X=\"12.7\"/>") << "X" << 12ull;
    QTest::newRow("X -0.5 is 0") << QByteArray("<Geometry X=\"-0.5\"/>") << "X" << 0ull;
    QTest::newRow("Y -3.9") << QByteArray("<Geometry Y=\"-3.9\"/>") << "Y" << qulonglong(-3);
    QTest::newRow("X exponent") << QByteArray("<Geometry X=\"1.5e3\"/>") << "X" << 1500ull;
    QTest::newRow("X largest that fits") << QByteArray("<Geometry X=\"2147483520\"/>") << "X" << 2147483520ull;
    QTest::newRow("X beyond int") << QByteArray("<Geometry X=\"2147483648\"/>") << "X" << 0ull;
    QTest::newRow("Y int minimum") << QByteArray("<Geometry Y=\"-2147483648\"/>") << "Y"
                                   << qulonglong(qlonglong(INT_MIN));
    QTest::newRow("Y below int") << QByteArray("<Geometry Y=\"-3e9\"/>") << "Y" << 0ull;
    QTest::newRow("X beyond float") << QByteArray("<Geometry X=\"1e39\"/>") << "X" << 0ull;
    QTest::newRow("X inf") << QByteArray("<Geometry X=\"inf\"/>") << "X" << 0ull;
    QTest::newRow("X nan") << QByteArray("<Geometry X=\"nan\"/>") << "X" << 0ull;
    QTest::newRow("W fraction is 0") << QByteArray("<Geometry W=\"12.5\"/>") << "W" << 0ull;
    QTest::newRow("H plain") << QByteArray("<Geometry H=\"40\"/>") << "H" << 40ull;
    QTest::newRow("Rot junk") << QByteArray("<Geometry Rot=\"9x\"/>") << "Rot" << 0ull;
    QTest::newRow("HFlip 2") << QByteArray("<Geometry HFlip=\"2\"/>") << "HFlip" << 1ull;
    QTest::newRow("VFlip absent") << QByteArray("<Geometry/>") << "VFlip" << 0ull;
    QTest::newRow("GroupId max") << QByteArray("<Properties GroupId=\"18446744073709551615\"/>") << "GroupId"
                                 << 18446744073709551615ull;
    QTest::newRow("GroupId negative") << QByteArray("<Properties GroupId=\"-1\"/>") << "GroupId" << 0ull;
    QTest::newRow("GroupId overflow") << QByteArray("<Properties GroupId=\"18446744073709551616\"/>")
                                      << "GroupId" << 0ull;
}

void tst_ScaFileProcessor::commonGeometry()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, field);
    QFETCH(qulonglong, expected);
    ScaFileData *file = ScaFileProcessor::loadFileData(page(item(content)), QString());
    QVERIFY(file && file->scadaObjects.size() == 1);
    const ItemCommonData_t *c = file->scadaObjects.first()->common;
    const QHash<QString, qulonglong> fields{
        {"X", qulonglong(c->X)}, {"Y", qulonglong(c->Y)}, {"W", qulonglong(c->W)}, {"H", qulonglong(c->H)},
        {"Rot", qulonglong(c->Rot)}, {"HFlip", c->HFlip}, {"VFlip", c->VFlip}, {"GroupId", c->GroupId}};
    QCOMPARE(fields.value(field), expected);
    destroyScaFileData(file);
}

void tst_ScaFileProcessor::componentValues_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty highLimit is 0") << QByteArray("<highLimit/>") << "highLimit" << "0";
    QTest::newRow("empty lowLimit is 0") << QByteArray("<lowLimit></lowLimit>") << "lowLimit" << "0";
    QTest::newRow("highLimit value") << QByteArray("<highLimit>250.5</highLimit>") << "highLimit" << "250.5";
    QTest::newRow("weblinkActive 2") << QByteArray("<weblinkActive>2</weblinkActive>") << "weblinkActive" << "1";
    QTest::newRow("empty weblinkActive") << QByteArray("<weblinkActive/>") << "weblinkActive" << "0";
    QTest::newRow("Uid 12abc") << QByteArray("<Properties Uid=\"12abc\"/>") << "Uid" << "0";
    QTest::newRow("Uid value") << QByteArray("<Properties Uid=\"4711\" Type=\"3\"/>") << "Uid" << "4711";
    QTest::newRow("tag label") << QByteArray("<TagIDs tagID_label=\"17\"/>") << "tagID_label" << "17";
    QTest::newRow("tag junk") << QByteArray("<TagIDs tagID_cusProp7=\"x\"/>") << "tagID_cusProp7" << "0";
    QTest::newRow("MacroText CDATA blanks") << QByteArray("<MacroText><![CDATA[  a\n b ]]></MacroText>")
                                            << "MacroText" << "  a\n b ";
    QTest::newRow("whitespace-only text dropped") << QByteArray("<Tooltip>   </Tooltip>") << "Tooltip" << "";
    QTest::newRow("split CDATA joined") << QByteArray("<MacroText><![CDATA[a]]]]><![CDATA[>b]]></MacroText>")
                                        << "MacroText" << "a]]>b";
    QTest::newRow("lofx") << QByteArray("<lofx>-7</lofx>") << "lofx" << "-7";
    QTest::newRow("componentUid") << QByteArray("<componentUid>pump</componentUid>") << "componentUid" << "pump";
    QTest::newRow("first of two") << QByteArray("<userConst1>1</userConst1><userConst1>2</userConst1>")
                                  << "userConst1" << "1";
}

void tst_ScaFileProcessor::componentValues()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    ScaFileData *file = ScaFileProcessor::loadFileData(page(item(content)), QString());
    QVERIFY(file && file->scadaObjects.size() == 1);
    const ScadaObjectLoadData_t *o = file->scadaObjects.first();
    const QHash<QString, QString> fields{
        {"highLimit", QString::number(o->highLimit)}, {"lowLimit", QString::number(o->lowLimit)},
        {"weblinkActive", QString::number(o->weblinkActive)}, {"Uid", QString::number(o->Uid)},
        {"tagID_label", QString::number(o->tagID_label)}, {"tagID_cusProp7", QString::number(o->tagID_cusProp7)},
        {"MacroText", o->MacroText}, {"Tooltip", o->Tooltip}, {"lofx", QString::number(o->lofx)},
        {"componentUid", o->componentUid}, {"userConst1", QString::number(o->userConst1)}};
    QCOMPARE(fields.value(field), expected);
    destroyScaFileData(file);
}

void tst_ScaFileProcessor::pageProperties_data()
{
    QTest::addColumn<QByteArray>("properties");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no PageProperties: pageID") << QByteArray() << "pageID" << "-1";
    QTest::newRow("no PageProperties: W") << QByteArray() << "W" << "250";
    QTest::newRow("no PageProperties: H") << QByteArray() << "H" << "150";
    QTest::newRow("no PageProperties: pageAux") << QByteArray() << "pageAux" << "-1";
    QTest::newRow("pageID not a number") << QByteArray("<PageProperties><pageID>abc</pageID></PageProperties>")
                                         << "pageID" << "0";
    QTest::newRow("pageID empty") << QByteArray("<PageProperties><pageID/></PageProperties>") << "pageID" << "0";
    QTest::newRow("geometry without H") << QByteArray("<PageProperties><pageGeometry W=\"800\"/></PageProperties>")
                                        << "H" << "150";
    QTest::newRow("custom size 5") << QByteArray("<PageProperties><customPageSize>5</customPageSize></PageProperties>")
                                   << "customPageSize" << "1";
    QTest::newRow("rights 64 bit") << QByteArray("<PageProperties><pageAccessRights>-9223372036854775808</pageAccessRights></PageProperties>")
                                   << "pageAccessRights" << "-9223372036854775808";
    QTest::newRow("second PageProperties ignored")
        << QByteArray("<PageProperties><pageName>a</pageName></PageProperties><PageProperties><pageName>b</pageName></PageProperties>")
        << "pageName" << "a";
    QTest::newRow("scroll defaults") << QByteArray("<PageProperties><ScrollTags><Tag/><Tag TagID=\"4\" ScrollText=\" hot \"/></ScrollTags></PageProperties>")
                                     << "ScrollTags" << "0:Text|4: hot ";
}

void tst_ScaFileProcessor::pageProperties()
{
    QFETCH(QByteArray, properties);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    ScaFileData *file = ScaFileProcessor::loadFileData(page(QByteArray(), properties), QString());
    QVERIFY(file);
    const PagePropertiesData_t &p = file->pageProperties;
    QStringList scroll;
    for (const ScrollingText &t : p.ScrollTags)
        scroll << QString::number(t.TagID) + ':' + t.ScrollText;
    const QHash<QString, QString> fields{
        {"pageID", QString::number(p.pageID)}, {"W", QString::number(p.W)}, {"H", QString::number(p.H)},
        {"pageAux", QString::number(p.pageAux)}, {"customPageSize", QString::number(p.customPageSize)},
        {"pageAccessRights", QString::number(p.pageAccessRights)}, {"pageName", p.pageName},
        {"ScrollTags", scroll.join('|')}};
    QCOMPARE(fields.value(field), expected);
    destroyScaFileData(file);
}

void tst_ScaFileProcessor::fileNameArgument()
{
    const QByteArray data = page(QByteArray(), "<PageProperties><fileName>inFile.xml</fileName></PageProperties>");
    FilePtr null(ScaFileProcessor::loadFileData(data, QString()));
    QCOMPARE(null->pageProperties.fileName, QStringLiteral("inFile.xml"));
    FilePtr empty(ScaFileProcessor::loadFileData(data, QStringLiteral("")));
    QVERIFY(!empty->pageProperties.fileName.isNull());
    QCOMPARE(empty->pageProperties.fileName, QString(""));
    FilePtr given(ScaFileProcessor::loadFileData(data, QStringLiteral("given.xml")));
    QCOMPARE(given->pageProperties.fileName, QStringLiteral("given.xml"));
}

void tst_ScaFileProcessor::loadSceneData()
{
    const QByteArray data = page(item("<Properties Uid=\"3\"/>"),
                                 "<PageProperties><pageName>Main</pageName><fileName>main.xml</fileName>"
                                 "<pageID>7</pageID><pageGeometry W=\"1024\" H=\"768\"/>"
                                 "<ScrollTags><Tag TagID=\"1\"/></ScrollTags></PageProperties>");
    QScopedPointer<PagePropertiesData_t> p(ScaFileProcessor::loadSceneData(data));
    QVERIFY(p);
    QCOMPARE(p->pageName, QStringLiteral("Main"));
    QCOMPARE(p->fileName, QStringLiteral("main.xml"));
    QCOMPARE(p->pageID, 7);
    QCOMPARE(p->W, 1024);
    QCOMPARE(p->H, 768);
    QCOMPARE(p->pageAux, -1);
    QVERIFY(p->ScrollTags.isEmpty());
}

static ScaFileData *samplePage()
{
    auto *file = new ScaFileData;
    auto *o = new ScadaObjectLoadData_t;
    o->common = new ItemCommonData_t;
    o->common->X = -5;
    o->common->Y = 7;
    o->common->W = 40;
    o->common->H = 30;
    o->common->Rot = 90;
    o->common->ZVAL = 3;
    o->common->GZVAL = 4;
    o->common->VFlip = true;
    o->common->GroupId = 18446744073709551615ull;
    o->common->Name = "P-101 <main>";
    o->Uid = 123456;
    o->Type = 2;
    o->tagID_label = 17;
    o->tagID_cusProp7 = 44;
    o->MacroText = "if (a]]>b) { run(); }";
    o->Tooltip = "Feed pump & motor";
    o->weblinkActive = true;
    o->weblink = "http://plant/p101";
    o->limitsActive = true;
    o->lowLimit = 0.1f;
    o->highLimit = 1234567.0f;
    o->lofx = -3;
    o->lofy = 9;
    o->eventType = 2;
    o->eventAction = 5;
    o->userConst1 = -1;
    o->userConst2 = 77;
    o->componentUid = "pump";
    o->hostText = "not stored";
    o->hostList = {1, 2};
    file->scadaObjects << o;
    PagePropertiesData_t &p = file->pageProperties;
    p.pageName = "Pump station";
    p.fileName = "ignored.xml";
    p.relativePath = "pages/pumps.xml";
    p.pageID = 3;
    p.pageAux = 99;
    p.W = 1280;
    p.H = 800;
    p.pageBgImage = "bg.png";
    p.pageIcon = "icon.png";
    p.pageType = 1;
    p.customPageSize = true;
    p.addScrollingText = true;
    p.pageAccessRights = -9223372036854775807ll - 1;
    p.pageAccessRights2 = 9223372036854775807ll;
    p.scaleToWindow = 2;
    p.ScrollTags << ScrollingText{5, "Level high"} << ScrollingText{6, " spaced "};
    return file;
}

// The bytes on disk, read with a plain DOM rather than our own reader.
void tst_ScaFileProcessor::writtenBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("pumps.xml");
    ScaFileData *file = samplePage();
    QVERIFY(ScaFileProcessor::saveFileData(file, path));
    const QByteArray bytes = readAll(path);
    QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ScadaFile>\n    <ItemList>\n        <Item>"));

    QDomDocument doc;
    QString error;
    int line = 0, column = 0;
    QVERIFY2(doc.setContent(bytes, &error, &line, &column), qPrintable(QString("%1 at %2:%3").arg(error).arg(line).arg(column)));
    const QDomElement itemEl = doc.documentElement().firstChildElement("ItemList").firstChildElement("Item");
    QStringList children;
    for (QDomElement e = itemEl.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        children << e.tagName();
    QCOMPARE(children, (QStringList{"ItemType", "Geometry", "Properties", "TagIDs", "MacroText", "Tooltip",
                                    "weblinkActive", "weblink", "limitsActive", "lowLimit", "highLimit", "lofx",
                                    "lofy", "labelStyleSheet", "labelText", "eventAction", "eventType",
                                    "userConst1", "userConst2", "componentUid"}));
    QCOMPARE(itemEl.firstChildElement("lowLimit").text(), QStringLiteral("0.1"));
    QCOMPARE(itemEl.firstChildElement("highLimit").text(), QStringLiteral("1.23457e+06"));
    QCOMPARE(itemEl.firstChildElement("weblinkActive").text(), QStringLiteral("1"));
    QVERIFY(itemEl.firstChildElement("MacroText").firstChild().isCDATASection());
    QVERIFY(itemEl.firstChildElement("componentUid").firstChild().isText());
    QVERIFY(!itemEl.firstChildElement("componentUid").firstChild().isCDATASection());
    const QDomNamedNodeMap geometry = itemEl.firstChildElement("Geometry").attributes();
    QCOMPARE(geometry.count(), 9);
    QVERIFY(bytes.contains("<Geometry X=\"-5\" Y=\"7\" W=\"40\" H=\"30\" Rot=\"90\" ZVAL=\"3\" GZVAL=\"4\" HFlip=\"0\" VFlip=\"1\"/>"));
    const QDomElement properties = itemEl.firstChildElement("Properties");
    QCOMPARE(properties.attribute("Name"), QStringLiteral("P-101 <main>"));
    QVERIFY(bytes.contains("Uid=\"123456\" Type=\"2\" GroupId=\"18446744073709551615\"/>"));
    QVERIFY(bytes.contains("tagID_image=\"-1\" tagID_label=\"17\" tagID_width=\"-1\""));
    QVERIFY(!bytes.contains("not stored"));

    const QDomElement props = doc.documentElement().firstChildElement("PageProperties");
    QStringList pageChildren;
    for (QDomElement e = props.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        pageChildren << e.tagName();
    QCOMPARE(pageChildren, (QStringList{"pageName", "fileName", "relativePath", "pageID", "pageType",
                                        "customPageSize", "addScrollingText", "scaleToWindow", "pageBgImage",
                                        "pageIcon", "pageAccessRights", "pageAccessRights2", "pageGeometry",
                                        "ScrollTags"}));
    QCOMPARE(props.firstChildElement("fileName").text(), path);
    QVERIFY(bytes.contains("<pageGeometry W=\"1280\" H=\"800\"/>"));
    QVERIFY(bytes.contains("<Tag TagID=\"6\" ScrollText=\" spaced \"/>"));
    destroyScaFileData(file);

    // No scrolling texts: the element is still written, empty.
    ScaFileData empty;
    QVERIFY(ScaFileProcessor::saveFileData(&empty, path));
    QDomDocument emptyDoc;
    QVERIFY(emptyDoc.setContent(readAll(path)));
    const QDomElement scroll = emptyDoc.documentElement().firstChildElement("PageProperties").firstChildElement("ScrollTags");
    QVERIFY(!scroll.isNull());
    QVERIFY(!scroll.hasChildNodes());
}

void tst_ScaFileProcessor::roundTrip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("pumps.xml");
    ScaFileData *original = samplePage();
    QVERIFY(ScaFileProcessor::saveFileData(original, path));
    ScaFileData *back = ScaFileProcessor::loadFileData(readAll(path), QString());
    QVERIFY(back);

    const ScadaObjectLoadData_t *a = original->scadaObjects.first();
    const ScadaObjectLoadData_t *b = back->scadaObjects.first();
    QCOMPARE(b->common->X, a->common->X);
    QCOMPARE(b->common->Y, a->common->Y);
    QCOMPARE(b->common->W, a->common->W);
    QCOMPARE(b->common->H, a->common->H);
    QCOMPARE(b->common->Rot, a->common->Rot);
    QCOMPARE(b->common->ZVAL, a->common->ZVAL);
    QCOMPARE(b->common->GZVAL, a->common->GZVAL);
    QCOMPARE(b->common->HFlip, a->common->HFlip);
    QCOMPARE(b->common->VFlip, a->common->VFlip);
    QCOMPARE(b->common->GroupId, a->common->GroupId);
    QCOMPARE(b->common->Name, a->common->Name);
    QCOMPARE(b->Uid, a->Uid);
    QCOMPARE(b->Type, a->Type);
    QCOMPARE(b->tagID_label, a->tagID_label);
    QCOMPARE(b->tagID_cusProp7, a->tagID_cusProp7);
    QCOMPARE(b->tagID_image, -1);
    QCOMPARE(b->MacroText, a->MacroText);
    QCOMPARE(b->Tooltip, a->Tooltip);
    QCOMPARE(b->weblinkActive, a->weblinkActive);
    QCOMPARE(b->weblink, a->weblink);
    QCOMPARE(b->limitsActive, a->limitsActive);
    QCOMPARE(b->lowLimit, a->lowLimit);
    QCOMPARE(b->highLimit, 1234570.0f); // rounded to 6 significant digits
    QCOMPARE(b->lofx, a->lofx);
    QCOMPARE(b->lofy, a->lofy);
    QCOMPARE(b->labelText, a->labelText);
    QCOMPARE(b->labelStyleSheet, a->labelStyleSheet);
    QCOMPARE(b->eventType, a->eventType);
    QCOMPARE(b->eventAction, a->eventAction);
    QCOMPARE(b->userConst1, a->userConst1);
    QCOMPARE(b->userConst2, a->userConst2);
    QCOMPARE(b->componentUid, a->componentUid);
    QCOMPARE(b->hostText, QString());
    QVERIFY(b->hostList.isEmpty());
    QCOMPARE(back->labelTagIds, QList<int>{17});

    const PagePropertiesData_t &p = original->pageProperties, &q = back->pageProperties;
    QCOMPARE(q.pageName, p.pageName);
    QCOMPARE(q.fileName, path);
    QCOMPARE(q.relativePath, p.relativePath);
    QCOMPARE(q.pageID, p.pageID);
    QCOMPARE(q.pageAux, -1);
    QCOMPARE(q.W, p.W);
    QCOMPARE(q.H, p.H);
    QCOMPARE(q.pageBgImage, p.pageBgImage);
    QCOMPARE(q.pageIcon, p.pageIcon);
    QCOMPARE(q.pageType, p.pageType);
    QCOMPARE(q.customPageSize, p.customPageSize);
    QCOMPARE(q.addScrollingText, p.addScrollingText);
    QCOMPARE(q.pageAccessRights, p.pageAccessRights);
    QCOMPARE(q.pageAccessRights2, p.pageAccessRights2);
    QCOMPARE(q.scaleToWindow, p.scaleToWindow);
    QCOMPARE(q.ScrollTags.size(), 2);
    QCOMPARE(q.ScrollTags.at(1).ScrollText, QStringLiteral(" spaced "));

    // A second save of what was read gives the same bytes.
    const QByteArray first = readAll(path);
    QVERIFY(ScaFileProcessor::saveFileData(back, path));
    QCOMPARE(readAll(path), first);
    destroyScaFileData(original);
    destroyScaFileData(back);
}

void tst_ScaFileProcessor::kindGrouping()
{
    // Kinds come out grouped in the writer's order; each kind keeps its own order.
    const QByteArray data = page(item("<ItemType>RTChartItem</ItemType>")
                                 + item("<ItemType>ScadaObject</ItemType><Properties Uid=\"1\"/><TagIDs tagID_label=\"4\"/>")
                                 + item("<ItemType>TextItem</ItemType>")
                                 + item("<Properties Uid=\"2\"/><TagIDs tagID_label=\"4\"/>"));
    ScaFileData *file = ScaFileProcessor::loadFileData(data, QString());
    QVERIFY(file);
    QCOMPARE(file->scadaObjects.size(), 2);
    QCOMPARE(file->labelTagIds, (QList<int>{4, 4}));
    QTemporaryDir dir;
    QVERIFY(ScaFileProcessor::saveFileData(file, dir.filePath("p.xml")));
    QDomDocument doc;
    QVERIFY(doc.setContent(readAll(dir.filePath("p.xml"))));
    QStringList kinds;
    for (QDomElement e = doc.documentElement().firstChildElement("ItemList").firstChildElement("Item"); !e.isNull();
         e = e.nextSiblingElement("Item"))
        kinds << e.firstChildElement("ItemType").text() + e.firstChildElement("Properties").attribute("Uid");
    QCOMPARE(kinds, (QStringList{"ScadaObject1", "ScadaObject2", "TextItem", "RTChartItem"}));
    destroyScaFileData(file);
}

void tst_ScaFileProcessor::saveFailures()
{
    QTemporaryDir dir;
    ScaFileData file;
    QVERIFY(!ScaFileProcessor::saveFileData(&file, dir.filePath("missing/page.xml")));
    QVERIFY(!QFileInfo::exists(dir.filePath("missing")));
    QVERIFY(!ScaFileProcessor::saveFileData(&file, dir.path())); // a directory
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

// A save that fails while writing (here: the file-size limit) keeps the old file.
void tst_ScaFileProcessor::writeErrorKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.xml");
    ScaFileData *file = samplePage();
    QVERIFY(ScaFileProcessor::saveFileData(file, path));
    const QByteArray old = readAll(path);
    for (int i = 0; i < 200; ++i) {
        auto *o = new ScadaObjectLoadData_t;
        o->common = new ItemCommonData_t;
        o->Uid = i;
        file->scadaObjects << o;
    }

    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{rlim_t(old.size() + 4096), rlim_t(old.size() + 4096)};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(ScaFileProcessor::saveFileData(file, path) ? 1 : 0);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0); // the save reported failure
    QCOMPARE(readAll(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"big.xml"});
    destroyScaFileData(file);
}

// A save killed at any moment leaves the target whole: the old content or the new;
// a completed one leaves no temporary file.
void tst_ScaFileProcessor::killedSaveKeepsWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("page.xml");
    ScaFileData *small = samplePage();
    ScaFileData *large = samplePage();
    for (int i = 0; i < 3000; ++i) {
        auto *o = new ScadaObjectLoadData_t;
        o->common = new ItemCommonData_t;
        o->Uid = i;
        o->MacroText = QString(200, QChar('a' + i % 26));
        large->scadaObjects << o;
    }
    QCOMPARE(killedSaveProblem(path, [&] { return ScaFileProcessor::saveFileData(large, path); },
                               [&] { return ScaFileProcessor::saveFileData(small, path); }, 500000),
             QString());
    destroyScaFileData(small);
    destroyScaFileData(large);
}

void tst_ScaFileProcessor::blockAccess()
{
    ScaFileData file;
    QCOMPARE(file.pageProperties.W, -1);
    QCOMPARE(file.pageProperties.H, -1);
    QVERIFY(file.hostFlag1);
    QVERIFY(!file.hostFlag2);
    auto *a = new ScadaObjectLoadData_t, *b = new ScadaObjectLoadData_t, *c = new ScadaObjectLoadData_t;
    a->Uid = 5;
    b->Uid = 6;
    c->Uid = 5;
    file.scadaObjects << a << b << c;
    QCOMPARE(file.getBlock(5), a);
    QCOMPARE(file.getBlock(6), b);
    QCOMPARE(file.getBlock(7), nullptr);
    file.clear();
    QVERIFY(file.scadaObjects.isEmpty());
    file.scadaObjects << a << b << c; // clear() destroyed nothing
    file.erase();
    QVERIFY(file.scadaObjects.isEmpty());

    BlockLoadData_t block;
    QVERIFY(!block.initDone);
    block.init();
    block.init();
    QVERIFY(block.initDone);
}

QTEST_MAIN(tst_ScaFileProcessor)
#include "tst_scafileprocessor.moc"
