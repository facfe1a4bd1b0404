// The lint of one file against the table of what the readers read: each
// rule on the smallest document that shows it, with the line and record of
// what it finds.

#include "project/fileLint.h"

#include <QtTest>

using ReaderVocabulary::FileKind;

Q_DECLARE_METATYPE(FileKind)

namespace {

// "W202 3 component "P" (Uid 7)" for each finding: code, line, record.
QStringList described(const FileLint &lint)
{
    QStringList lines;
    for (const Finding &f : lint.findings)
        lines << QStringLiteral("%1 %2 %3").arg(QLatin1String(findingCodeInfo(f.code).id)).arg(f.line).arg(f.record.text()).trimmed();
    return lines;
}

// @p n times @p line.
QStringList times(int n, const char *line)
{
    QStringList lines;
    while (n-- > 0)
        lines << QString::fromUtf8(line);
    return lines;
}

QByteArray page(const QByteArray &items, const QByteArray &properties = "<PageProperties/>")
{
    return "<ScadaFile>\n<ItemList>\n" + items + "</ItemList>\n" + properties + "\n</ScadaFile>\n";
}

QByteArray definitions(const QByteArray &channels, const QByteArray &tags = {}, const QByteArray &alarms = {})
{
    return "<CTDefinitions>\n<ChannelList>\n" + channels + "</ChannelList>\n<TagList>\n" + tags + "</TagList>\n<AlarmList>\n"
           + alarms + "</AlarmList>\n</CTDefinitions>\n";
}

// A channel with every element whose absence matters, and @p more.
QByteArray channel(const QByteArray &name, const QByteArray &more = {})
{
    return "<Channel><Name>" + name + "</Name><Id>1</Id><Baudrate>9600</Baudrate><ResponseTimeout>1</ResponseTimeout>"
           "<ConnectionTimeout>1</ConnectionTimeout><FrameTimeout>1</FrameTimeout><Enabled>1</Enabled>" + more + "</Channel>\n";
}

QByteArray tag(const QByteArray &more)
{
    return "<Tag><Name>T</Name><Id>4</Id><Enabled>1</Enabled>" + more + "</Tag>\n";
}

QByteArray alarm(const QByteArray &more)
{
    return "<Alarm><Id>2</Id><alarm_name>A</alarm_name><ackrequired>1</ackrequired><islogging>1</islogging>"
           "<tagID>4</tagID><limit_tag_id>-1</limit_tag_id><limit_tag2_id>-1</limit_tag2_id>" + more + "</Alarm>\n";
}

QByteArray library(const QByteArray &children)
{
    return "<scadaObjectTypes>\n<object name=\"pump\"><objectUID>3</objectUID>" + children + "</object>\n</scadaObjectTypes>\n";
}

// The start of an item of each kind, to be closed by "</Item>".
const QByteArray component = "<Item><ItemType>ScadaObject</ItemType><Properties Name=\"P\" Uid=\"7\"/>";
const QByteArray chart = "<Item><ItemType>RTChartItem</ItemType>";
const QByteArray text = "<Item><ItemType>TextItem</ItemType><Width>9</Width><Height>9</Height>";
const auto S = FileKind::Scene;
const auto D = FileKind::Definitions;
const auto L = FileKind::Library;

} // namespace

class TestFileLint : public QObject
{
    Q_OBJECT
private slots:
    void lint_data()
    {
        QTest::addColumn<FileKind>("kind");
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QStringList>("findings");

        QTest::newRow("a page as the writer writes it") << S << page(component + "<TagIDs tagID_label=\"3\"/></Item>\n")
                                                        << QStringList();
        QTest::newRow("another document element") << S << QByteArray("<?xml version=\"1.0\"?>\n<CTDefinitions/>")
                                                   << QStringList{"E103 2"};
        QTest::newRow("unknown beside the items") << S << QByteArray("<ScadaFile>\n<ItemLists/>\n</ScadaFile>")
                                                  << QStringList{"W202 2"};
        QTest::newRow("attribute of a list") << S << QByteArray("<ScadaFile>\n<ItemList sorted=\"1\"/>\n</ScadaFile>")
                                             << QStringList{"W203 2"};
        QTest::newRow("a second item list") << S << page("", "<ItemList><Item/></ItemList>") << QStringList{"W204 4"};
        QTest::newRow("an item of no kind") << S << page("<Item>\n<ItemType>Gauge</ItemType><Junk/></Item>\n")
                                            << QStringList{"W201 4 item 1"};
        QTest::newRow("a kind with blanks") << S << page("<Item><ItemType> TextItem </ItemType></Item>\n")
                                            << QStringList{"W201 3 item 1"};
        QTest::newRow("an item without kind") << S << page("<Item><Properties Uid=\"9\"/></Item>\n")
                                              << QStringList{"W201 3 component \"\" (Uid 9)"};
        QTest::newRow("the places of a kind") << S << page(chart + "</Item>\n" + component + "</Item>\n" + chart + "\n<Bg/></Item>\n")
                                              << QStringList{"W202 6 chart 2"};
        QTest::newRow("a binding misspelt") << S << page(component + "<TagIDs\ntagID_labl=\"3\"/></Item>\n")
                                            << QStringList{"W203 4 component \"P\" (Uid 7)"};
        QTest::newRow("a second field") << S << page(component + "<lofx>1</lofx>\n<lofx>2</lofx></Item>\n")
                                        << QStringList{"W204 4 component \"P\" (Uid 7)"};
        QTest::newRow("number with a unit") << S << page(component + "<lofy>4px</lofy></Item>\n") << QStringList{"W205 3 component \"P\" (Uid 7)"};
        QTest::newRow("number empty") << S << page(component + "<lofy> </lofy></Item>\n") << QStringList{"W205 3 component \"P\" (Uid 7)"};
        QTest::newRow("group id negative") << S << page(chart + "<Properties GroupId=\"-1\"/></Item>\n") << QStringList{"W205 3 chart 1"};
        QTest::newRow("flag as a word") << S << page(component + "<weblinkActive>true</weblinkActive></Item>\n")
                                        << QStringList{"W205 3 component \"P\" (Uid 7)"};
        QTest::newRow("limit not finite") << S << page(component + "<highLimit>inf</highLimit></Item>\n")
                                          << QStringList{"W205 3 component \"P\" (Uid 7)"};
        QTest::newRow("position cut") << S << page(chart + "<Geometry X=\"-3.5\" Y=\"4\"/></Item>\n") << QStringList{"W206 3 chart 1"};
        QTest::newRow("position beyond any") << S << page(chart + "<Geometry X=\"1e12\"/></Item>\n") << QStringList{"W205 3 chart 1"};
        QTest::newRow("position whole") << S << page(chart + "<Geometry X=\"12.0\" Y=\" 7 \"/></Item>\n") << QStringList();
        QTest::newRow("colours") << S << page(chart + "<BgColor>red</BgColor><TxtColor>#12345</TxtColor></Item>\n")
                                 << QStringList{"W208 3 chart 1"};
        QTest::newRow("colour empty") << S << page(chart + "<BgColor/></Item>\n") << QStringList{"W208 3 chart 1"};
        QTest::newRow("text colour empty, its default") << S << page(text + "<TextColor></TextColor></Item>\n") << QStringList();
        QTest::newRow("line colour") << S << page(chart + "<TagIDs><TagData LineColor=\"blu\"/><Tag>x</Tag></TagIDs></Item>\n")
                                     << QStringList{"W208 3 chart 1", "W205 3 chart 1"};
        QTest::newRow("text item keeps no geometry") << S << page(text + "\n<Geometry/><Properties GZVAL=\"2\"/></Item>\n")
                                                     << QStringList{"W202 4 text 1"};
        QTest::newRow("group Z value of a text") << S << page(text + "<Properties GZVAL=\"z\"/></Item>\n")
                                                 << QStringList{"W205 3 text 1"};
        QTest::newRow("table") << S << page("<Item><ItemType>TableItem</ItemType><TableData><ColumnGroup><Column width=\"w\"/>"
                                            "</ColumnGroup><Row><CellText>a</CellText><Cell/></Row></TableData></Item>\n")
                               << QStringList{"W205 3 table 1", "W202 3 table 1"};
        QTest::newRow("scrolling texts") << S << page("", "<PageProperties>\n<ScrollTags><Tag TagID=\"1\"/>\n<Tag TagID=\"x\"/>"
                                                          "</ScrollTags></PageProperties>")
                                         << QStringList{"W205 6 scrolling text 2"};
        QTest::newRow("page size") << S << page("", "<PageProperties><pageGeometry W=\"wide\"/><pageID/></PageProperties>")
                                   << QStringList{"W205 4 page", "W205 4 page"};

        QTest::newRow("whitespace only") << S << page(text + "<Family> \n </Family></Item>\n") << QStringList{"W209 3 text 1"};
        QTest::newRow("whitespace only, a reference") << S << page(text + "<SvgElement>&#160;</SvgElement></Item>\n")
                                                      << QStringList{"W209 3 text 1"};
        QTest::newRow("text colour of whitespace") << S << page(text + "<TextColor>  </TextColor></Item>\n") << QStringList{"W209 3 text 1"};
        QTest::newRow("whitespace in CDATA") << S << page(text + "<Family><![CDATA[ ]]></Family></Item>\n") << QStringList();
        QTest::newRow("chart colour of whitespace, no colour") << S << page(chart + "<BgColor> </BgColor></Item>\n")
                                                               << QStringList{"W208 3 chart 1"};
        QTest::newRow("text without a size") << S << page("<Item><ItemType>TextItem</ItemType></Item>\n") << QStringList{"W210 3 text 1"};
        QTest::newRow("text without a height") << S << page("<Item><ItemType>TextItem</ItemType><Width>0</Width></Item>\n")
                                               << QStringList{"W210 3 text 1"};
        QTest::newRow("control character") << S << page(component + "<Tooltip>a\x01" "b</Tooltip></Item>\n")
                                           << QStringList{"W211 3 component \"P\" (Uid 7)"};
        QTest::newRow("control in CDATA") << S << page(text + "<ItemText><![CDATA[\x1b]]></ItemText></Item>\n") << QStringList{"W211 3 text 1"};
        QTest::newRow("reference to a control") << S << page(component + "<TagIDs/></Item>\n").replace("Name=\"P\"", "Name=\"&#x1F;\"")
                                                << QStringList{"W211 3 component \"\xef\xbf\xbd\" (Uid 7)"};
        QTest::newRow("reference beyond Unicode") << S << page(text + "<ItemText>a&#1114112;</ItemText></Item>\n") << QStringList{"W211 3 text 1"};
        QTest::newRow("reference to U+FFFF") << S << page(text + "<ItemText>&#xFFFF;</ItemText></Item>\n") << QStringList{"W211 3 text 1"};
        QTest::newRow("references XML holds") << S << page(text + "<ItemText>&#9;&#x1F600;&#65533;</ItemText></Item>\n")
                                              << QStringList{"W102 3 text 1"};
        QTest::newRow("control in an element not read") << S << page(component + "<Junk>\x01</Junk></Item>\n")
                                                        << QStringList{"W202 3 component \"P\" (Uid 7)"};
        QTest::newRow("definitions keep whitespace") << D << definitions({}, tag("<Description> </Description>")) << QStringList();
        QTest::newRow("definitions as written") << D << definitions(channel("A"), tag("<Kanal_Id>1</Kanal_Id>"), alarm({}))
                                                << QStringList();
        QTest::newRow("channel without its settings") << D << definitions("<Channel>\n<Name>A</Name><Enabled>1</Enabled></Channel>\n")
                                                      << times(4, "W207 3 channel \"A\" (Id -1)");
        QTest::newRow("alarm without its switches") << D << definitions({}, {}, "<Alarm><Id>2</Id><alarm_name>A</alarm_name></Alarm>\n")
                                                    << times(5, "W207 7 alarm \"A\" (Id 2)");
        QTest::newRow("the None channel is not read") << D << definitions("<Channel><Name>None</Name><Junk/></Channel>\n" + channel("A", "<Junk/>"))
                                                      << QStringList{"W202 4 channel \"A\" (Id 1)"};
        QTest::newRow("low 8 bits") << D << definitions({}, tag("<IsLogging>-1</IsLogging><PriLevel>300</PriLevel><TagType>127</TagType>"))
                                    << times(2, "W206 5 tag \"T\" (Id 4)");
        QTest::newRow("unsigned negative") << D << definitions({}, tag("<PollFrequency>-5</PollFrequency>")) << QStringList{"W205 5 tag \"T\" (Id 4)"};
        QTest::newRow("blank number") << D << definitions({}, tag("<VariableSize> </VariableSize><Station> </Station>"))
                                      << QStringList{"W205 5 tag \"T\" (Id 4)", "W202 5 tag \"T\" (Id 4)"};
        QTest::newRow("a number with its blanks") << D << definitions({}, tag("<VariableSize>\n 2 \n</VariableSize>")) << QStringList();
        QTest::newRow("subscribers") << D << definitions({}, {}, alarm("<subscribers>{5,,x,7}</subscribers>"))
                                     << QStringList{"W205 7 alarm \"A\" (Id 2)"};
        QTest::newRow("tag in the channel list") << D << definitions(tag({})) << QStringList{"W202 3"};
        QTest::newRow("references") << D << definitions({}, tag("<LoggingFreq>&#49;.5</LoggingFreq><Macro>a&amp;b</Macro>")) << QStringList();

        QTest::newRow("library as written") << L << library("<image1>a.png</image1><image2>b.png</image2>") << QStringList();
        QTest::newRow("images in any order") << L << library("<image2>b.png</image2><image1>a.png</image1>") << QStringList();
        QTest::newRow("an image after a gap") << L << library("<image1>a.png</image1>\n<image3>c.png</image3>")
                                              << QStringList{"W202 3 library component \"pump\" (objectUID 3)"};
        QTest::newRow("an image twice") << L << library("<image1>a.png</image1>\n<image1>b.png</image1>")
                                        << QStringList{"W204 3 library component \"pump\" (objectUID 3)"};
        QTest::newRow("images not numbered so") << L << library("<image0/><image01/><image/>")
                                                << times(3, "W202 2 library component \"pump\" (objectUID 3)");
        QTest::newRow("a value of a fraction") << L << library("<m_val>2.5</m_val>") << QStringList{"W205 2 library component \"pump\" (objectUID 3)"};

        QTest::newRow("undeclared Latin-1") << S << page(text + "<ItemText>S\xfc" "d</ItemText></Item>\n") << QStringList{"W101 3"};
        QTest::newRow("declared UTF-8, Latin-1")
            << S << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + page(text + "<ItemText>S\xfc" "d</ItemText></Item>\n")
            << QStringList{"W102 4 text 1"};
        QTest::newRow("declared Latin-1") << S << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n" + page(text + "<ItemText>S\xfc" "d</ItemText></Item>\n")
                                          << QStringList();
        QTest::newRow("U+FFFD saved before") << S << page(text + "<ItemText>S\xef\xbf\xbd" "d</ItemText></Item>\n")
                                             << QStringList{"W102 3 text 1"};
        QTest::newRow("U+FFFD in an attribute") << S << page(component + "<TagIDs/></Item>\n").replace("Name=\"P\"", "Name=\"\xef\xbf\xbd\"")
                                                << QStringList{"W102 3 component \"\xef\xbf\xbd\" (Uid 7)"};
    }
    void lint()
    {
        QFETCH(FileKind, kind);
        QFETCH(QByteArray, document);
        const FileLint lint = lintFile(document, QStringLiteral("f.xml"), kind);
        QTEST(described(lint), "findings");
        for (const Finding &f : lint.findings)
            QCOMPARE(f.record.file, QString("f.xml"));
    }

    // Each code is found by its id and its name, and its letter says its severity.
    void codeTable()
    {
        QSet<QString> ids;
        for (int i = 0; i < findingCodes().size(); ++i) {
            const FindingCodeInfo &info = findingCodes().at(i);
            QCOMPARE(int(findingCodeInfo(info.code).code), i);
            QCOMPARE(info.id[0] == 'E', info.error);
            QVERIFY(findingCodeById(QLatin1String(info.id)) == info.code);
            QVERIFY(findingCodeById(QLatin1String(info.name)) == info.code);
            ids << QLatin1String(info.id) << QLatin1String(info.name);
        }
        QCOMPARE(ids.size(), 2 * findingCodes().size());
        QVERIFY(!findingCodeById(QStringLiteral("W999")));
        QVERIFY(findingCodeById(QStringLiteral("w202")) == FindingCode::UnknownElement);
    }

    // What a rewrite in canonical form does to what each finding points at.
    void rewrite_data()
    {
        QTest::addColumn<FileKind>("kind");
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QStringList>("effects"); // code and effect of each finding
        QTest::newRow("an item of no kind") << S << page("<Item><ItemType>Gauge</ItemType></Item>") << QStringList{"W201 dropped"};
        QTest::newRow("an item without kind") << S << page("<Item><Properties Uid=\"9\"/></Item>") << QStringList{"W201 kept"};
        QTest::newRow("an element") << S << page(component + "<Junk/></Item>") << QStringList{"W202 dropped"};
        QTest::newRow("an element beside the items") << S << page("", "<PageProperties/><Extra/>") << QStringList{"W202 dropped"};
        QTest::newRow("an attribute") << S << page(component + "<TagIDs tagID_lable=\"1\"/></Item>") << QStringList{"W203 dropped"};
        QTest::newRow("an element twice") << S << page(component + "<lofx>1</lofx><lofx>2</lofx></Item>") << QStringList{"W204 dropped"};
        QTest::newRow("a number") << S << page(component + "<lofx>1px</lofx></Item>") << QStringList{"W205 changed"};
        QTest::newRow("a subscriber") << D << definitions({}, tag({}), alarm("<subscribers>{x}</subscribers>")) << QStringList{"W205 dropped"};
        QTest::newRow("a position") << S << page(component + "<Geometry X=\"1.5\"/></Item>") << QStringList{"W206 changed"};
        QTest::newRow("a default") << D << definitions("<Channel><Name>A</Name><Id>1</Id><Enabled>1</Enabled><Baudrate>1</Baudrate>"
                                                       "<ResponseTimeout>1</ResponseTimeout><FrameTimeout>1</FrameTimeout></Channel>")
                                   << QStringList{"W207 kept"};
        QTest::newRow("no colour") << S << page(component + "</Item><Item><ItemType>RTChartItem</ItemType><BgColor>x</BgColor></Item>")
                                   << QStringList{"W208 kept"};
        QTest::newRow("whitespace") << S << page(text + "<Family> </Family></Item>") << QStringList{"W209 dropped"};
        QTest::newRow("a colour of whitespace") << S << page(text + "<BgColor> </BgColor></Item>") << QStringList{"W209 changed"};
        QTest::newRow("a size measured") << S << page("<Item><ItemType>TextItem</ItemType><Height>9</Height></Item>")
                                         << QStringList{"W210 invented"};
        QTest::newRow("a control character") << S << page(text + "<ItemText>&#2;</ItemText></Item>") << QStringList{"W211 dropped"};
        QTest::newRow("undeclared Latin-1") << S << page(text + "<ItemText>\xfc</ItemText></Item>") << QStringList{"W101 changed"};
        QTest::newRow("declared UTF-8, Latin-1")
            << S << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + page(text + "<ItemText>\xfc</ItemText></Item>") << QStringList{"W102 changed"};
        QTest::newRow("U+FFFD saved before") << S << page(text + "<ItemText>\xef\xbf\xbd</ItemText></Item>") << QStringList{"W102 kept"};
        QTest::newRow("U+FFFD by a reference") << S << page(text + "<ItemText>&#xFFFD;</ItemText></Item>") << QStringList{"W102 kept"};
    }
    void rewrite()
    {
        QFETCH(FileKind, kind);
        QFETCH(QByteArray, document);
        QStringList effects;
        for (const Finding &f : lintFile(document, QStringLiteral("f.xml"), kind).findings)
            effects << QLatin1String(findingCodeInfo(f.code).id) + QLatin1Char(' ') + rewriteEffectName(f.rewrite);
        QTEST(effects, "effects");
    }

    // Comments and processing instructions, which no writer writes; the XML declaration is written.
    void markup()
    {
        const QByteArray document = "<?xml version=\"1.0\"?>\n<!-- before -->\n<ScadaFile>\n  <?editor keep\n?><ItemList><Item>"
                                    "<ItemType>ScadaObject</ItemType><!--" + QByteArray(100, '-').replace("--", "- ") + "\n  x --></Item>"
                                    "</ItemList></ScadaFile>";
        QStringList found;
        for (const UnreadMarkup &m : lintFile(document, QStringLiteral("f.xml"), FileKind::Scene).markup)
            found << QStringLiteral("%1:%2 %3").arg(m.line).arg(m.column).arg(m.what);
        const QString dashes = QString("- ").repeated(28) + "-...";
        QCOMPARE(found, (QStringList{"2:1 the comment <!-- before -->", "4:3 the processing instruction <?editor?>",
                                     "5:51 the comment <!-- " + dashes + " -->"}));
    }

    // Records stand where the readers list them: the file's "None" channel is not one of them.
    void places()
    {
        const QByteArray document = definitions("<Channel><Name>None</Name></Channel>\n" + channel("A") + channel("B"),
                                                tag({}) + "\n" + tag({}));
        const FileLint lint = lintFile(document, QStringLiteral("d.xml"), FileKind::Definitions);
        QCOMPARE(lint.findings.size(), 0);
        QCOMPARE(lint.places.value("channel").size(), 2);
        QCOMPARE(lint.place("channel", 0).line, 4);
        QCOMPARE(lint.place("channel", 1).line, 5);
        QCOMPARE(lint.place("tag", 1).line, 10);
        QCOMPARE(lint.place("tag", 1).column, 1);
        QCOMPARE(lint.place("tag", 2).line, 0); // no such tag
        QCOMPARE(lint.place("alarm", 0).line, 0);
    }
};

QTEST_GUILESS_MAIN(TestFileLint)
#include "tst_fileLint.moc"
