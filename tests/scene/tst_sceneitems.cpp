#include "fields.h"

#include <zadururu/scene/scaFileProcessor.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QtTest>

// What the readers of the six item kinds make of each element: every field
// of the record is compared, for absent, empty and odd values.
QString str(Qt::Alignment v) { return QString::number(int(v)); }
QString str(const ChartLineData &v) { return QString("%1/%2/%3").arg(v.Tag).arg(v.LineStyle).arg(v.LineColor); }

namespace {

const QStringList bindings{"image", "label", "posx", "posy", "width", "height", "rotAng", "txtColor", "maskColor",
                           "maskOpac", "cusProp1", "cusProp2", "cusProp3", "cusProp4", "cusProp5", "cusProp6",
                           "cusProp7", "eventTarget"};

QStringList fields(const ItemCommonData_t &r)
{
    return {FIELD(X), FIELD(Y), FIELD(W), FIELD(H), FIELD(ZVAL), FIELD(GZVAL), FIELD(Rot), FIELD(HFlip), FIELD(VFlip),
            FIELD(GroupId), FIELD(Name), FIELD(itemTypeCode)};
}
QStringList fields(const ScadaObjectLoadData_t &r)
{
    return fields(*r.common) << FIELD(Type) << FIELD(Uid) << FIELD(tagID_image) << FIELD(tagID_label)
        << FIELD(tagID_posx) << FIELD(tagID_posy) << FIELD(tagID_width) << FIELD(tagID_height) << FIELD(tagID_rotAng)
        << FIELD(tagID_txtColor) << FIELD(tagID_maskColor) << FIELD(tagID_maskOpac) << FIELD(tagID_cusProp1)
        << FIELD(tagID_cusProp2) << FIELD(tagID_cusProp3) << FIELD(tagID_cusProp4) << FIELD(tagID_cusProp5)
        << FIELD(tagID_cusProp6) << FIELD(tagID_cusProp7) << FIELD(tagID_eventTarget) << FIELD(eventType)
        << FIELD(eventAction) << FIELD(lofx) << FIELD(lofy) << FIELD(labelText) << FIELD(labelStyleSheet)
        << FIELD(userConst1) << FIELD(userConst2) << FIELD(MacroText) << FIELD(Tooltip) << FIELD(weblinkActive)
        << FIELD(weblink) << FIELD(limitsActive) << FIELD(lowLimit) << FIELD(highLimit) << FIELD(componentUid);
}
QStringList fields(const TextItemLoadData_t &r)
{
    return fields(*r.common) << FIELD(ItemText) << FIELD(TextColor) << FIELD(BgColor) << FIELD(SvgElement)
        << FIELD(Alignment) << FIELD(TextPixelSize) << FIELD(Family) << FIELD(IsBold) << FIELD(IsItalic)
        << FIELD(IsUnderlined) << FIELD(DrawPaper);
}
QStringList fields(const DbQueryTextItemLoadData_t &r)
{
    return fields(*r.common) << FIELD(bgColor) << FIELD(txtColor) << FIELD(labelText) << FIELD(labelStyleSheet)
        << FIELD(lofx) << FIELD(lofy) << FIELD(txtPixelSize) << FIELD(reportUnit) << FIELD(reportType)
        << FIELD(timeFactor) << FIELD(updateInterval) << FIELD(reportTag);
}
QStringList fields(const ScheduleItemLoadData_t &r) { return fields(*r.common) << FIELD(TagIDs); }
QStringList fields(const RealTimeChartItemLoadData_t &r)
{
    return fields(*r.common) << FIELD(TagIDs) << FIELD(BgColor) << FIELD(TxtColor) << FIELD(ShowLegend)
        << FIELD(FollowLastVal) << FIELD(RescaleValAxis) << FIELD(ShowLastSeconds) << FIELD(UpperLimit)
        << FIELD(LowerLimit);
}
QStringList fields(const TableItemLoadData_t &r) { return fields(*r.common) << FIELD(rows) << FIELD(columnWidths); }

template<typename T>
void add(QStringList &out, const QList<T *> &items)
{
    for (const T *item : items)
        out += fields(*item);
}

/// The fields of every item a page holding @p items reads as.
QString itemFields(const QByteArray &items)
{
    ScaFileData *file = ScaFileProcessor::loadFileData("<ScadaFile><ItemList>" + items + "</ItemList></ScadaFile>", {});
    if (!file)
        return "not read";
    QStringList out;
    add(out, file->scadaObjects), add(out, file->textItems), add(out, file->scheduleItems);
    add(out, file->rtChartItems), add(out, file->dbqTextItems), add(out, file->tableItems);
    destroyScaFileData(file);
    return out.join('|');
}

/// What a reader gives when the element is absent.
QString kindDefaults(const QString &kind)
{
    const QHash<QString, int> codes{{"ScadaObject", 1}, {"TextItem", 2}, {"ScheduleItem", 1},
                                    {"RTChartItem", 5}, {"DbqTextItem", 5}, {"TableItem", 7}};
    const QString common = QString("X=0|Y=0|W=%1|H=%2|ZVAL=0|GZVAL=0|Rot=0|HFlip=0|VFlip=0|GroupId=0|Name=|itemTypeCode=%3|")
                               .arg(kind == "TextItem" ? 1 : 0).arg(kind == "TextItem" ? 2 : 0).arg(codes.value(kind));
    if (kind == "ScadaObject")
        return common + "Type=0|Uid=0|tagID_" + bindings.join("=-1|tagID_")
               + "=-1|eventType=0|eventAction=0|lofx=0|lofy=0|labelText=|labelStyleSheet=|userConst1=0|userConst2=0|"
                 "MacroText=|Tooltip=|weblinkActive=0|weblink=|limitsActive=0|lowLimit=0|highLimit=100|componentUid=";
    if (kind == "TextItem")
        return common + "ItemText=|TextColor=#000000|BgColor=#FFFFFF|SvgElement=|Alignment=0|TextPixelSize=0|"
                        "Family=Arial|IsBold=0|IsItalic=0|IsUnderlined=0|DrawPaper=0";
    if (kind == "DbqTextItem")
        return common + "bgColor=#000|txtColor=#FFF|labelText=Val is |labelStyleSheet=font: 12px \"Arial\";|lofx=0|"
                        "lofy=0|txtPixelSize=14|reportUnit=1|reportType=0|timeFactor=100|updateInterval=100|reportTag=-1";
    if (kind == "RTChartItem")
        return common + "TagIDs=[]|BgColor=#000|TxtColor=#FFF|ShowLegend=1|FollowLastVal=1|RescaleValAxis=1|"
                        "ShowLastSeconds=300|UpperLimit=0|LowerLimit=0";
    return common + (kind == "TableItem" ? "rows=[]|columnWidths=[]" : "TagIDs=[]");
}

QFont measuringFont(const QString &family, int pixelSize, bool bold, bool italic)
{
    QFont font = QApplication::font();
    font.setFamily(family);
    font.setStyleHint(QFont::Decorative, QFont::PreferDefault);
    if (pixelSize > 0) // Qt refuses other sizes, and says so
        font.setPixelSize(pixelSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(italic);
    return font;
}

const QString sample = QStringLiteral("Pump station AVWfi");

} // namespace

class tst_SceneItems : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readFields_data();
    void readFields();
    void measuredTextSize_data();
    void measuredTextSize();
};

// The application font differs from the measuring font in every respect the
// reader sets, so that a setting it leaves out shows in the measured size.
void tst_SceneItems::initTestCase()
{
    QFont app(QStringLiteral("DejaVu Serif"));
    app.setStyleHint(QFont::Serif);
    app.setPixelSize(11);
    app.setBold(true);
    app.setItalic(true);
    QApplication::setFont(app);

    auto width = [](const QFont &font) { return QFontMetrics(font).width(sample); };
    const QFont serif = measuringFont("Liberation Serif", 20, false, false);
    QVERIFY2(width(serif) != width(measuringFont("Liberation Serif", 20, false, true)),
             "the tests need a font whose italic face has other widths (Debian: fonts-liberation2)");
    QVERIFY(width(serif) != width(measuringFont("Liberation Serif", 20, true, false)));
    QFont serifHint = measuringFont("NoSuchFamily", 20, false, false);
    serifHint.setStyleHint(QFont::Serif);
    QVERIFY(QFontInfo(serifHint).family() != QFontInfo(measuringFont("NoSuchFamily", 20, false, false)).family());
}

// One row: the kind is the first word of its name; @p changes are from the kind's defaults.
static void row(const char *name, const QByteArray &content, const QString &changes = QString())
{
    QTest::newRow(name) << content << changes;
}

void tst_SceneItems::readFields_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("changes");

    for (const char *kind : {"ScadaObject", "TextItem", "ScheduleItem", "RTChartItem", "DbqTextItem", "TableItem"})
        QTest::addRow("%s defaults", kind) << QByteArray() << QString();

    QByteArray emptyTags = "<TagIDs";
    for (const QString &b : bindings)
        emptyTags += " tagID_" + b.toLatin1() + "=''";
    row("ScadaObject empty",
        "<Geometry X='' Y='' W='' H='' Rot='' ZVAL='' GZVAL='' HFlip='' VFlip=''/><Properties Name='' Uid='' Type='' "
        "GroupId=''/>" + emptyTags + "/><MacroText/><Tooltip/><weblinkActive/><weblink/><limitsActive/><lowLimit/>"
        "<highLimit/><lofx/><lofy/><labelStyleSheet/><labelText/><eventAction/><eventType/><userConst1/><userConst2/>"
        "<componentUid/>",
        "tagID_" + bindings.join("=0|tagID_") + "=0|highLimit=0");
    row("ScadaObject odd numbers",
        "<Properties Uid='12abc' Type=' 4'/><TagIDs tagID_label='17' tagID_cusProp7='x' tagID_cusProp2='-2'/>"
        "<lofx>-7</lofx><highLimit>250.5</highLimit><lowLimit>-1e3</lowLimit><weblinkActive>2</weblinkActive>"
        "<limitsActive>-1</limitsActive><eventType>0x10</eventType>",
        "Type=4|tagID_label=17|tagID_cusProp7=0|tagID_cusProp2=-2|lofx=-7|highLimit=250.5|lowLimit=-1000|"
        "weblinkActive=1|limitsActive=1");
    row("ScadaObject texts",
        "<MacroText><![CDATA[  a\n b ]]></MacroText><Tooltip>   </Tooltip><componentUid> c </componentUid>"
        "<weblink><![CDATA[a]]]]><![CDATA[>b]]></weblink><labelText>%d</labelText>",
        "MacroText=  a\n b |componentUid= c |weblink=a]]>b|labelText=%d");
    row("ScadaObject first of each name",
        "<userConst1>1</userConst1><userConst1>2</userConst1><Properties Uid='5' Name='n'/><Properties Uid='6'/>"
        "<TagIDs tagID_image='3'/><TagIDs tagID_image='4'/><Geometry X='3.9'/><Geometry X='8'/>",
        "userConst1=1|Uid=5|Name=n|tagID_image=3|X=3");

    row("ScheduleItem geometry", "<Geometry X='12.7' Y='-3.9' W='12.5' H='40' Rot='9x' ZVAL='-2' GZVAL='+3' HFlip='2' "
                                 "VFlip='-1'/>", "X=12|Y=-3|H=40|ZVAL=-2|GZVAL=3|HFlip=1|VFlip=1");
    row("ScheduleItem geometry cut toward zero", "<Geometry X='-0.5' Y='1.5e3'/>", "Y=1500");
    row("ScheduleItem geometry int range", "<Geometry X='2147483520' Y='-2147483648'/>", "X=2147483520|Y=-2147483648");
    row("ScheduleItem geometry beyond int", "<Geometry X='2147483648' Y='-3e9'/>");
    row("ScheduleItem geometry not numbers", "<Geometry X='nan' Y='1e39' W='inf'/><Properties GroupId='-1'/>");
    row("TableItem largest GroupId", "<Properties GroupId='18446744073709551615'/>", "GroupId=18446744073709551615");
    row("DbqTextItem GroupId beyond", "<Properties GroupId='18446744073709551616'/>");
    row("ScheduleItem tags", "<TagIDs><Tag>7</Tag><Other/><Tag>3</Tag><Tag/><Tag>x</Tag><Tag>7</Tag></TagIDs>"
                             "<TagIDs><Tag>1</Tag></TagIDs>", "TagIDs=[7,3,0,0,7]");

    row("TextItem empty",
        "<ItemText/><TextColor/><BgColor/><TextPixelSize/><Alignment/><ZVal/><GZVal/><DrawPaper/><IsItalic/>"
        "<IsUnderlined/><Family/><IsBold/><SvgElement/><Width/><Height/><Rot/><ItemPosX/><ItemPosY/><TextSize/>",
        "Family=|W=0|H=0");
    row("TextItem blanks", "<TextColor>  </TextColor><BgColor> </BgColor><Family>  </Family><SvgElement> </SvgElement>"
                           "<ItemText><![CDATA[   ]]></ItemText>", "ItemText=   |Family=");
    row("TextItem values",
        "<ItemPosX>12.9</ItemPosX><ItemPosY>-3.7</ItemPosY><Geometry X='50' HFlip='1' VFlip='1'/><IsBold>2</IsBold>"
        "<IsItalic>3</IsItalic><IsUnderlined>-4</IsUnderlined><DrawPaper>5</DrawPaper><Alignment>132</Alignment>"
        "<TextColor>red-ish</TextColor><BgColor>#FfF</BgColor>",
        "X=12|Y=-3|IsBold=1|IsItalic=1|IsUnderlined=1|DrawPaper=1|Alignment=132|TextColor=red-ish|BgColor=#FfF");
    row("TextItem group", "<Properties GroupId='9' GZVAL='4'/><ZVal>3</ZVal><Rot>-90</Rot>", "GroupId=9|ZVAL=3|Rot=-90");
    row("TextItem GZVal", "<GZVal>4</GZVal>", "GZVAL=4");
    row("TextItem pixel size first", "<TextPixelSize>18</TextPixelSize><TextSize>10</TextSize>", "TextPixelSize=18");
    row("TextItem pixel size 0", "<TextPixelSize>0</TextPixelSize><TextSize>10</TextSize>", "TextPixelSize=10");
    row("TextItem pixel size -1", "<TextPixelSize>-1</TextPixelSize><TextSize>10</TextSize>", "TextPixelSize=10");
    row("TextItem pixel size -2", "<TextPixelSize>-2</TextPixelSize><TextSize>10</TextSize>", "TextPixelSize=-2");
    row("TextItem pixel size junk", "<TextPixelSize>big</TextPixelSize><TextSize>11</TextSize>", "TextPixelSize=11");
    row("TextItem older size only", "<TextSize>12</TextSize>", "TextPixelSize=12");

    row("RTChartItem empty", "<TagIDs/><BgColor/><TxtColor/><ShowLegend/><FollowLastVal/><RescaleValAxis/>"
                             "<ShowLastSeconds/><UpperLimit/><LowerLimit/>",
        "BgColor=|TxtColor=|ShowLegend=0|FollowLastVal=0|RescaleValAxis=0|ShowLastSeconds=0");
    row("RTChartItem lines", "<TagIDs><Tag>12</Tag><TagData Tag='4' LineStyle='2' LineColor=' blue '/><Tag/><TagData/>"
                             "<TagData LineColor='' Tag='x' LineStyle='y'/></TagIDs><TagIDs><Tag>1</Tag></TagIDs>",
        "TagIDs=[4/2/ blue ,-1/0/#FF0000,0/0/,12/0/#FF0000,0/0/#FF0000]");
    row("RTChartItem values", "<BgColor>  </BgColor><UpperLimit>90</UpperLimit><LowerLimit>-10</LowerLimit>"
                              "<ShowLastSeconds>x</ShowLastSeconds><FollowLastVal>0</FollowLastVal>",
        "BgColor=|UpperLimit=90|LowerLimit=-10|ShowLastSeconds=0|FollowLastVal=0");

    row("DbqTextItem empty", "<bgColor/><txtColor/><labelText/><labelStyleSheet/><txtPixelSize/><reportUnit/>"
                             "<reportType/><reportTag/><updateInterval/><timeFactor/><lofx/><lofy/>",
        "bgColor=|txtColor=|labelText=|labelStyleSheet=|txtPixelSize=0|reportUnit=0|timeFactor=0|updateInterval=0|"
        "reportTag=0");
    row("DbqTextItem texts", "<labelText>   </labelText><txtColor> Flow: </txtColor><reportTag>12x</reportTag>",
        "labelText=|txtColor= Flow: |reportTag=0");

    row("TableItem grid",
        "<TableData><ColumnGroup><Column/><Junk width='9'/><Column width='x'/><Column width='80'/></ColumnGroup>"
        "<ColumnGroup><Column width='1'/></ColumnGroup><Row><CellText>a</CellText><CellText>  </CellText></Row><Row/>"
        "<Row><CellText><![CDATA[x]]]]><![CDATA[>y]]></CellText><Junk/><CellText/></Row></TableData>"
        "<TableData><Row/></TableData>",
        "columnWidths=[30,0,80]|rows=[[a,],[],[x]]>y,]]");
}

void tst_SceneItems::readFields()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, changes);
    const QString kind = QString(QTest::currentDataTag()).section(' ', 0, 0);
    // Text items get a stored size (after the row's own, which comes first) so that nothing is measured here.
    const QByteArray size = kind == "TextItem" ? "<Width>1</Width><Height>2</Height>" : "";
    const QByteArray item = "<Item><ItemType>" + kind.toLatin1() + "</ItemType>" + content + size + "</Item>";
    QCOMPARE(itemFields(item), withChanges(kindDefaults(kind), changes));
}

// The size a text item without a stored one reads as: twice the width of
// @p text, at most 800, by four lines, in the measuring font.
static QString measured(const QString &family, int pixelSize, bool bold, bool italic, int w = -1, int h = -1)
{
    const QFontMetrics m(measuringFont(family, pixelSize, bold, italic));
    return QString("W=%1|H=%2").arg(w < 0 ? qMin(2 * m.width(sample), 800) : w).arg(h < 0 ? 4 * m.height() : h);
}

void tst_SceneItems::measuredTextSize_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("size");
    const QByteArray text = "<ItemText>" + sample.toLatin1() + "</ItemText>";
    const QByteArray serif = text + "<Family>Liberation Serif</Family><TextPixelSize>20</TextPixelSize>";
    QTest::newRow("nothing stored") << QByteArray() << measured("Arial", 0, false, false, 0);
    QTest::newRow("regular") << serif << measured("Liberation Serif", 20, false, false);
    QTest::newRow("bold italic") << serif + "<IsBold>1</IsBold><IsItalic>1</IsItalic>"
                                 << measured("Liberation Serif", 20, true, true);
    QTest::newRow("unknown family") << text + "<Family>NoSuchFamily</Family><TextPixelSize>20</TextPixelSize>"
                                    << measured("NoSuchFamily", 20, false, false);
    QTest::newRow("older size") << text + "<Family>Liberation Serif</Family><TextPixelSize>-1</TextPixelSize><TextSize>30</TextSize>"
                                << measured("Liberation Serif", 30, false, false);
    QTest::newRow("at most 800") << "<ItemText>" + QByteArray(200, 'W') + "</ItemText><TextPixelSize>30</TextPixelSize>"
                                 << measured("Arial", 30, false, false, 800);
    QTest::newRow("width stored") << serif + "<Width>7</Width>" << measured("Liberation Serif", 20, false, false, 7);
    QTest::newRow("height stored") << serif + "<Height>0</Height>" << measured("Liberation Serif", 20, false, false, -1, 0);
}

void tst_SceneItems::measuredTextSize()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, size);
    QCOMPARE(itemFields("<Item><ItemType>TextItem</ItemType>" + content + "</Item>").section('|', 2, 3), size);
}

QTEST_MAIN(tst_SceneItems)
#include "tst_sceneitems.moc"
