#include "tgchFileProcessor.h"

#include "common/wholeFileWriter_p.h"
#include "definitionsXml_p.h"

#include <QDomDocument>
#include <QFile>
#include <QIODevice>
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
    const bool parsed = !data.isEmpty() && document.setContent(&source, &reader, &error, &line, &column);

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
