#pragma once

// Every stored field of a definitions record as text, exactly (doubles to 17
// significant digits), in the order the tree writer writes them.

#include <zadururu/definitions/fileDataTree.h>

#include <QString>
#include <QStringList>

namespace {

inline QString n(qint64 value) { return QString::number(value); }
inline QString real(double value) { return QString::number(value, 'g', 17); }
inline QStringList values(const pKanalDef_t &c)
{
    return {c.Name, n(c.Id), n(c.MediaType), n(c.SocketType), n(c.ProtokolType), c.ServerIP, n(c.ServerPORT),
            n(c.ListenPORT), c.FilterIP, n(c.Comport), n(c.Baudrate), n(c.Databit), n(c.Stopbit), n(c.Paritybit),
            n(c.ResponseTimeout), n(c.ConnectionTimeout), n(c.FrameTimeout), n(c.GroupID), c.Station, n(c.Enabled),
            c.LogicProPath, c.Description};
}
inline QStringList values(const pEtiketDef_t &t)
{
    return {t.Name, n(t.PollFrequency), t.KanalName, n(t.Kanal_Id), t.DeviceAddress, t.VariableAddress,
            n(t.VariableSize), n(t.VariableType), n(t.Id), t.Macro, n(t.IsLogging), n(t.PriLevel), n(t.TagType),
            n(t.SchedulerIndex), real(t.LoggingFreq), n(t.LoggingMethod), n(t.ReadRight1), n(t.ReadRight2),
            n(t.WriteRight1), n(t.WriteRight2), t.Keywords, n(t.Enabled), t.Description, t.UnitName,
            n(t.Protocolobjecttype)};
}
inline QStringList values(const pAlarmItem_t &a)
{
    QStringList ids;
    for (int id : a.subscribers)
        ids << n(id);
    return {n(a.Id), a.alarm_name, a.alarm_desc, a.alarm_class, n(a.enabled), n(a.ackrequired), n(a.islogging),
            n(a.tagID), n(a.alarm_type), n(a.alarm_level), n(a.comp_type), real(a.limitVal), real(a.checkVal1),
            real(a.checkVal2), n(a.limit_tag_id), n(a.limit_tag2_id), n(a.readRight1), n(a.readRight2),
            "{" + ids.join(',') + "}", n(a.currentState)};
}

/// Every record of @p tree: its channels, tags and alarms, each one's values.
inline QList<QStringList> recordValues(const FileDataTree &tree)
{
    QList<QStringList> records;
    for (const pKanalDef_t *c : tree.channels)
        records << values(*c);
    for (const pEtiketDef_t *t : tree.tags)
        records << values(*t);
    for (const pAlarmItem_t *a : tree.alarms)
        records << values(*a);
    return records;
}

} // namespace
