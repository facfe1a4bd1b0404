#include "../common/files.h"

#include <zadururu/definitions/tgchFileProcessor.h>
#include <tarnwickhost/openedFile.h>

#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString n(qint64 value) { return QString::number(value); }
QString real(double value) { return QString::number(value, 'g', 17); }

// Every stored field of a record as text, in the order the tree writer writes them.
QStringList values(const pKanalDef_t &c)
{
    return {c.Name, n(c.Id), n(c.MediaType), n(c.SocketType), n(c.ProtokolType), c.ServerIP, n(c.ServerPORT),
            n(c.ListenPORT), c.FilterIP, n(c.Comport), n(c.Baudrate), n(c.Databit), n(c.Stopbit), n(c.Paritybit),
            n(c.ResponseTimeout), n(c.ConnectionTimeout), n(c.FrameTimeout), n(c.GroupID), c.Station,
            n(c.Enabled), c.LogicProPath, c.Description};
}
QStringList values(const pEtiketDef_t &t)
{
    return {t.Name, n(t.PollFrequency), t.KanalName, n(t.Kanal_Id), t.DeviceAddress, t.VariableAddress,
            n(t.VariableSize), n(t.VariableType), n(t.Id), t.Macro, n(t.IsLogging), n(t.PriLevel), n(t.TagType),
            n(t.SchedulerIndex), real(t.LoggingFreq), n(t.LoggingMethod), n(t.ReadRight1), n(t.ReadRight2),
            n(t.WriteRight1), n(t.WriteRight2), t.Keywords, n(t.Enabled), t.Description, t.UnitName,
            n(t.Protocolobjecttype)};
}
QStringList values(const pAlarmItem_t &a)
{
    QStringList ids;
    for (int id : a.subscribers)
        ids << n(id);
    return {n(a.Id), a.alarm_name, a.alarm_desc, a.alarm_class, n(a.enabled), n(a.ackrequired), n(a.islogging),
            n(a.tagID), n(a.alarm_type), n(a.alarm_level), n(a.comp_type), real(a.limitVal), real(a.checkVal1),
            real(a.checkVal2), n(a.limit_tag_id), n(a.limit_tag2_id), n(a.readRight1), n(a.readRight2),
            "{" + ids.join(',') + "}", n(a.currentState)};
}

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

const QString noneChannel =
    "C None|-1|0|0|0|127.0.0.1|1080|1081|0.0.0.0|11|115200|8|1|0|6000|6000|3000|-1| |1||";
// Records read from elements that hold only the children named here.
QString channel(const QString &name, int id, int group = -1)
{
    return QString("C %1|%2|0|0|0||0|0||0|0|0|0|0|0|0|0|%3||0||").arg(name).arg(id).arg(group);
}
QString tag(const QString &name, int id)
{
    return QString("T %1|0||-1|||0|0|%2||0|0|0|0|0|0|0|0|0|0||0|||0").arg(name).arg(id);
}
const QString emptyAlarm = "A 0||||0|0|0|0|0|0|0|0|0|0|0|0|0|0|{}|0";
// An imported tag: the constructor defaults but for these fields.
QString csvTag(const QString &name, const QString &address, int size, int type)
{
    return QString("T %1|3||-1|1|%2|%3|%4|0||0|0|0|0|0|0|0|0|0|0||1|||0").arg(name, address).arg(size).arg(type);
}

// The child elements in the tree writer's order; '*' marks a CDATA section.
const QStringList channelElements = QString(
    "*Name Id MediaType SocketType ProtokolType *ServerIP ServerPORT ListenPORT FilterIP Comport Baudrate Databit "
    "Stopbit Paritybit ResponseTimeout ConnectionTimeout FrameTimeout GroupID Station Enabled LogicProPath "
    "Description").split(' ');
const QStringList tagElements = QString(
    "*Name PollFrequency KanalName Kanal_Id DeviceAddress VariableAddress VariableSize VariableType Id *Macro "
    "IsLogging PriLevel TagType SchedulerIndex LoggingFreq LoggingMethod ReadRight1 ReadRight2 WriteRight1 "
    "WriteRight2 Keywords Enabled Description UnitName Protocolobjecttype").split(' ');
const QStringList alarmElements = QString(
    "Id *alarm_name alarm_desc alarm_class enabled ackrequired islogging tagID alarm_type alarm_level comp_type "
    "limitVal checkVal1 checkVal2 limit_tag_id limit_tag2_id readRight1 readRight2 subscribers currentState")
    .split(' ');
// The table writer's order and forms.
const QStringList channelColumns = QStringList(channelElements).replaceInStrings("FilterIP", "*FilterIP");
const QStringList tagColumns = QString(
    "*Name PollFrequency *KanalName DeviceAddress VariableAddress VariableSize VariableType Id *Macro Kanal_Id "
    "IsLogging PriLevel TagType SchedulerIndex LoggingFreq LoggingMethod ReadRight1 ReadRight2 WriteRight1 "
    "WriteRight2 Keywords Enabled Description UnitName Protocolobjecttype").split(' ');

// Records whose values differ from field to field and from the defaults, each
// in the form the writers write, so that a field read, written or placed in
// the wrong column shows.
const QStringList channelSample = {
    "Line <A&B>", "-101", "-102", "-103", "-104", "10.0.0.5", "3000000006", "3000000007", "10.0.0.8", "3000000009",
    "3000000010", "3000000011", "3000000012", "-113", "3000000014", "3000000015", "3000000016", "-117", " st 18 ",
    "1", "/p/20", "desc 21"};
const QStringList tagSample = {
    "Tag <1>", "2002", "Line A", "-104", "dev 5", "DB6", "2007", "-108", "-109", "m <10>", "211", "212", "-113",
    "-114", "115.5", "-116", "9000000000000000117", "-9000000000000000118", "9000000000000000119",
    "-9000000000000000120", "kw 21", "0", "desc 23", "unit 24", "-125"};
const QStringList alarmSample = {
    "-201", "High <2>", "desc 3", "class 4", "-5", "-6", "-7", "-208", "-9", "-10", "-11", "12.5", "-13.25",
    "14.125", "-215", "-216", "9000000000000000217", "-9000000000000000218", "{19,-20,21}", "-222"};

QString bare(QString element) { return element.remove('*'); }

// @p texts (in the tree writer's order) in the order of @p elements.
QStringList inOrderOf(const QStringList &elements, const QStringList &treeOrder, const QStringList &texts)
{
    QStringList out;
    for (const QString &element : elements)
        for (int i = 0; i < treeOrder.size(); ++i)
            if (bare(treeOrder.at(i)) == bare(element))
                out << texts.at(i);
    return out;
}

// One record element as a writer lays it out, two levels deep, @p indent per level.
QByteArray record(const QByteArray &indent, const char *item, const QStringList &elements, const QStringList &texts)
{
    QByteArray out = indent + indent + '<' + item + ">\n";
    for (int i = 0; i < elements.size(); ++i) {
        const QByteArray name = bare(elements.at(i)).toUtf8();
        const QByteArray text = texts.at(i).toUtf8();
        out += indent + indent + indent + '<' + name + '>'
            + (elements.at(i).startsWith('*') ? "<![CDATA[" + text + "]]>" : text) + "</" + name + ">\n";
    }
    return out + indent + indent + "</" + item + ">\n";
}

QByteArray list(const QByteArray &indent, const char *name, const QByteArray &records)
{
    if (records.isEmpty())
        return indent + '<' + name + "/>\n";
    return indent + '<' + name + ">\n" + records + indent + "</" + name + ">\n";
}

QByteArray treeFile(const QByteArray &channels, const QByteArray &tags, const QByteArray &alarms)
{
    const QByteArray in = "    ";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<CTDefinitions>\n" + list(in, "ChannelList", channels)
        + list(in, "TagList", tags) + list(in, "AlarmList", alarms) + "</CTDefinitions>\n";
}

// A table with one row per list of cell texts; column c of a row is its c-th text.
std::unique_ptr<QStandardItemModel> table(int columns, const QList<QStringList> &rows)
{
    auto model = std::make_unique<QStandardItemModel>(rows.size(), columns);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows.at(r).size(); ++c)
            model->setItem(r, c, new QStandardItem(rows.at(r).at(c)));
    return model;
}

// The cells of one table row: column 0 the Id, column 1 the Name, then the
// other elements in the table writer's order.
QStringList row(const QStringList &columns, const QStringList &texts)
{
    QStringList cells = QVector<QString>(columns.size()).toList();
    int next = 2;
    for (int i = 0; i < columns.size(); ++i)
        cells[bare(columns.at(i)) == "Id" ? 0 : bare(columns.at(i)) == "Name" ? 1 : next++] = texts.at(i);
    return cells;
}

} // namespace

class TestTgchFileProcessor : public QObject
{
    Q_OBJECT
private slots:
    void constructorDefaults()
    {
        FileDataTree tree;
        tree.tags << new pEtiketDef_t;
        tree.alarms << new pAlarmItem_t;
        tree.channels << new pKanalDef_t;
        QCOMPARE(describe(&tree),
                 QStringList({QString(noneChannel).replace("None", "Channel0"),
                              "T Tag|1000||-1|1|0|2|1|0||0|0|0|0|0|0|0|0|0|0||1|||0",
                              "A -1|||General|0|1|1|-1|0|0|0|0|0|0|-1|-1|0|0|{}|0"}));
        const pEtiketDef_t &t = *tree.tags.at(0);
        QVERIFY(t.hostFlag && t.hostText.isEmpty());
        QCOMPARE(QList<qint64>({t.hostData1, t.hostData2, t.hostData3, t.hostData4}), QList<qint64>({0, 0, 0, 0}));
        QVERIFY(tree.channels.at(0)->channelTags.isEmpty());
        qDeleteAll(tree.channels);
        qDeleteAll(tree.tags);
        qDeleteAll(tree.alarms);
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("records");
        QTest::newRow("empty") << QByteArray() << QStringList{noneChannel};
        QTest::newRow("not-well-formed") << QByteArray("<CTDefinitions><ChannelList>") << QStringList{noneChannel};
        QTest::newRow("no-lists") << QByteArray("<CTDefinitions/>") << QStringList{noneChannel};
        QTest::newRow("too-deep") << "<CTDefinitions><ChannelList><Channel><Name>A</Name><Description>"
                + QByteArray("<x>").repeated(300) + QByteArray("</x>").repeated(300)
                + "</Description></Channel></ChannelList></CTDefinitions>"
                                  << QStringList{noneChannel};
        QTest::newRow("no-children")
            << QByteArray("<CTDefinitions><ChannelList><Channel/></ChannelList><TagList><Tag/></TagList>"
                          "<AlarmList><Alarm/></AlarmList></CTDefinitions>")
            << QStringList{noneChannel, channel("", -1), tag("", 0), emptyAlarm};
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
    }
    void load()
    {
        QFETCH(QByteArray, bytes);
        FileDataTree *tree = TgchFileProcessor::loadFileData(bytes);
        QTEST(describe(tree), "records");
        destroyFileDataTree(tree);
    }

    // One element read and written again by the tree writer: the value it
    // reads as, and the raw text the writer writes for it.
    void conversions_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("written");
        const auto row = [](const char *name, const char *kind, const char *element, const char *text,
                            const char *value, const char *written) {
            QTest::newRow(name) << kind << element << text << value << written;
        };
        row("enabled-word", "Channel", "Enabled", "true", "0", "0");
        row("enabled-2", "Channel", "Enabled", "2", "1", "1");
        row("enabled-minus", "Channel", "Enabled", "-1", "1", "1");
        row("port-negative", "Channel", "ServerPORT", "-1", "0", "0");
        row("port-max", "Channel", "ServerPORT", "4294967295", "4294967295", "4294967295");
        row("port-over", "Channel", "Comport", "4294967296", "0", "0");
        row("id-empty", "Channel", "Id", "", "0", "0");
        row("group-empty", "Channel", "GroupID", "", "0", "0");
        row("id-junk", "Channel", "Id", "12abc", "0", "0");
        row("id-over", "Channel", "Id", "2147483648", "0", "0");
        row("id-zeros", "Channel", "Id", "007", "7", "7");
        row("station-space", "Channel", "Station", " ", " ", " ");
        row("name-markup", "Channel", "Name", "a &lt;&amp;&gt; b", "a <&> b", "<![CDATA[a <&> b]]>");
        row("filter-markup", "Channel", "FilterIP", "a&lt;b", "a<b", "a&lt;b");
        row("pri-300", "Tag", "PriLevel", "300", "44", "44");
        row("logging-minus", "Tag", "IsLogging", "-1", "255", "255");
        row("logging-2", "Tag", "IsLogging", "2", "2", "2");
        row("tagtype-200", "Tag", "TagType", "200", "-56", "-56");
        row("scheduler-129", "Tag", "SchedulerIndex", "129", "-127", "-127");
        row("protocol-255", "Tag", "Protocolobjecttype", "255", "-1", "-1");
        row("poll-negative", "Tag", "PollFrequency", "-5", "0", "0");
        row("size-negative", "Tag", "VariableSize", "-1", "0", "0");
        row("freq-tenth", "Tag", "LoggingFreq", "0.1", "0.10000000000000001", "0.1");
        row("freq-big", "Tag", "LoggingFreq", "1234567", "1234567", "1.23457e+06");
        row("freq-exponent", "Tag", "LoggingFreq", "2.5e3", "2500", "2500");
        row("freq-inf", "Tag", "LoggingFreq", "inf", "0", "0");
        row("rights-max", "Tag", "ReadRight1", "9223372036854775807", "9223372036854775807", "9223372036854775807");
        row("rights-over", "Tag", "WriteRight2", "9223372036854775808", "0", "0");
        row("kanal-empty", "Tag", "Kanal_Id", "", "0", "0");
        row("text-mixed", "Tag", "Description", "a<![CDATA[ <b>]]><!--c--> d", "a <b> d", "a &lt;b&gt; d");
        row("text-nested", "Tag", "Keywords", "k<x>1</x>2", "k12", "k12");
        row("text-spaces", "Tag", "UnitName", " bar ", " bar ", " bar ");
        row("macro-end-marker", "Tag", "Macro", "]]&gt;a]]&gt;", "]]>a]]>", "<![CDATA[]]]]><![CDATA[>a]]]]><![CDATA[>]]>");
        row("limit-tenth", "Alarm", "limitVal", "0.1", "0.10000000149011612", "0.1");
        row("limit-huge", "Alarm", "limitVal", "1e39", "0", "0");
        row("check-inf", "Alarm", "checkVal1", "inf", "0", "0");
        row("check-junk", "Alarm", "checkVal2", "x", "0", "0");
        row("enabled-255", "Alarm", "enabled", "255", "-1", "-1");
        row("ack-256", "Alarm", "ackrequired", "256", "0", "0");
        row("subscribers-gaps", "Alarm", "subscribers", "{5,,x,7}", "{5,7}", "{5,7}");
        row("subscribers-bare", "Alarm", "subscribers", "5,7", "{5,7}", "{5,7}");
        row("subscribers-one", "Alarm", "subscribers", "{9}", "{9}", "{9}");
        row("subscribers-none", "Alarm", "subscribers", "{}", "{}", "{}");
        row("subscribers-braces", "Alarm", "subscribers", "{1}{2,3}", "{12,3}", "{12,3}");
    }
    void conversions()
    {
        QFETCH(QString, kind);
        QFETCH(QString, element);
        QFETCH(QString, text);
        const QString child = "<" + element + ">" + text + "</" + element + ">";
        FileDataTree *tree = TgchFileProcessor::loadFileData(
            QString("<CTDefinitions><%1List><%1>%2</%1></%1List></CTDefinitions>").arg(kind, child).toUtf8());
        const QStringList read = kind == "Channel" ? values(*tree->channels.last())
            : kind == "Tag"                        ? values(*tree->tags.at(0))
                                                   : values(*tree->alarms.at(0));
        const QStringList names = kind == "Channel" ? channelElements : kind == "Tag" ? tagElements : alarmElements;
        int index = 0;
        while (bare(names.at(index)) != element)
            ++index;
        QTEST(read.at(index), "value");

        QTemporaryDir dir;
        QVERIFY(TgchFileProcessor::writeToFile(tree, dir.filePath("d.xml")));
        destroyFileDataTree(tree);
        const QByteArray bytes = readAll(dir.filePath("d.xml"));
        const QByteArray open = "<" + element.toUtf8() + ">";
        const int from = bytes.lastIndexOf(open) + open.size();
        QTEST(QString::fromUtf8(bytes.mid(from, bytes.indexOf("</" + element.toUtf8() + ">", from) - from)), "written");
    }

    // Read, written and read again: every field keeps its value, and the
    // writer lays the file out exactly so.
    void treeWriter()
    {
        const QByteArray channels = record("    ", "Channel", channelElements, channelSample);
        const QByteArray tags = record("    ", "Tag", tagElements, tagSample);
        const QByteArray alarms = record("    ", "Alarm", alarmElements, alarmSample);
        const QStringList sample = {"C " + channelSample.join('|'), "T " + tagSample.join('|'),
                                    "A " + alarmSample.join('|')};
        FileDataTree *tree = TgchFileProcessor::loadFileData(treeFile(channels, tags, alarms));
        QCOMPARE(describe(tree), QStringList(noneChannel) + sample);

        QTemporaryDir dir;
        const QString path = dir.filePath("d.xml");
        QVERIFY(writeAll(path, QByteArray(100000, 'x')));
        QVERIFY(TgchFileProcessor::writeToFile(tree, path));
        destroyFileDataTree(tree);
        const QStringList none = noneChannel.mid(2).split('|');
        QCOMPARE(readAll(path), treeFile(record("    ", "Channel", channelElements, none) + channels, tags, alarms));
        tree = TgchFileProcessor::loadFileData(path);
        QCOMPARE(describe(tree), QStringList(noneChannel) + sample);
        destroyFileDataTree(tree);

        FileDataTree empty;
        QVERIFY(TgchFileProcessor::writeToFile(&empty, path));
        QCOMPARE(readAll(path), treeFile("", "", ""));
    }

    void tableWriter()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("t.xml");
        // What the file held before, alarms included, is gone.
        QVERIFY(writeAll(path, "<CTDefinitions><AlarmList><Alarm/></AlarmList></CTDefinitions>"));
        const QStringList channelTexts = inOrderOf(channelColumns, channelElements, channelSample);
        const QStringList tagTexts = inOrderOf(tagColumns, tagElements, tagSample);
        QStringList noneTexts = channelTexts;
        noneTexts[0] = "None";
        auto channels = table(22, {row(channelColumns, channelTexts), row(channelColumns, noneTexts)});
        auto tags = table(25, {row(tagColumns, tagTexts)});
        OpenedFile file;
        file.filePath = path;
        file.channelModel = channels.get();
        file.tagModel = tags.get();
        QVERIFY(TgchFileProcessor::writeToFile(&file));
        const QByteArray expected = "<!DOCTYPE ChannelAndTagDefinitions>\n<CTDefinitions>\n"
            + list(" ", "ChannelList", record(" ", "Channel", channelColumns, channelTexts)
                                           + record(" ", "Channel", channelColumns, noneTexts))
            + list(" ", "TagList", record(" ", "Tag", tagColumns, tagTexts)) + "</CTDefinitions>\n";
        QCOMPARE(readAll(path), expected);
        FileDataTree *tree = TgchFileProcessor::loadFileData(path);
        QCOMPARE(describe(tree), QStringList({noneChannel, "C " + channelSample.join('|'), "T " + tagSample.join('|')}));
        destroyFileDataTree(tree);

        // A CDATA text that holds the end marker, at its start too, reads back whole.
        QStringList channelCells = QVector<QString>(22).toList(), tagCells = QVector<QString>(25).toList();
        channelCells[1] = "]]>a]]>b";
        tagCells[1] = "t]]>";
        tagCells[8] = "]]>m";
        channels = table(22, {channelCells});
        tags = table(25, {tagCells});
        QVERIFY(TgchFileProcessor::writeToFile(channels.get(), tags.get(), path));
        tree = TgchFileProcessor::loadFileData(path);
        QCOMPARE(tree->channels.at(1)->Name, QString("]]>a]]>b"));
        QCOMPARE(tree->tags.at(0)->Name + tree->tags.at(0)->Macro, QString("t]]>]]>m"));
        destroyFileDataTree(tree);

        channels = table(22, {});
        tags = table(25, {});
        QVERIFY(TgchFileProcessor::writeToFile(channels.get(), tags.get(), path));
        QCOMPARE(readAll(path), QByteArray("<!DOCTYPE ChannelAndTagDefinitions>\n<CTDefinitions>\n"
                                           " <ChannelList/>\n <TagList/>\n</CTDefinitions>\n"));
    }

    void csv_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("tags");
        QTest::newRow("word") << QByteArray("1;100;Pump1;WORD") << QStringList{csvTag("Pump1", "100", 2, 9)};
        QTest::newRow("dword") << QByteArray("1;1;a;DWORD") << QStringList{csvTag("a", "1", 2, 9)};
        QTest::newRow("d-space-word") << QByteArray("1;1;a;D WORD") << QStringList{csvTag("a", "1", 2, 9)};
        QTest::newRow("logical") << QByteArray("1;1;a;LOGICAL") << QStringList{csvTag("a", "1", 1, 16)};
        QTest::newRow("float-lower") << QByteArray("1;1;a;Float") << QStringList{csvTag("a", "1", 2, 1)};
        QTest::newRow("long-float") << QByteArray("1;1;a;LONG FLOAT") << QStringList{csvTag("a", "1", 4, 14)};
        QTest::newRow("float-long") << QByteArray("1;1;a;FLOATLONG") << QStringList{csvTag("a", "1", 4, 14)};
        QTest::newRow("float-word") << QByteArray("1;1;a;FLOAT WORD") << QStringList{csvTag("a", "1", 2, 9)};
        QTest::newRow("long") << QByteArray("1;1;a;LONG") << QStringList{csvTag("a", "1", 4, 13)};
        QTest::newRow("tab-splits") << QByteArray("1;1;a;FLO\tAT") << QStringList{csvTag("a", "1", 2, 1)};
        QTest::newRow("spaces-kept") << QByteArray("x; 7 ; Pump ;WORD") << QStringList{csvTag(" Pump ", " 7 ", 2, 9)};
        QTest::newRow("quotes-kept") << QByteArray("1;\"2\";\"n\";INT") << QStringList{csvTag("\"n\"", "\"2\"", 2, 1)};
        QTest::newRow("empty-fields") << QByteArray(";;;") << QStringList{csvTag("", "", 2, 1)};
        QTest::newRow("lines") << QByteArray("1;a;first;WORD\n\n1;b;five;WORD;\n1;c\r\n1;d;P;LOGIC\r\n1;d;P;LONG\n")
                               << QStringList{csvTag("first", "a", 2, 9), csvTag("P", "d", 1, 16),
                                              csvTag("P", "d", 4, 13)};
        QTest::newRow("empty-file") << QByteArray() << QStringList();
    }
    void csv()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        QVERIFY(writeAll(dir.filePath("t.csv"), bytes));
        FileDataTree *tree = TgchFileProcessor::loadTagsFromCSV(dir.filePath("t.csv"));
        QVERIFY(tree);
        QTEST(describe(tree), "tags");
        destroyFileDataTree(tree);
    }

    // Failures return null or false and leave the file on disk as it was.
    void failures()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("t.xml");
        QVERIFY(writeAll(path, "old"));
        QVERIFY(!TgchFileProcessor::loadFileData(dir.filePath("missing.xml")));
        QVERIFY(!TgchFileProcessor::loadTagsFromCSV(dir.filePath("missing.csv")));
        QVERIFY(!TgchFileProcessor::loadTagsFromCSV(dir.path()));
        FileDataTree empty;
        QVERIFY(!TgchFileProcessor::writeToFile(&empty, dir.filePath("no/t.xml")));
        QVERIFY(!TgchFileProcessor::writeToFile(static_cast<FileDataTree *>(nullptr), path));
        auto channels = table(22, {});
        auto tags = table(25, {});
        QVERIFY(!TgchFileProcessor::writeToFile(nullptr, tags.get(), path));
        QVERIFY(!TgchFileProcessor::writeToFile(channels.get(), nullptr, path));
        QVERIFY(!TgchFileProcessor::writeToFile(static_cast<OpenedFile *>(nullptr)));
        QVERIFY(!TgchFileProcessor::writeToFile(channels.get(), tags.get(), dir.path()));
        QVERIFY(!TgchFileProcessor::writeToFile(channels.get(), tags.get(), dir.filePath("no/t.xml")));
        QCOMPARE(readAll(path), QByteArray("old"));
    }
};

QTEST_GUILESS_MAIN(TestTgchFileProcessor)
#include "tst_tgchFileProcessor.moc"
