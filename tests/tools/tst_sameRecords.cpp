// The field-by-field comparison that checks an edit in place: a change of
// any stored field of any record is found and named; what the readers do not
// store, and other forms of the same values, are not.

#include "project/sameRecords.h"

#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QtTest>

#include <memory>

namespace {

const QByteArray page = R"(<ScadaFile><ItemList>
<Item><ItemType>ScadaObject</ItemType><Geometry X="1" Y="2" W="3" H="4"/><Properties Name="P" Uid="7" GroupId="1"/>
  <TagIDs tagID_label="10" tagID_maskOpac="11" tagID_cusProp7="12"/><lowLimit>0.5</lowLimit><componentUid>pump</componentUid></Item>
<Item><ItemType>TextItem</ItemType><ItemText>t</ItemText><Width>5</Width><Height>6</Height><Properties GZVAL="2"/></Item>
<Item><ItemType>ScheduleItem</ItemType><TagIDs><Tag>1</Tag><Tag>2</Tag></TagIDs></Item>
<Item><ItemType>RTChartItem</ItemType><TagIDs><TagData Tag="3" LineColor="#111"/></TagIDs><ShowLastSeconds>60</ShowLastSeconds></Item>
<Item><ItemType>DbqTextItem</ItemType><reportTag>4</reportTag><labelText>v</labelText></Item>
<Item><ItemType>TableItem</ItemType><TableData><ColumnGroup><Column width="9"/></ColumnGroup><Row><CellText>c</CellText></Row></TableData></Item>
</ItemList><PageProperties><pageName>n</pageName><pageID>3</pageID><ScrollTags><Tag TagID="5" ScrollText="s"/></ScrollTags></PageProperties></ScadaFile>)";

const QByteArray definitions = R"(<CTDefinitions>
<ChannelList><Channel><Name>c</Name><Id>1</Id><Baudrate>9600</Baudrate></Channel></ChannelList>
<TagList><Tag><Name>a</Name><Id>10</Id><LoggingFreq>0.5</LoggingFreq></Tag><Tag><Name>b</Name><Id>11</Id></Tag></TagList>
<AlarmList><Alarm><Id>1</Id><tagID>10</tagID><subscribers>{1,2}</subscribers><limitVal>nan</limitVal></Alarm></AlarmList>
</CTDefinitions>)";

QByteArray changed(QByteArray bytes, const char *from, const char *to)
{
    return bytes.replace(from, to);
}

} // namespace

class TestSameRecords : public QObject
{
    Q_OBJECT
private slots:
    void pages_data()
    {
        QTest::addColumn<QByteArray>("other");
        QTest::addColumn<QString>("difference");
        QTest::newRow("same bytes") << page << "";
        QTest::newRow("other forms of the same values") << changed(changed(page, "Uid=\"7\"", "Uid=' 7'"), "<lowLimit>0.5", "<lowLimit>5e-1")
                                                      << "";
        QTest::newRow("an element no reader reads") << changed(page, "<Tag>1</Tag>", "<Tag>1</Tag><Other/>") << "";
        QTest::newRow("page property") << changed(page, "<pageID>3", "<pageID>4") << "page: pageID";
        QTest::newRow("scrolling text") << changed(page, "TagID=\"5\"", "TagID=\"6\"") << "page: ScrollTags";
        QTest::newRow("geometry") << changed(page, "H=\"4\"", "H=\"5\"") << "component 1: H";
        QTest::newRow("group") << changed(page, "GroupId=\"1\"", "GroupId=\"2\"") << "component 1: GroupId";
        QTest::newRow("binding") << changed(page, "tagID_maskOpac=\"11\"", "tagID_maskOpac=\"12\"") << "component 1: tagID_maskOpac";
        QTest::newRow("last binding") << changed(page, "tagID_cusProp7=\"12\"", "tagID_cusProp7=\"13\"") << "component 1: tagID_cusProp7";
        QTest::newRow("limit") << changed(page, "<lowLimit>0.5", "<lowLimit>0.25") << "component 1: lowLimit";
        QTest::newRow("last component field") << changed(page, ">pump<", ">tank<") << "component 1: componentUid";
        QTest::newRow("text's group Z value") << changed(page, "GZVAL=\"2\"", "GZVAL=\"3\"") << "text 1: GZVAL";
        QTest::newRow("text") << changed(page, "<ItemText>t", "<ItemText>u") << "text 1: ItemText";
        QTest::newRow("schedule") << changed(page, "<Tag>2</Tag>", "<Tag>3</Tag>") << "schedule 1: TagIDs";
        QTest::newRow("schedule tag added") << changed(page, "<Tag>2</Tag>", "<Tag>2</Tag><Tag>2</Tag>") << "schedule 1: TagIDs";
        QTest::newRow("chart line colour") << changed(page, "#111", "#112") << "chart 1: TagIDs";
        QTest::newRow("chart") << changed(page, ">60<", ">61<") << "chart 1: ShowLastSeconds";
        QTest::newRow("query text") << changed(page, "<reportTag>4", "<reportTag>5") << "query text 1: reportTag";
        QTest::newRow("table cell") << changed(page, ">c<", ">d<") << "table 1: rows";
        QTest::newRow("table column") << changed(page, "width=\"9\"", "width=\"8\"") << "table 1: columnWidths";
        QTest::newRow("item gone") << changed(page, "<ItemType>TableItem</ItemType>", "<ItemType>Tableitem</ItemType>")
                                   << "table 1 and 0 records";
    }
    void pages()
    {
        QFETCH(QByteArray, other);
        using Page = std::unique_ptr<ScaFileData, void (*)(ScaFileData *)>;
        const Page a(ScaFileProcessor::loadFileData(page, QString()), destroyScaFileData);
        const Page b(ScaFileProcessor::loadFileData(other, QString()), destroyScaFileData);
        QVERIFY(a && b);
        QFETCH(QString, difference);
        QCOMPARE(pageDifference(*a, *b), difference);
        if (!difference.contains("records"))
            QCOMPARE(pageDifference(*b, *a), difference);
    }

    void definitionsFiles_data()
    {
        QTest::addColumn<QByteArray>("other");
        QTest::addColumn<QString>("difference");
        QTest::newRow("same bytes, a not-a-number included") << definitions << "";
        QTest::newRow("other forms of the same values") << changed(definitions, "<Id>11</Id>", "<Id><![CDATA[11]]></Id>") << "";
        QTest::newRow("channel") << changed(definitions, ">9600<", ">19200<") << "channel 1: Baudrate";
        QTest::newRow("the loader's None channel is not the file's") << changed(definitions, "<ChannelList>", "<ChannelList><Channel><Name>None</Name><Id>4</Id></Channel>") << "";
        QTest::newRow("tag id") << changed(definitions, "<Id>11</Id>", "<Id>12</Id>") << "tag 2: Id";
        QTest::newRow("tag name") << changed(definitions, "<Name>a</Name>", "<Name>A</Name>") << "tag 1: Name";
        QTest::newRow("tag value") << changed(definitions, "0.5", "0.25") << "tag 1: LoggingFreq";
        QTest::newRow("alarm binding") << changed(definitions, "<tagID>10", "<tagID>11") << "alarm 1: tagID";
        QTest::newRow("alarm list") << changed(definitions, "{1,2}", "{2,1}") << "alarm 1: subscribers";
        QTest::newRow("alarm value") << changed(definitions, ">nan<", ">1<") << "alarm 1: limitVal";
        QTest::newRow("tag gone") << changed(definitions, "<Tag><Name>b</Name><Id>11</Id></Tag>", "") << "tag 2 and 1 records";
    }
    void definitionsFiles()
    {
        QFETCH(QByteArray, other);
        using Tree = std::unique_ptr<FileDataTree, void (*)(FileDataTree *)>;
        const Tree a(TgchFileProcessor::loadFileData(definitions), destroyFileDataTree);
        const Tree b(TgchFileProcessor::loadFileData(other), destroyFileDataTree);
        QFETCH(QString, difference);
        QCOMPARE(definitionsDifference(*a, *b), difference);
        if (!difference.contains("records"))
            QCOMPARE(definitionsDifference(*b, *a), difference);
    }
};

QTEST_MAIN(TestSameRecords)
#include "tst_sameRecords.moc"
