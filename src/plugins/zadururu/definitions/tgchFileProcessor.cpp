#include "tgchFileProcessor.h"

#include "common/wholeFileWriter_p.h"
#include "common/xmlLimits.h"
#include "definitionsXml_p.h"

#include <tarnwickhost/openedFile.h>

#include <QDomDocument>
#include <QFile>
#include <QIODevice>
#include <QStandardItemModel>
#include <QTextStream>
#include <QXmlInputSource>
#include <QXmlSimpleReader>
#include <QXmlStreamWriter>

using namespace ZadUruru::DefinitionsXml;

namespace {

// Element tables, in the order the writer writes the children. A second
// column names the value read when the element is missing altogether, where
// that differs from reading its empty text.

const FieldRule<pKanalDef_t> channelFields[] = {
    field<TextAsCData, &pKanalDef_t::Name>("Name"),
    field<Signed, &pKanalDef_t::Id>("Id", "-1"),
    field<Signed, &pKanalDef_t::MediaType>("MediaType"),
    field<Signed, &pKanalDef_t::SocketType>("SocketType"),
    field<Signed, &pKanalDef_t::ProtokolType>("ProtokolType"),
    field<TextAsCData, &pKanalDef_t::ServerIP>("ServerIP"),
    field<Unsigned, &pKanalDef_t::ServerPORT>("ServerPORT"),
    field<Unsigned, &pKanalDef_t::ListenPORT>("ListenPORT"),
    field<TextAsCharacters, &pKanalDef_t::FilterIP>("FilterIP"),
    field<Unsigned, &pKanalDef_t::Comport>("Comport"),
    field<Unsigned, &pKanalDef_t::Baudrate>("Baudrate"),
    field<Unsigned, &pKanalDef_t::Databit>("Databit"),
    field<Unsigned, &pKanalDef_t::Stopbit>("Stopbit"),
    field<Signed, &pKanalDef_t::Paritybit>("Paritybit"),
    field<Unsigned, &pKanalDef_t::ResponseTimeout>("ResponseTimeout"),
    field<Unsigned, &pKanalDef_t::ConnectionTimeout>("ConnectionTimeout"),
    field<Unsigned, &pKanalDef_t::FrameTimeout>("FrameTimeout"),
    field<Signed, &pKanalDef_t::GroupID>("GroupID", "-1"),
    field<TextAsCharacters, &pKanalDef_t::Station>("Station"),
    field<Flag, &pKanalDef_t::Enabled>("Enabled"),
    field<TextAsCharacters, &pKanalDef_t::LogicProPath>("LogicProPath"),
    field<TextAsCharacters, &pKanalDef_t::Description>("Description"),
};

const FieldRule<pEtiketDef_t> tagFields[] = {
    field<TextAsCData, &pEtiketDef_t::Name>("Name"),
    field<UnsignedIntoSigned, &pEtiketDef_t::PollFrequency>("PollFrequency"),
    field<TextAsCharacters, &pEtiketDef_t::KanalName>("KanalName"),
    field<Signed, &pEtiketDef_t::Kanal_Id>("Kanal_Id", "-1"),
    field<TextAsCharacters, &pEtiketDef_t::DeviceAddress>("DeviceAddress"),
    field<TextAsCharacters, &pEtiketDef_t::VariableAddress>("VariableAddress"),
    field<UnsignedIntoSigned, &pEtiketDef_t::VariableSize>("VariableSize"),
    field<Signed, &pEtiketDef_t::VariableType>("VariableType"),
    field<Signed, &pEtiketDef_t::Id>("Id"),
    field<TextAsCData, &pEtiketDef_t::Macro>("Macro"),
    field<LowByteUnsigned, &pEtiketDef_t::IsLogging>("IsLogging"),
    field<LowByteUnsigned, &pEtiketDef_t::PriLevel>("PriLevel"),
    field<LowByteSigned, &pEtiketDef_t::TagType>("TagType"),
    field<LowByteSigned, &pEtiketDef_t::SchedulerIndex>("SchedulerIndex"),
    field<Double6, &pEtiketDef_t::LoggingFreq>("LoggingFreq"),
    field<Signed, &pEtiketDef_t::LoggingMethod>("LoggingMethod"),
    field<Int64, &pEtiketDef_t::ReadRight1>("ReadRight1"),
    field<Int64, &pEtiketDef_t::ReadRight2>("ReadRight2"),
    field<Int64, &pEtiketDef_t::WriteRight1>("WriteRight1"),
    field<Int64, &pEtiketDef_t::WriteRight2>("WriteRight2"),
    field<TextAsCharacters, &pEtiketDef_t::Keywords>("Keywords"),
    field<Flag, &pEtiketDef_t::Enabled>("Enabled"),
    field<TextAsCharacters, &pEtiketDef_t::Description>("Description"),
    field<TextAsCharacters, &pEtiketDef_t::UnitName>("UnitName"),
    field<LowByteSigned, &pEtiketDef_t::Protocolobjecttype>("Protocolobjecttype"),
};

const FieldRule<pAlarmItem_t> alarmFields[] = {
    field<Signed, &pAlarmItem_t::Id>("Id"),
    field<TextAsCData, &pAlarmItem_t::alarm_name>("alarm_name"),
    field<TextAsCharacters, &pAlarmItem_t::alarm_desc>("alarm_desc"),
    field<TextAsCharacters, &pAlarmItem_t::alarm_class>("alarm_class"),
    field<LowByteSigned, &pAlarmItem_t::enabled>("enabled"),
    field<LowByteSigned, &pAlarmItem_t::ackrequired>("ackrequired"),
    field<LowByteSigned, &pAlarmItem_t::islogging>("islogging"),
    field<Signed, &pAlarmItem_t::tagID>("tagID"),
    field<LowByteSigned, &pAlarmItem_t::alarm_type>("alarm_type"),
    field<LowByteSigned, &pAlarmItem_t::alarm_level>("alarm_level"),
    field<LowByteSigned, &pAlarmItem_t::comp_type>("comp_type"),
    field<Single6, &pAlarmItem_t::limitVal>("limitVal"),
    field<Single6, &pAlarmItem_t::checkVal1>("checkVal1"),
    field<Single6, &pAlarmItem_t::checkVal2>("checkVal2"),
    field<Signed, &pAlarmItem_t::limit_tag_id>("limit_tag_id"),
    field<Signed, &pAlarmItem_t::limit_tag2_id>("limit_tag2_id"),
    field<Int64, &pAlarmItem_t::readRight1>("readRight1"),
    field<Int64, &pAlarmItem_t::readRight2>("readRight2"),
    field<IdList, &pAlarmItem_t::subscribers>("subscribers"),
    field<Signed, &pAlarmItem_t::currentState>("currentState"),
};

const QLatin1String noneChannelName("None");

// The editing tables: which column fills which child element, in the order
// the table writer writes them, and whether the text goes out as CDATA.
struct TableColumn
{
    const char *element;
    int column;
    bool cdata;
};

const TableColumn channelColumns[] = {
    {"Name", 1, true},              {"Id", 0, false},
    {"MediaType", 2, false},        {"SocketType", 3, false},
    {"ProtokolType", 4, false},     {"ServerIP", 5, true},
    {"ServerPORT", 6, false},       {"ListenPORT", 7, false},
    {"FilterIP", 8, true},          {"Comport", 9, false},
    {"Baudrate", 10, false},        {"Databit", 11, false},
    {"Stopbit", 12, false},         {"Paritybit", 13, false},
    {"ResponseTimeout", 14, false}, {"ConnectionTimeout", 15, false},
    {"FrameTimeout", 16, false},    {"GroupID", 17, false},
    {"Station", 18, false},         {"Enabled", 19, false},
    {"LogicProPath", 20, false},    {"Description", 21, false},
};

const TableColumn tagColumns[] = {
    {"Name", 1, true},            {"PollFrequency", 2, false},
    {"KanalName", 3, true},       {"DeviceAddress", 4, false},
    {"VariableAddress", 5, false}, {"VariableSize", 6, false},
    {"VariableType", 7, false},   {"Id", 0, false},
    {"Macro", 8, true},           {"Kanal_Id", 9, false},
    {"IsLogging", 10, false},     {"PriLevel", 11, false},
    {"TagType", 12, false},       {"SchedulerIndex", 13, false},
    {"LoggingFreq", 14, false},   {"LoggingMethod", 15, false},
    {"ReadRight1", 16, false},    {"ReadRight2", 17, false},
    {"WriteRight1", 18, false},   {"WriteRight2", 19, false},
    {"Keywords", 20, false},      {"Enabled", 21, false},
    {"Description", 22, false},   {"UnitName", 23, false},
    {"Protocolobjecttype", 24, false},
};

// Appends @p text to @p element as CDATA. A CDATA section cannot hold "]]>"
// and the DOM writes it unescaped, so the text is split between its "]]" and
// ">" into consecutive sections, which every reader joins again.
void appendCData(QDomDocument &document, QDomElement &element, const QString &text)
{
    const QLatin1String end("]]>");
    int from = 0;
    for (int at = text.indexOf(end); at >= 0; at = text.indexOf(end, from)) {
        element.appendChild(document.createCDATASection(text.mid(from, at + 2 - from)));
        from = at + 2;
    }
    element.appendChild(document.createCDATASection(text.mid(from)));
}

// Appends to @p list one @p itemName element per row of @p table, with a
// child element per column of @p columns holding the cell's display text.
template <std::size_t N>
void appendRows(QDomDocument &document, QDomElement &list, const char *itemName,
                const QStandardItemModel &table, const TableColumn (&columns)[N])
{
    for (int row = 0; row < table.rowCount(); ++row) {
        QDomElement item = document.createElement(QLatin1String(itemName));
        list.appendChild(item);
        for (const TableColumn &column : columns) {
            QDomElement child = document.createElement(QLatin1String(column.element));
            // A table row may lack a cell (a short row, or a cell never set):
            // its element is written empty, which every reader takes as the
            // element's empty-text value, rather than failing the whole save.
            const QStandardItem *cell = table.item(row, column.column);
            const QString text = cell ? cell->text() : QString();
            if (column.cdata)
                appendCData(document, child, text);
            else
                child.appendChild(document.createTextNode(text));
            item.appendChild(child);
        }
    }
}

// The type word table of the CSV import, tested in this order.
struct CsvType
{
    QLatin1String word;
    int variableType;
    int variableSize;
};

const CsvType csvTypes[] = {
    {QLatin1String("LOGIC"), 16, 1},
    {QLatin1String("WORD"), 9, 2},
    {QLatin1String("FLOAT"), 14, 4},
    {QLatin1String("LONG"), 13, 4},
};

// Calls @p read for every child element named @p itemName of the first child
// of @p root named @p listName.
template <class Read>
void forEachListItem(const QDomElement &root, const char *listName, const char *itemName, Read read)
{
    const QDomElement list = root.firstChildElement(QLatin1String(listName));
    for (QDomElement item = list.firstChildElement(QLatin1String(itemName)); !item.isNull();
         item = item.nextSiblingElement(QLatin1String(itemName)))
        read(item);
}

} // namespace

TgchFileProcessor::TgchFileProcessor(QObject *parent)
    : QObject(parent)
{
}

TgchFileProcessor::~TgchFileProcessor() = default;

FileDataTree *TgchFileProcessor::loadFileData(const QByteArray &data)
{
    // The reader overload keeps text nodes that hold only whitespace, such as
    // the one-space Station of a default channel; the plain byte overload
    // would drop them.
    QDomDocument document;
    QString error;
    int line = 0;
    int column = 0;
    QXmlInputSource source;
    source.setData(data);
    QXmlSimpleReader reader;
    reader.setFeature(QStringLiteral("http://xml.org/sax/features/namespaces"), false);
    reader.setFeature(QStringLiteral("http://xml.org/sax/features/namespace-prefixes"), true);
    const bool parsed = !data.isEmpty() && !ZadUruru::isTooDeeplyNested(data)
        && document.setContent(&source, &reader, &error, &line, &column);

    auto *tree = new FileDataTree;
    auto *none = new pKanalDef_t;
    none->Name = noneChannelName;
    tree->channels.append(none);
    if (!parsed || !error.isEmpty())
        return tree;

    const QDomElement root = document.documentElement();
    forEachListItem(root, "ChannelList", "Channel", [tree](QDomElement &item) {
        pKanalDef_t *channel = channelDataFromXML(&item);
        // The file's own "None" channel gives way to the fresh one at the head.
        if (channel->Name == noneChannelName)
            delete channel;
        else
            tree->channels.append(channel);
    });
    forEachListItem(root, "TagList", "Tag",
                    [tree](QDomElement &item) { tree->tags.append(tagDataFromXml(&item)); });
    forEachListItem(root, "AlarmList", "Alarm",
                    [tree](QDomElement &item) { tree->alarms.append(alarmDataFromXml(&item)); });
    return tree;
}

FileDataTree *TgchFileProcessor::loadFileData(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray data = file.readAll();
    file.close();
    return loadFileData(data);
}

pKanalDef_t *TgchFileProcessor::channelDataFromXML(QDomElement *element)
{
    auto *channel = new pKanalDef_t;
    readFields(channelFields, element ? *element : QDomElement(), *channel);
    return channel;
}

pEtiketDef_t *TgchFileProcessor::tagDataFromXml(QDomElement *element)
{
    auto *tag = new pEtiketDef_t;
    readFields(tagFields, element ? *element : QDomElement(), *tag);
    return tag;
}

pAlarmItem_t *TgchFileProcessor::alarmDataFromXml(QDomElement *element)
{
    auto *alarm = new pAlarmItem_t;
    readFields(alarmFields, element ? *element : QDomElement(), *alarm);
    return alarm;
}

bool TgchFileProcessor::writeToFile(FileDataTree *tree, QString path)
{
    if (!tree)
        return false;
    return ZadUruru::writeWholeFile(path, [tree](QIODevice *device) {
        QXmlStreamWriter writer(device);
        writer.setAutoFormatting(true);
        writer.setAutoFormattingIndent(4);
        writer.setCodec("UTF-8");
        writer.writeStartDocument(QStringLiteral("1.0"));
        writer.writeStartElement(QStringLiteral("CTDefinitions"));

        writer.writeStartElement(QStringLiteral("ChannelList"));
        for (const pKanalDef_t *channel : qAsConst(tree->channels))
            if (channel)
                writeFields(channelFields, writer, "Channel", *channel);
        writer.writeEndElement();

        writer.writeStartElement(QStringLiteral("TagList"));
        for (const pEtiketDef_t *tag : qAsConst(tree->tags))
            if (tag)
                writeFields(tagFields, writer, "Tag", *tag);
        writer.writeEndElement();

        writer.writeStartElement(QStringLiteral("AlarmList"));
        for (const pAlarmItem_t *alarm : qAsConst(tree->alarms))
            if (alarm)
                writeFields(alarmFields, writer, "Alarm", *alarm);
        writer.writeEndElement();

        writer.writeEndElement();
        writer.writeEndDocument();
        return !writer.hasError();
    });
}

bool TgchFileProcessor::writeToFile(QStandardItemModel *channelTable, QStandardItemModel *tagTable,
                                    QString path)
{
    if (!channelTable || !tagTable)
        return false;

    QDomDocument document(QStringLiteral("ChannelAndTagDefinitions"));
    QDomElement root = document.createElement(QStringLiteral("CTDefinitions"));
    document.appendChild(root);
    QDomElement channels = document.createElement(QStringLiteral("ChannelList"));
    root.appendChild(channels);
    appendRows(document, channels, "Channel", *channelTable, channelColumns);
    QDomElement tags = document.createElement(QStringLiteral("TagList"));
    root.appendChild(tags);
    appendRows(document, tags, "Tag", *tagTable, tagColumns);

    const QString text = document.toString(1);
    return ZadUruru::writeWholeFile(path, [&text](QIODevice *device) {
        // No XML declaration and the locale's encoding: the form the
        // definitions editor has always written.
        QTextStream stream(device);
        stream << text;
        stream.flush();
        return stream.status() == QTextStream::Ok;
    });
}

bool TgchFileProcessor::writeToFile(OpenedFile *file)
{
    if (!file)
        return false;
    return writeToFile(file->channelModel, file->tagModel, file->filePath);
}

FileDataTree *TgchFileProcessor::loadTagsFromCSV(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    auto *tree = new FileDataTree;
    QTextStream stream(&file);
    const QString text = stream.readAll();
    file.close();

    // A carriage return before a line feed stays in the line's last field,
    // where the type word test does not mind it.
    const QVector<QStringRef> lines = text.splitRef(QLatin1Char('\n'));
    for (const QStringRef &line : lines) {
        const QVector<QStringRef> fields = line.split(QLatin1Char(';'));
        if (fields.size() != 4)
            continue;
        auto *tag = new pEtiketDef_t;
        const QString type = fields.at(3).toString().remove(QLatin1Char(' '));
        for (const CsvType &known : csvTypes) {
            if (type.contains(known.word)) {
                tag->VariableType = known.variableType;
                tag->VariableSize = known.variableSize;
                break;
            }
        }
        tag->Name = fields.at(2).toString();
        tag->VariableAddress = fields.at(1).toString();
        tag->PollFrequency = 3;
        tree->tags.append(tag);
    }
    return tree;
}
