#pragma once

// The element tables of the definitions file's three record kinds, shared by
// the readers and the tree writer, and the column tables of the table writer.

#include "definitionsXml_p.h"

#include <zadururu/definitions/pAlarmItem.h>
#include <zadururu/definitions/pEtiketDef.h>
#include <zadururu/definitions/pKanalDef.h>

#include <QLatin1String>

namespace ZadUruru {
namespace DefinitionsXml {

// Element tables, in the order the writer writes the children. A second
// column names the value read when the element is missing altogether, where
// that differs from reading its empty text.

inline const FieldRule<pKanalDef_t> channelFields[] = {
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

inline const FieldRule<pEtiketDef_t> tagFields[] = {
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

inline const FieldRule<pAlarmItem_t> alarmFields[] = {
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

// The editing tables: which column fills which child element, in the order
// the table writer writes them, and whether the text goes out as CDATA.
struct TableColumn
{
    const char *element;
    int column;
    bool cdata;
};

inline const TableColumn channelColumns[] = {
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

inline const TableColumn tagColumns[] = {
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

/// The channel every loaded tree begins with; a file's own channel of this name gives way to it.
inline const QLatin1String noneChannelName("None");

} // namespace DefinitionsXml
} // namespace ZadUruru
