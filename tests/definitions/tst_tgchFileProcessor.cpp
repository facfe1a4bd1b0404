#include "../common/definitionsRecords.h"
#include "../common/files.h"
#include "../common/heap.h"
#include "../common/sanitizers.h"

#include <zadururu/definitions/definitionsLoad_p.h>
#include <zadururu/definitions/tgchFileProcessor.h>
#include <tarnwickhost/openedFile.h>

#include <QDir>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// One line per record: "C ", "T " or "A " and its values.
QStringList describe(const FileDataTree *tree)
{
    QStringList out;
    for (const pKanalDef_t *c : tree->channels)
        out << "C " + values(*c).join('|');
    for (const pEtiketDef_t *t : tree->tags)
        out << "T " + values(*t).join('|');
    for (const pAlarmItem_t *a : tree->alarms)
        out << "A " + values(*a).join('|');
    return out;
}

const QString noneChannel = "C None|-1|0|0|0|127.0.0.1|1080|1081|0.0.0.0|11|115200|8|1|0|6000|6000|3000|-1| |1||";
// Records read from elements that hold only the children named here.
QString channel(const QString &name, int id, int group = -1)
{ return QString("C %1|%2|0|0|0||0|0||0|0|0|0|0|0|0|0|%3||0||").arg(name).arg(id).arg(group); }
QString tag(const QString &name, int id)
{ return QString("T %1|0||-1|||0|0|%2||0|0|0|0|0|0|0|0|0|0||0|||0").arg(name).arg(id); }
const QString emptyAlarm = "A 0||||0|0|0|0|0|0|0|0|0|0|0|0|0|0|{}|0";
// An imported tag: the constructor defaults but for these fields.
QString csvTag(const QString &name, const QString &address, int size, int type)
{ return QString("T %1|3||-1|1|%2|%3|%4|0||0|0|0|0|0|0|0|0|0|0||1|||0").arg(name, address).arg(size).arg(type); }

// The child elements in the tree writer's order; '*' marks a CDATA section.
const QStringList channelElements = QString(
    "*Name Id MediaType SocketType ProtokolType *ServerIP ServerPORT ListenPORT FilterIP Comport Baudrate Databit "
    "Stopbit Paritybit ResponseTimeout ConnectionTimeout FrameTimeout GroupID Station Enabled LogicProPath "
    "Description").split(' ');
const QStringList tagElements = QString(
    "*Name PollFrequency KanalName Kanal_Id DeviceAddress VariableAddress VariableSize VariableType Id *Macro "
    "IsLogging PriLevel TagType SchedulerIndex LoggingFreq LoggingMethod ReadRight1 ReadRight2 WriteRight1 "
    "WriteRight2 Keywords Enabled Description UnitName Protocolobjecttype").split(' ');
const QStringList alarmElements = QString("Id *alarm_name alarm_desc alarm_class enabled ackrequired islogging tagID "
    "alarm_type alarm_level comp_type limitVal checkVal1 checkVal2 limit_tag_id limit_tag2_id readRight1 readRight2 "
    "subscribers currentState").split(' ');
// The table writer's: FilterIP and KanalName as CDATA too, Kanal_Id after Macro.
const QStringList channelColumns = QStringList(channelElements).replaceInStrings("FilterIP", "*FilterIP");
const QStringList tagColumns = [] { QStringList c = tagElements; c.move(3, 9); c[2] = "*KanalName"; return c; }();
QString inTableOrder(const QString &tag) { QStringList f = tag.split('|'); f.move(3, 9); return f.join('|'); }

// Records (fields joined by '|') whose values differ from field to field and from the
// defaults, in the writers' forms, so that a field read, written or placed wrong shows.
const QString channelSample = "]]>Line <A&B>|-101|-102|-103|-104|10.0.0.5|3000000006|3000000007|10.0.0.8"
    "|3000000009|3000000010|3000000011|3000000012|-113|3000000014|3000000015|3000000016|-117| st 18 |1|/p/20|desc 21";
const QString tagSample = "Tag <1>|2002|Line A|-104|dev 5|DB6|2007|-108|-109|m ]]> <10>|211|212|-113|-114|115.5|-116"
    "|9000000000000000117|-9000000000000000118|9000000000000000119|-9000000000000000120|kw 21|0|desc 23|unit 24|-125";
const QString alarmSample = "-201|High <2>|desc 3|class 4|-5|-6|-7|-208|-9|-10|-11|12.5|-13.25|14.125|-215|-216"
    "|9000000000000000217|-9000000000000000218|{19,-20,21}|-222";
const QStringList sampleTree = {noneChannel, "C " + channelSample, "T " + tagSample, "A " + alarmSample};

// One record element as a writer lays it out, two levels deep, @p indent per level.
QByteArray record(const QByteArray &indent, const char *item, const QStringList &elements, const QString &fields)
{
    const QStringList texts = fields.split('|');
    QByteArray out = indent + indent + '<' + item + ">\n";
    for (int i = 0; i < elements.size(); ++i) {
        const QByteArray name = QString(elements.at(i)).remove('*').toUtf8();
        QByteArray text = texts.at(i).toUtf8();
        // A CDATA text holding the end marker is split into two sections there.
        if (elements.at(i).startsWith('*'))
            text = "<![CDATA[" + text.replace("]]>", "]]]]><![CDATA[>") + "]]>";
        out += indent + indent + indent + '<' + name + '>' + text + "</" + name + ">\n";
    }
    return out + indent + indent + "</" + item + ">\n";
}
QByteArray list(const QByteArray &indent, const char *name, const QByteArray &records)
{
    return records.isEmpty() ? indent + '<' + name + "/>\n"
                             : indent + '<' + name + ">\n" + records + indent + "</" + name + ">\n";
}
QByteArray treeFile(const QByteArray &channels, const QByteArray &tags, const QByteArray &alarms)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<CTDefinitions>\n" + list("    ", "ChannelList", channels)
        + list("    ", "TagList", tags) + list("    ", "AlarmList", alarms) + "</CTDefinitions>\n";
}

// An editing table with one row of @p fields, in the order of @p columns:
// column 0 holds the Id, column 1 the Name, and the others follow in order.
std::unique_ptr<QStandardItemModel> table(const QStringList &columns, const QString &fields)
{
    auto model = std::make_unique<QStandardItemModel>(1, columns.size());
    for (int i = 0, next = 2; i < columns.size(); ++i)
        model->setItem(0, columns.at(i) == "Id" ? 0 : columns.at(i) == "*Name" ? 1 : next++,
                       new QStandardItem(fields.split('|').at(i)));
    return model;
}

} // namespace

class TestTgchFileProcessor : public QObject
{
    Q_OBJECT
private slots:
    void constructorDefaults()
    {
        const pEtiketDef_t t;
        QCOMPARE("C " + values(pKanalDef_t()).join('|'), QString(noneChannel).replace("None", "Channel0"));
        QCOMPARE(values(t).join('|'), QString("Tag|1000||-1|1|0|2|1|0||0|0|0|0|0|0|0|0|0|0||1|||0"));
        QCOMPARE(values(pAlarmItem_t()).join('|'), QString("-1|||General|0|1|1|-1|0|0|0|0|0|0|-1|-1|0|0|{}|0"));
        QVERIFY(t.hostFlag && t.hostText.isEmpty() && !(t.hostData1 | t.hostData2 | t.hostData3 | t.hostData4));
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("records");
        QTest::newRow("empty") << QByteArray() << QStringList{noneChannel};
        QTest::newRow("not-well-formed") << QByteArray("<CTDefinitions><ChannelList>") << QStringList{noneChannel};
        QTest::newRow("too-deep") << "<CTDefinitions><ChannelList><Channel><Description>"
                + QByteArray("<x>").repeated(300) + QByteArray("</x>").repeated(300)
                + "</Description></Channel></ChannelList></CTDefinitions>" << QStringList{noneChannel};
        // Any root, lists in any order, only the first list of a name, and
        // only a channel named exactly "None" gives way to the loader's own.
        QTest::newRow("lists-anywhere")
            << QByteArray("<Other><AlarmList><Alarm/></AlarmList><TagList><Tag><Id>4</Id></Tag><Channel/></TagList>"
                          "<ChannelList><Tag/><Channel><Name>None</Name><Id>9</Id></Channel>"
                          "<Channel><Name>none</Name></Channel><Channel><Name><![CDATA[None ]]></Name></Channel>"
                          "<Channel><Name>none</Name></Channel></ChannelList><ChannelList><Channel/></ChannelList>"
                          "<TagList><Tag/></TagList></Other>")
            << QStringList{noneChannel, channel("none", -1), channel("None ", -1), channel("none", -1), tag("", 4),
                           emptyAlarm};
        QTest::newRow("first-of-a-name")
            << QByteArray("<CTDefinitions><ChannelList><Channel><GroupID>4</GroupID><x/><Name>A</Name><Name>B</Name>"
                          "<Id>9</Id><Id>8</Id></Channel></ChannelList><TagList><Tag><Id>7</Id><Other>1</Other>"
                          "<Name>first</Name><Id>8</Id><Name>second</Name></Tag></TagList></CTDefinitions>")
            << QStringList{noneChannel, channel("A", 9, 4), tag("first", 7)};

        // A field after the last one in table order is still looked up in the whole table.
        QTest::newRow("after-the-last-field")
            << QByteArray("<CTDefinitions><AlarmList><Alarm><currentState>3</currentState><Id>4</Id></Alarm></AlarmList></CTDefinitions>")
            << QStringList{noneChannel, "A 4||||0|0|0|0|0|0|0|0|0|0|0|0|0|0|{}|3"};

        // A record holding one element: all its other fields take their absent values.
        const auto conversion = [](const char *name, const QString &kind, const QString &element, const QString &text,
                                   const QString &value) {
            const QString empty = kind == "Channel" ? channel("", -1) : kind == "Tag" ? tag("", 0) : emptyAlarm;
            QStringList fields = empty.mid(2).split('|');
            const QStringList &names = kind == "Channel" ? channelElements
                                       : kind == "Tag"   ? tagElements : alarmElements;
            fields[qMax(names.indexOf(element), names.indexOf('*' + element))] = value;
            const QString xml = QString("<CTDefinitions><%1List><%1><%2>%3</%2></%1></%1List></CTDefinitions>");
            QTest::newRow(name) << xml.arg(kind, element, text).toUtf8()
                                << QStringList{noneChannel, empty.left(2) + fields.join('|')};
        };
        conversion("enabled-word", "Channel", "Enabled", "true", "0");
        conversion("port-negative", "Channel", "ServerPORT", "-1", "0");
        conversion("id-empty", "Channel", "Id", "", "0");
        conversion("id-base-11", "Channel", "Id", "1a", "0");
        conversion("port-base-11", "Channel", "ServerPORT", "8a", "0");
        conversion("right-base-11", "Tag", "ReadRight1", "5a", "0");
        conversion("station-space", "Channel", "Station", " ", " ");
        conversion("pri-300", "Tag", "PriLevel", "300", "44");
        conversion("tagtype-200", "Tag", "TagType", "200", "-56");
        conversion("poll-negative", "Tag", "PollFrequency", "-5", "0");
        conversion("freq-tenth", "Tag", "LoggingFreq", "0.1", "0.10000000000000001");
        conversion("freq-inf", "Tag", "LoggingFreq", "inf", "0");
        conversion("kanal-empty", "Tag", "Kanal_Id", "", "0");
        conversion("text-mixed", "Tag", "Description", "a<![CDATA[ <b>]]><!--c--> d", "a <b> d");
        conversion("text-nested", "Tag", "Keywords", "k<x>1</x>2", "k12");
        conversion("limit-tenth", "Alarm", "limitVal", "0.1", "0.10000000149011612");
        conversion("check-inf", "Alarm", "checkVal1", "inf", "0");
        conversion("subscribers-gaps", "Alarm", "subscribers", "{5,,x,1a,7}", "{5,7}");

        // CSV imports: tags alone, the constructor defaults but for four fields.
        // The first type word found wins, in the order LOGIC, WORD, FLOAT, LONG.
        QTest::newRow("csv-types")
            << QByteArray("1;100;Pump1;WORD\n1;2;D WORD;D WORD\n1;3;LOGICAL;LOGICAL\n1;4;Float;Float\n"
                          "1;5;LONG FLOAT;LONG FLOAT\n1;6;FLOAT WORD;FLOAT WORD\n1;7;LONG;LONG")
            << QStringList{csvTag("Pump1", "100", 2, 9), csvTag("D WORD", "2", 2, 9), csvTag("LOGICAL", "3", 1, 16),
                           csvTag("Float", "4", 2, 1), csvTag("LONG FLOAT", "5", 4, 14),
                           csvTag("FLOAT WORD", "6", 2, 9), csvTag("LONG", "7", 4, 13)};
        // Fields are not trimmed; lines of other than four fields are skipped.
        QTest::newRow("csv-lines") << QByteArray("x; 7 ; P ;WORD\n\n1;b;five;WORD;\n1;c\r\n1;d;P;LOGIC\r\n1;d;P;LONG\n")
                                   << QStringList{csvTag(" P ", " 7 ", 2, 9), csvTag("P", "d", 1, 16),
                                                  csvTag("P", "d", 4, 13)};
        QTest::newRow("csv-empty-file") << QByteArray() << QStringList();
    }
    void load()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        QVERIFY(writeAll(dir.filePath("f"), bytes));
        FileDataTree *tree = QByteArray(QTest::currentDataTag()).startsWith("csv-")
            ? TgchFileProcessor::loadTagsFromCSV(dir.filePath("f"))
            : TgchFileProcessor::loadFileData(dir.filePath("f"));
        QVERIFY(tree);
        QTEST(describe(tree), "records");
        destroyFileDataTree(tree);
    }

    // The reader the library loads with gives the document tree's records, on
    // every file of the fuzz corpus and the examples, and where the tree's rules are odd.
    void sameAsDocumentTree_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        for (const QString &folder : QString(ZADURURU_DEFINITIONS_INPUTS).split('|'))
            for (const QFileInfo &file : QDir(folder).entryInfoList({"*.xml"}, QDir::Files))
                QTest::newRow(qPrintable(QDir(folder).dirName() + '/' + file.fileName())) << readAll(file.filePath());
        const QByteArray entities = "<!DOCTYPE r [<!ENTITY tag \"<Tag><Id>5</Id></Tag>\"><!ENTITY t \"x<b>y</b>\">]>";
        QTest::newRow("entities") << entities + "<r><TagList>&tag;<Tag><Name>a&t;b&amp;&#65;&#x42;</Name><Id>&t;2</Id></Tag></TagList></r>";
        QTest::newRow("list from an entity") << QByteArray("<!DOCTYPE r [<!ENTITY l \"<TagList><Tag/></TagList>\">]><r>&l;<TagList><Tag><Id>3</Id></Tag></TagList></r>");
        QTest::newRow("undeclared entity") << QByteArray("<r><TagList><Tag><Name>&nope;</Name></Tag></TagList></r>");
        QTest::newRow("external entity") << QByteArray("<!DOCTYPE r [<!ENTITY x SYSTEM \"x.xml\">]><r><TagList><Tag><Name>a&x;b</Name></Tag></TagList></r>");
        QTest::newRow("external subset") << QByteArray("<!DOCTYPE r SYSTEM \"defs.dtd\"><r><TagList><Tag><Id>4</Id></Tag></TagList></r>");
        QTest::newRow("whitespace, CDATA, comments") << QByteArray("<r><ChannelList><Channel><Station> </Station><Name> <![CDATA[ ]]>\n"
            "<!--c--><?pi x?>a<x>b<y>c</y></x><![CDATA[d]]></Name><Description>\t</Description></Channel></ChannelList></r>");
        QTest::newRow("first of a name wins") << QByteArray("<r><TagList><Tag><Id>1</Id><Name>a</Name><Id>2</Id><Name>b</Name><Other/><Id>3</Id></Tag></TagList></r>");
        QTest::newRow("Latin-1 declared") << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r><TagList><Tag><Name>\xe9</Name></Tag></TagList></r>");
        const QString utf16 = QStringLiteral("\uFEFF<r><TagList><Tag><Name>\u20AC</Name></Tag></TagList></r>");
        QTest::newRow("UTF-16 with BOM") << QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2);
        QTest::newRow("prefixed names") << QByteArray("<r xmlns:a=\"u\"><a:TagList><Tag/></a:TagList><TagList><a:Tag/><Tag><a:Id>1</a:Id></Tag></TagList></r>");
        QTest::newRow("plain, odd texts") << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE x>\n<r.1><TagList><Tag><Name>]]&gt;&quot;&apos;\xc3\xa9\xf0\x9f\x9a\xb0]</Name>"
            "<Id><![CDATA[4]]]]><![CDATA[]]></Id><Macro> \t\n</Macro><Keywords/><Tag/></Tag><_a-b/></TagList></r.1>\n ");
        QTest::newRow("plain, then a character reference") << QByteArray("<r><TagList><Tag><Id>5</Id></Tag><Tag><Name>&#65;</Name></Tag></TagList></r>");
        QTest::newRow("plain, then a carriage return") << QByteArray("<r><TagList><Tag><Id>5</Id></Tag><Tag><Name>a\r\nb</Name></Tag></TagList></r>");
        QTest::newRow("plain, then a comment") << QByteArray("<r><TagList><Tag><Id>5</Id></Tag><!-- x --><Tag/></TagList></r>");
        QTest::newRow("plain, then an attribute") << QByteArray("<r><TagList><Tag><Id>5</Id></Tag><Tag a='1'/></TagList></r>");
        QTest::newRow("plain, then text after the root") << QByteArray("<r><TagList><Tag><Id>5</Id></Tag></TagList></r>x");
        QTest::newRow("plain, then ]]> in text") << QByteArray("<r><TagList><Tag><Id>5</Id></Tag><Tag><Name>a]]>b</Name></Tag></TagList></r>");
        QTest::newRow("text after the root") << QByteArray("<r><TagList><Tag/></TagList></r>x");
        QTest::newRow("second root") << QByteArray("<r><TagList><Tag/></TagList></r><r/>");
        QTest::newRow("cut inside a record") << QByteArray("<r><AlarmList><Alarm><Id>1</Id></Alarm><Alarm><Id>2");
        QTest::newRow("mismatched end") << QByteArray("<r><TagList><Tag></Tga></TagList></r>");
        QTest::newRow("nested too deep") << "<r><TagList><Tag><Id>5</Id></Tag></TagList>" + QByteArray("<a>").repeated(257)
                                                + QByteArray("</a>").repeated(257) + "</r>";
    }
    void sameAsDocumentTree()
    {
        QFETCH(QByteArray, bytes);
        FileDataTree *loaded = TgchFileProcessor::loadFileData(bytes);
        FileDataTree *reference = ZadUruru::readDefinitionsThroughDom(bytes);
        QCOMPARE(recordValues(*loaded), recordValues(*reference));
        destroyFileDataTree(loaded);
        destroyFileDataTree(reference);
    }

    // A load frees what it read, also when the parser reads the file again or
    // refuses it. (Under the sanitizers, LeakSanitizer reports such a leak.)
    void everyRecordFreed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const auto list = [](const QByteArray &kind) {
            return "<" + kind + "List>" + ("<" + kind + "><Id>1</Id></" + kind + ">").repeated(1000) + "</" + kind + "List>";
        };
        const QByteArray records = list("Channel") + list("Tag") + list("Alarm");
        QTest::newRow("plain") << "<r>" + records + "</r>";
        QTest::newRow("read again") << "<r>" + records + "<!-- --></r>";
        QTest::newRow("refused") << "<r>" + records;
    }
    void everyRecordFreed()
    {
        if (underAddressSanitizer)
            QSKIP("LeakSanitizer checks this");
        QFETCH(QByteArray, bytes);
        const qint64 growth = heapGrowth([&] { destroyFileDataTree(TgchFileProcessor::loadFileData(bytes)); });
        QVERIFY2(growth < bytes.size(), qPrintable(QString("30 loads kept %1 bytes").arg(growth)));
    }

    // Read, written over a longer old file and read again: every field keeps
    // its value, and the writer lays the file out exactly so.
    void treeWriter()
    {
        const QByteArray channels = record("    ", "Channel", channelElements, channelSample);
        const QByteArray tags = record("    ", "Tag", tagElements, tagSample);
        const QByteArray alarms = record("    ", "Alarm", alarmElements, alarmSample);
        FileDataTree *tree = TgchFileProcessor::loadFileData(treeFile(channels, tags, alarms));
        QCOMPARE(describe(tree), sampleTree);
        QTemporaryDir dir;
        const QString path = dir.filePath("d.xml");
        QVERIFY(writeAll(path, QByteArray(100000, 'x')));
        QVERIFY(TgchFileProcessor::writeToFile(tree, path));
        destroyFileDataTree(tree);
        const QByteArray none = record("    ", "Channel", channelElements, noneChannel.mid(2));
        QCOMPARE(readAll(path), treeFile(none + channels, tags, alarms));
        tree = TgchFileProcessor::loadFileData(path);
        QCOMPARE(describe(tree), sampleTree);
        // Six significant digits, also for a single-precision value.
        tree->tags.at(0)->LoggingFreq = 1234567;
        tree->alarms.at(0)->limitVal = double(0.1f);
        QVERIFY(TgchFileProcessor::writeToFile(tree, path));
        destroyFileDataTree(tree);
        QVERIFY(readAll(path).contains("<LoggingFreq>1.23457e+06</") && readAll(path).contains("<limitVal>0.1</"));
        FileDataTree empty;
        QVERIFY(TgchFileProcessor::writeToFile(&empty, path));
        QCOMPARE(readAll(path), treeFile("", "", ""));
    }

    void tableWriter()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("t.xml");
        QVERIFY(writeAll(path, "<CTDefinitions><AlarmList><Alarm/></AlarmList></CTDefinitions>"));
        const QString tagRow = inTableOrder(tagSample);
        auto channels = table(channelColumns, channelSample);
        auto tags = table(tagColumns, tagRow);
        OpenedFile file{-1, path, false, channels.get(), tags.get()};
        QVERIFY(TgchFileProcessor::writeToFile(&file));
        QCOMPARE(readAll(path), "<!DOCTYPE ChannelAndTagDefinitions>\n<CTDefinitions>\n"
                     + list(" ", "ChannelList", record(" ", "Channel", channelColumns, channelSample))
                     + list(" ", "TagList", record(" ", "Tag", tagColumns, tagRow)) + "</CTDefinitions>\n");
        FileDataTree *tree = TgchFileProcessor::loadFileData(path);
        QCOMPARE(describe(tree), sampleTree.mid(0, 3));
        destroyFileDataTree(tree);
        // Character data escaped as the document tree escapes it: ">" only where it would end "]]>".
        tags->item(0, 22)->setText("a<b&c>]]>d\re\t");
        QVERIFY(TgchFileProcessor::writeToFile(channels.get(), tags.get(), path));
        QVERIFY(readAll(path).contains("<Description>a&lt;b&amp;c>]]&gt;d&#xd;e\t</Description>"));
        QStandardItemModel none;
        QVERIFY(TgchFileProcessor::writeToFile(&none, &none, path));
        QCOMPARE(readAll(path), QByteArray("<!DOCTYPE ChannelAndTagDefinitions>\n<CTDefinitions>\n"
                                           " <ChannelList/>\n <TagList/>\n</CTDefinitions>\n"));
    }

    // Failures return null or false and leave the file on disk as it was.
    void failures()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("t.xml");
        QVERIFY(writeAll(path, "old"));
        QVERIFY(!TgchFileProcessor::loadFileData(dir.filePath("missing.xml")));
        QVERIFY(!TgchFileProcessor::loadTagsFromCSV(dir.filePath("missing.csv")));
        FileDataTree empty;
        QVERIFY(!TgchFileProcessor::writeToFile(&empty, dir.filePath("no/t.xml")));
        QVERIFY(!TgchFileProcessor::writeToFile(static_cast<FileDataTree *>(nullptr), path));
        QStandardItemModel table;
        QVERIFY(!TgchFileProcessor::writeToFile(nullptr, &table, path));
        QVERIFY(!TgchFileProcessor::writeToFile(&table, nullptr, path));
        QVERIFY(!TgchFileProcessor::writeToFile(static_cast<OpenedFile *>(nullptr)));
        QVERIFY(!TgchFileProcessor::writeToFile(&table, &table, dir.filePath("no/t.xml")));
        QCOMPARE(readAll(path), QByteArray("old"));
    }
};

QTEST_GUILESS_MAIN(TestTgchFileProcessor)
#include "tst_tgchFileProcessor.moc"
