#include <zadururu/scene/scaFileProcessor.h>

#include <QApplication>
#include <QDomDocument>
#include <QFontMetrics>
#include <QTemporaryDir>
#include <QtTest>

// The item kinds other than component instances: text, database-query text,
// schedule, real-time chart and table.
namespace {

QByteArray page(const QByteArray &items)
{
    return "<ScadaFile><ItemList>" + items + "</ItemList></ScadaFile>";
}

QByteArray item(const char *kind, const QByteArray &content = QByteArray())
{
    return QByteArray("<Item><ItemType>") + kind + "</ItemType>" + content + "</Item>";
}


struct Loaded
{
    explicit Loaded(const QByteArray &data) : file(ScaFileProcessor::loadFileData(data, QString())) {}
    ~Loaded() { destroyScaFileData(file); }
    ScaFileData *file;
};

// Saves and reloads through the file system.
ScaFileData *roundTrip(ScaFileData *file, QByteArray *bytes = nullptr)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.xml");
    if (!ScaFileProcessor::saveFileData(file, path))
        return nullptr;
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray data = f.readAll();
    if (bytes)
        *bytes = data;
    return ScaFileProcessor::loadFileData(data, QString());
}

QFont measuringFont(const QString &family, int pixelSize, bool bold, bool italic, bool underline)
{
    QFont font = QApplication::font();
    font.setFamily(family);
    font.setStyleHint(QFont::Decorative, QFont::PreferDefault);
    font.setPixelSize(pixelSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

} // namespace

class tst_SceneItems : public QObject
{
    Q_OBJECT

private slots:
    void textDefaults();
    void textMeasured_data();
    void textMeasured();
    void textValues_data();
    void textValues();
    void textRoundTrip();
    void dbqDefaults();
    void dbqValues_data();
    void dbqValues();
    void schedule();
    void chartLines();
    void chartValues_data();
    void chartValues();
    void table();
    void allKindsRoundTrip();
    void firstOfEachName();
};

void tst_SceneItems::textDefaults()
{
    Loaded l(page(item("TextItem")));
    QVERIFY(l.file);
    QCOMPARE(l.file->textItems.size(), 1);
    const TextItemLoadData_t *t = l.file->textItems.first();
    QCOMPARE(t->ItemText, QString());
    QCOMPARE(t->TextColor, QStringLiteral("#000000"));
    QCOMPARE(t->BgColor, QStringLiteral("#FFFFFF"));
    QCOMPARE(t->Family, QStringLiteral("Arial"));
    QCOMPARE(t->TextPixelSize, 0);
    QCOMPARE(int(t->Alignment), 0);
    QVERIFY(!t->IsBold && !t->IsItalic && !t->IsUnderlined && !t->DrawPaper);
    QCOMPARE(t->common->itemTypeCode, 2);
    QCOMPARE(t->common->W, 0);
    // A size of 0 cannot be applied: the application font's size measures.
    const QFontMetrics m(measuringFont("Arial", 0, false, false, false));
    QCOMPARE(t->common->H, 4 * m.height());
}

void tst_SceneItems::textMeasured_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");

    QTest::newRow("plain") << QByteArray("<ItemText>Pump P-101</ItemText><TextPixelSize>18</TextPixelSize>")
                           << "Pump P-101" << 18 << false << false;
    QTest::newRow("TextSize when pixel size 0")
        << QByteArray("<ItemText>Level</ItemText><TextPixelSize>0</TextPixelSize><TextSize>10</TextSize>")
        << "Level" << 10 << false << false;
    QTest::newRow("TextSize when pixel size -1")
        << QByteArray("<ItemText>Level</ItemText><TextPixelSize>-1</TextPixelSize><TextSize>10</TextSize>")
        << "Level" << 10 << false << false;
    QTest::newRow("pixel size wins over TextSize")
        << QByteArray("<ItemText>Level</ItemText><TextPixelSize>18</TextPixelSize><TextSize>10</TextSize>")
        << "Level" << 18 << false << false;
    QTest::newRow("bold italic") << QByteArray("<ItemText>Alarm</ItemText><TextPixelSize>24</TextPixelSize>"
                                               "<IsBold>1</IsBold><IsItalic>3</IsItalic>")
                                 << "Alarm" << 24 << true << true;
    QTest::newRow("capped at 800") << QByteArray("<ItemText>" + QByteArray(200, 'W') + "</ItemText><TextPixelSize>30</TextPixelSize>")
                                   << QString(200, 'W') << 30 << false << false;
}

void tst_SceneItems::textMeasured()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, text);
    QFETCH(int, pixelSize);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    Loaded l(page(item("TextItem", content)));
    const TextItemLoadData_t *t = l.file->textItems.first();
    QCOMPARE(t->TextPixelSize, pixelSize);
    const QFontMetrics m(measuringFont("Arial", pixelSize, bold, italic, false));
    QCOMPARE(t->common->W, qMin(2 * m.width(text), 800));
    QCOMPARE(t->common->H, 4 * m.height());
    if (text.size() == 200)
        QCOMPARE(t->common->W, 800);
}

void tst_SceneItems::textValues_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Width 0 present") << QByteArray("<ItemText>long text</ItemText><Width>0</Width>") << "W" << "0";
    QTest::newRow("Height empty") << QByteArray("<Height/>") << "H" << "0";
    QTest::newRow("PosX 12.9") << QByteArray("<ItemPosX>12.9</ItemPosX>") << "X" << "12";
    QTest::newRow("PosY -3.7") << QByteArray("<ItemPosY>-3.7</ItemPosY>") << "Y" << "-3";
    QTest::newRow("empty TextColor") << QByteArray("<TextColor/>") << "TextColor" << "#000000";
    QTest::newRow("spaces BgColor") << QByteArray("<BgColor>   </BgColor>") << "BgColor" << "#FFFFFF";
    QTest::newRow("colour kept as text") << QByteArray("<TextColor>red-ish</TextColor>") << "TextColor" << "red-ish";
    QTest::newRow("empty Family") << QByteArray("<Family/>") << "Family" << "";
    QTest::newRow("spaces Family") << QByteArray("<Family>  </Family>") << "Family" << "";
    QTest::newRow("GZVal element") << QByteArray("<GZVal>4</GZVal>") << "GZVAL" << "4";
    QTest::newRow("GZVAL attribute not read") << QByteArray("<Properties GroupId=\"9\" GZVAL=\"4\"/>") << "GZVAL" << "0";
    QTest::newRow("GroupId") << QByteArray("<Properties GroupId=\"9\" GZVAL=\"4\"/>") << "GroupId" << "9";
    QTest::newRow("Geometry ignored") << QByteArray("<Geometry X=\"50\"/>") << "X" << "0";
    QTest::newRow("Alignment") << QByteArray("<Alignment>132</Alignment>") << "Alignment" << "132";
}

void tst_SceneItems::textValues()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    Loaded l(page(item("TextItem", content)));
    const TextItemLoadData_t *t = l.file->textItems.first();
    const ItemCommonData_t *c = t->common;
    const QHash<QString, QString> fields{
        {"W", QString::number(c->W)}, {"H", QString::number(c->H)}, {"X", QString::number(c->X)},
        {"Y", QString::number(c->Y)}, {"TextColor", t->TextColor}, {"BgColor", t->BgColor},
        {"Family", t->Family}, {"GZVAL", QString::number(c->GZVAL)}, {"GroupId", QString::number(c->GroupId)},
        {"Alignment", QString::number(int(t->Alignment))}};
    QCOMPARE(fields.value(field), expected);
}

void tst_SceneItems::textRoundTrip()
{
    ScaFileData file;
    auto *t = new TextItemLoadData_t;
    t->common = new ItemCommonData_t;
    t->common->X = 10;
    t->common->Y = -4;
    t->common->W = 120;
    t->common->H = 30;
    t->common->Rot = 45;
    t->common->ZVAL = 2;
    t->common->GZVAL = 6;
    t->common->GroupId = 77;
    t->ItemText = "   ";
    t->TextColor = "#123456";
    t->BgColor = "#abcdef";
    t->SvgElement = "<svg>&";
    t->Alignment = Qt::AlignRight | Qt::AlignVCenter;
    t->TextPixelSize = 16;
    t->Family = "DejaVu Sans";
    t->IsBold = t->IsUnderlined = t->DrawPaper = true;
    file.textItems << t;
    auto *u = new TextItemLoadData_t;
    u->common = new ItemCommonData_t;
    u->ItemText = "a]]>b <c> & d";
    file.textItems << u;

    QByteArray bytes;
    ScaFileData *back = roundTrip(&file, &bytes);
    QVERIFY(back);
    QCOMPARE(back->textItems.size(), 2);
    const TextItemLoadData_t *b = back->textItems.first();
    QCOMPARE(b->ItemText, t->ItemText);
    QCOMPARE(b->TextColor, t->TextColor);
    QCOMPARE(b->BgColor, t->BgColor);
    QCOMPARE(b->SvgElement, t->SvgElement);
    QCOMPARE(b->Alignment, t->Alignment);
    QCOMPARE(b->TextPixelSize, 16);
    QCOMPARE(b->Family, t->Family);
    QVERIFY(b->IsBold && !b->IsItalic && b->IsUnderlined && b->DrawPaper);
    QCOMPARE(b->common->X, 10);
    QCOMPARE(b->common->Y, -4);
    QCOMPARE(b->common->W, 120);
    QCOMPARE(b->common->H, 30);
    QCOMPARE(b->common->Rot, 45);
    QCOMPARE(b->common->ZVAL, 2);
    QCOMPARE(b->common->GroupId, quint64(77));
    QCOMPARE(b->common->GZVAL, 0); // written as an attribute the reader does not read
    QCOMPARE(back->textItems.at(1)->ItemText, u->ItemText);

    QDomDocument doc;
    QVERIFY(doc.setContent(bytes));
    const QDomElement el = doc.documentElement().firstChildElement("ItemList").firstChildElement("Item");
    QStringList names;
    for (QDomElement e = el.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        names << e.tagName();
    QCOMPARE(names, (QStringList{"ItemType", "ItemText", "TextColor", "BgColor", "TextPixelSize", "Alignment",
                                 "ZVal", "DrawPaper", "IsItalic", "IsUnderlined", "Family", "IsBold", "SvgElement",
                                 "Width", "Height", "Rot", "ItemPosX", "ItemPosY", "Properties"}));
    QVERIFY(el.firstChildElement("ItemText").firstChild().isCDATASection());
    QCOMPARE(el.firstChildElement("Properties").attribute("GZVAL"), QStringLiteral("6"));
    destroyScaFileData(back);
    qDeleteAll(file.textItems);
}

void tst_SceneItems::dbqDefaults()
{
    Loaded l(page(item("DbqTextItem")));
    QCOMPARE(l.file->dbqTextItems.size(), 1);
    const DbQueryTextItemLoadData_t *d = l.file->dbqTextItems.first();
    QCOMPARE(d->bgColor, QStringLiteral("#000"));
    QCOMPARE(d->txtColor, QStringLiteral("#FFF"));
    QCOMPARE(d->labelText, QStringLiteral("Val is "));
    QCOMPARE(d->labelStyleSheet, QStringLiteral("font: 12px \"Arial\";"));
    QCOMPARE(d->lofx, 0);
    QCOMPARE(d->txtPixelSize, 14);
    QCOMPARE(d->reportUnit, 1);
    QCOMPARE(d->reportType, 0);
    QCOMPARE(d->timeFactor, 100);
    QCOMPARE(d->updateInterval, 100);
    QCOMPARE(d->reportTag, -1);
    QCOMPARE(d->common->itemTypeCode, 5);
}

void tst_SceneItems::dbqValues_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty reportTag is 0") << QByteArray("<reportTag/>") << "reportTag" << "0";
    QTest::newRow("empty labelText is empty") << QByteArray("<labelText/>") << "labelText" << "";
    QTest::newRow("spaces-only label dropped") << QByteArray("<labelText>   </labelText>") << "labelText" << "";
    QTest::newRow("label keeps inner spaces") << QByteArray("<labelText> Flow: </labelText>") << "labelText" << " Flow: ";
    QTest::newRow("junk pixel size") << QByteArray("<txtPixelSize>big</txtPixelSize>") << "txtPixelSize" << "0";
    QTest::newRow("report tag") << QByteArray("<reportTag>12</reportTag>") << "reportTag" << "12";
}

void tst_SceneItems::dbqValues()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    Loaded l(page(item("DbqTextItem", content)));
    const DbQueryTextItemLoadData_t *d = l.file->dbqTextItems.first();
    const QHash<QString, QString> fields{{"reportTag", QString::number(d->reportTag)},
                                         {"labelText", d->labelText},
                                         {"txtPixelSize", QString::number(d->txtPixelSize)}};
    QCOMPARE(fields.value(field), expected);

    // Whatever was read is written and read back the same.
    ScaFileData *back = roundTrip(l.file);
    QVERIFY(back);
    const DbQueryTextItemLoadData_t *b = back->dbqTextItems.first();
    QCOMPARE(b->labelText, d->labelText);
    QCOMPARE(b->reportTag, d->reportTag);
    QCOMPARE(b->txtPixelSize, d->txtPixelSize);
    QCOMPARE(b->labelStyleSheet, d->labelStyleSheet);
    destroyScaFileData(back);
}

void tst_SceneItems::schedule()
{
    Loaded l(page(item("ScheduleItem", "<TagIDs><Tag>7</Tag><Other/><Tag>3</Tag><Tag/><Tag>x</Tag><Tag>7</Tag></TagIDs>")
                  + item("ScheduleItem")));
    QCOMPARE(l.file->scheduleItems.size(), 2);
    QCOMPARE(l.file->scheduleItems.first()->TagIDs, (QList<int>{7, 3, 0, 0, 7}));
    QCOMPARE(l.file->scheduleItems.first()->common->itemTypeCode, 1);
    QByteArray bytes;
    ScaFileData *back = roundTrip(l.file, &bytes);
    QCOMPARE(back->scheduleItems.first()->TagIDs, (QList<int>{7, 3, 0, 0, 7}));
    QVERIFY(back->scheduleItems.at(1)->TagIDs.isEmpty());
    QVERIFY(bytes.contains("<TagIDs/>"));
    QVERIFY(back->scadaObjects.isEmpty());
    destroyScaFileData(back);
}

void tst_SceneItems::chartLines()
{
    Loaded l(page(item("RTChartItem", "<TagIDs><Tag>12</Tag><TagData Tag=\"4\" LineStyle=\"2\" LineColor=\" blue \"/>"
                                      "<Tag>15</Tag><TagData/><TagData LineColor=\"\"/></TagIDs>")));
    const RealTimeChartItemLoadData_t *r = l.file->rtChartItems.first();
    QStringList lines;
    for (const ChartLineData &line : r->TagIDs)
        lines << QString("%1/%2/%3").arg(line.Tag).arg(line.LineStyle).arg(line.LineColor);
    QCOMPARE(lines, (QStringList{"4/2/ blue ", "-1/0/#FF0000", "-1/0/", "12/0/#FF0000", "15/0/#FF0000"}));

    QByteArray bytes;
    ScaFileData *back = roundTrip(l.file, &bytes);
    QCOMPARE(back->rtChartItems.first()->TagIDs.size(), 5);
    QCOMPARE(back->rtChartItems.first()->TagIDs.first().LineColor, QStringLiteral(" blue "));
    QVERIFY(!bytes.contains("<Tag>"));
    QVERIFY(bytes.contains("<TagData Tag=\"12\" LineStyle=\"0\" LineColor=\"#FF0000\"/>"));
    destroyScaFileData(back);
}

void tst_SceneItems::chartValues_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected"); // legend/follow/rescale/seconds/upper/lower/bg/txt/lines
    QTest::newRow("defaults") << QByteArray() << "1/1/1/300/0/0/#000/#FFF/0";
    QTest::newRow("empty ShowLegend false") << QByteArray("<ShowLegend/>") << "0/1/1/300/0/0/#000/#FFF/0";
    QTest::newRow("empty ShowLastSeconds 0") << QByteArray("<ShowLastSeconds/>") << "1/1/1/0/0/0/#000/#FFF/0";
    QTest::newRow("spaces colours empty") << QByteArray("<BgColor>  </BgColor><TxtColor/>") << "1/1/1/300/0/0///0";
    QTest::newRow("values") << QByteArray("<FollowLastVal>0</FollowLastVal><UpperLimit>90</UpperLimit><LowerLimit>-10</LowerLimit><TagIDs/>")
                            << "1/0/1/300/90/-10/#000/#FFF/0";
}

void tst_SceneItems::chartValues()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    Loaded l(page(item("RTChartItem", content)));
    auto text = [](const RealTimeChartItemLoadData_t *r) {
        return QString("%1/%2/%3/%4/%5/%6/%7/%8/%9").arg(r->ShowLegend).arg(r->FollowLastVal).arg(r->RescaleValAxis)
            .arg(r->ShowLastSeconds).arg(r->UpperLimit).arg(r->LowerLimit).arg(r->BgColor, r->TxtColor)
            .arg(r->TagIDs.size());
    };
    QCOMPARE(text(l.file->rtChartItems.first()), expected);
    QCOMPARE(l.file->rtChartItems.first()->common->itemTypeCode, 5);
    ScaFileData *back = roundTrip(l.file);
    QCOMPARE(text(back->rtChartItems.first()), expected);
    destroyScaFileData(back);
}

void tst_SceneItems::table()
{
    Loaded l(page(item("TableItem", "<TableData><ColumnGroup><Column/><Column width=\"x\"/><Column width=\"80\"/></ColumnGroup>"
                                    "<Row><CellText>a</CellText><CellText>  </CellText></Row><Row/>"
                                    "<Row><CellText><![CDATA[x]]]]><![CDATA[>y]]></CellText><Junk/><CellText/><CellText>&lt;b&gt;</CellText></Row>"
                                    "</TableData>")
                  + item("TableItem")));
    const TableItemLoadData_t *t = l.file->tableItems.first();
    QCOMPARE(t->common->itemTypeCode, 7);
    QCOMPARE(t->columnWidths, (QList<int>{30, 0, 80}));
    // Whitespace-only character data is dropped by the parser; CDATA keeps it.
    const QList<QList<QString>> rows{{"a", ""}, {}, {"x]]>y", "", "<b>"}};
    QCOMPARE(t->rows, rows);
    QVERIFY(l.file->tableItems.at(1)->rows.isEmpty());
    QVERIFY(l.file->tableItems.at(1)->columnWidths.isEmpty());

    l.file->tableItems.first()->rows[0][1] = "  ";
    QByteArray bytes;
    ScaFileData *back = roundTrip(l.file, &bytes);
    QList<QList<QString>> expected = rows;
    expected[0][1] = "  ";
    QCOMPARE(back->tableItems.first()->rows, expected);
    QCOMPARE(back->tableItems.first()->columnWidths, (QList<int>{30, 0, 80}));
    QVERIFY(bytes.contains("<Row/>"));
    QVERIFY(bytes.contains("<ColumnGroup/>"));
    destroyScaFileData(back);
}

// Every kind in mixed order comes back grouped by kind and unchanged.
void tst_SceneItems::allKindsRoundTrip()
{
    const QByteArray g = "<Geometry X=\"1\" Y=\"2\" W=\"3\" H=\"4\" Rot=\"5\" ZVAL=\"6\" GZVAL=\"7\" HFlip=\"1\" VFlip=\"0\"/>"
                         "<Properties GroupId=\"8\"/>";
    const QByteArray data = page(item("TableItem", g) + item("RTChartItem", g + "<TagIDs><Tag>3</Tag></TagIDs>")
                                 + item("DbqTextItem", g) + item("ScadaObject", g) + item("ScheduleItem", g)
                                 + item("TextItem", "<ItemText>t</ItemText><Width>9</Width><Height>9</Height>")
                                 + item("ScadaObject"));
    Loaded l(data);
    QByteArray bytes;
    ScaFileData *back = roundTrip(l.file, &bytes);
    QVERIFY(back);
    QDomDocument doc;
    QVERIFY(doc.setContent(bytes));
    QStringList kinds;
    for (QDomElement e = doc.documentElement().firstChildElement("ItemList").firstChildElement("Item"); !e.isNull();
         e = e.nextSiblingElement("Item"))
        kinds << e.firstChildElement("ItemType").text();
    QCOMPARE(kinds, (QStringList{"ScadaObject", "ScadaObject", "TextItem", "ScheduleItem", "RTChartItem",
                                 "DbqTextItem", "TableItem"}));
    const QList<const ItemCommonData_t *> commons{back->scheduleItems.first()->common, back->rtChartItems.first()->common,
                                                  back->dbqTextItems.first()->common, back->tableItems.first()->common};
    for (const ItemCommonData_t *c : commons) {
        QCOMPARE(c->X, 1);
        QCOMPARE(c->H, 4);
        QCOMPARE(c->GZVAL, 7);
        QVERIFY(c->HFlip);
        QCOMPARE(c->GroupId, quint64(8));
    }
    QCOMPARE(back->rtChartItems.first()->TagIDs.first().Tag, 3);
    // A second save is byte for byte the first, but for the path it names.
    QByteArray again;
    ScaFileData *third = roundTrip(back, &again);
    const QRegularExpression path("<fileName>[^<]*</fileName>");
    QCOMPARE(QString::fromUtf8(again).remove(path), QString::fromUtf8(bytes).remove(path));
    destroyScaFileData(third);
    destroyScaFileData(back);
}

// Every reader takes the first child element of each name, wherever it
// stands among the item's children.
void tst_SceneItems::firstOfEachName()
{
    const Loaded l(page(
        "<Item><componentUid>c1</componentUid><componentUid>c2</componentUid><labelText>L</labelText>"
        "<Properties Uid=\"5\" Name=\"n\"/><Properties Uid=\"6\"/><Geometry X=\"3.9\" W=\"4\"/>"
        "<Geometry X=\"8\"/><ItemType>ScadaObject</ItemType><lofx>2</lofx><lofx>9</lofx></Item>"
        "<Item><ItemPosX>7.5</ItemPosX><Height>9</Height><Width>11</Width><Width>99</Width>"
        "<ItemText>a</ItemText><ItemText>b</ItemText><ItemType>TextItem</ItemType><Family>F</Family></Item>"
        "<Item><lofy>4</lofy><labelText>x</labelText><labelText>y</labelText><ItemType>DbqTextItem</ItemType></Item>"
        "<Item><UpperLimit>5</UpperLimit><UpperLimit>6</UpperLimit><TagIDs><Tag>3</Tag></TagIDs>"
        "<TagIDs><Tag>4</Tag></TagIDs><ItemType>RTChartItem</ItemType></Item>"
        "<Item><TableData><Row><CellText>a</CellText></Row></TableData><TableData><Row/></TableData>"
        "<ItemType>TableItem</ItemType></Item>"));
    QVERIFY(l.file);
    QCOMPARE(l.file->scadaObjects.size(), 1);
    const ScadaObjectLoadData_t *o = l.file->scadaObjects.first();
    QCOMPARE(o->Uid, 5);
    QCOMPARE(o->common->Name, QStringLiteral("n"));
    QCOMPARE(o->common->X, 3);
    QCOMPARE(o->common->W, 4);
    QCOMPARE(o->componentUid, QStringLiteral("c1"));
    QCOMPARE(o->labelText, QStringLiteral("L"));
    QCOMPARE(o->lofx, 2);
    QCOMPARE(o->highLimit, 100.0f);
    const TextItemLoadData_t *t = l.file->textItems.first();
    QCOMPARE(t->ItemText, QStringLiteral("a"));
    QCOMPARE(t->common->X, 7);
    QCOMPARE(t->common->W, 11);
    QCOMPARE(t->common->H, 9);
    QCOMPARE(t->Family, QStringLiteral("F"));
    const DbQueryTextItemLoadData_t *d = l.file->dbqTextItems.first();
    QCOMPARE(d->labelText, QStringLiteral("x"));
    QCOMPARE(d->lofy, 4);
    QCOMPARE(d->bgColor, QStringLiteral("#000"));
    const RealTimeChartItemLoadData_t *r = l.file->rtChartItems.first();
    QCOMPARE(r->UpperLimit, 5);
    QCOMPARE(r->TagIDs.size(), 1);
    QCOMPARE(r->TagIDs.first().Tag, 3);
    QCOMPARE(r->ShowLegend, true);
    const TableItemLoadData_t *table = l.file->tableItems.first();
    QCOMPARE(table->rows, (QList<QList<QString>>{{QStringLiteral("a")}}));
}

QTEST_MAIN(tst_SceneItems)
#include "tst_sceneitems.moc"
