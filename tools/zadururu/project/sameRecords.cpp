#include "sameRecords.h"

#include <zadururu/definitions/fileDataTree.h>
#include <zadururu/scene/scaFileData.h>

#include <cmath>
#include <type_traits>

namespace {

// Numbers read from the same text are equal, "nan" included.
bool same(float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); }
bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }
template <class T>
bool same(const T &a, const T &b) { return a == b; }
bool same(const ChartLineData &a, const ChartLineData &b)
{
    return a.Tag == b.Tag && a.LineColor == b.LineColor && a.LineStyle == b.LineStyle;
}
bool same(const ScrollingText &a, const ScrollingText &b) { return a.TagID == b.TagID && a.ScrollText == b.ScrollText; }
template <class T>
bool same(const QList<T> &a, const QList<T> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i)
        if (!same(a.at(i), b.at(i)))
            return false;
    return true;
}

// The first member of a list that differs between two records x and y, by name.
#define DIFFERS(m) (!same(x.m, y.m)) return QStringLiteral(#m)

QString commonDifference(const ItemCommonData_t *a, const ItemCommonData_t *b)
{
    if (!a || !b)
        return a == b ? QString() : QStringLiteral("common data");
    const ItemCommonData_t &x = *a, &y = *b;
    if DIFFERS(X); if DIFFERS(Y); if DIFFERS(W); if DIFFERS(H); if DIFFERS(ZVAL); if DIFFERS(GZVAL); if DIFFERS(Rot);
    if DIFFERS(HFlip); if DIFFERS(VFlip); if DIFFERS(GroupId); if DIFFERS(Name); if DIFFERS(itemTypeCode);
    return QString();
}

QString difference(const ScadaObjectLoadData_t &x, const ScadaObjectLoadData_t &y)
{
    if DIFFERS(Type); if DIFFERS(Uid);
    if DIFFERS(tagID_image); if DIFFERS(tagID_label); if DIFFERS(tagID_posx); if DIFFERS(tagID_posy);
    if DIFFERS(tagID_width); if DIFFERS(tagID_height); if DIFFERS(tagID_rotAng); if DIFFERS(tagID_txtColor);
    if DIFFERS(tagID_maskColor); if DIFFERS(tagID_maskOpac); if DIFFERS(tagID_cusProp1); if DIFFERS(tagID_cusProp2);
    if DIFFERS(tagID_cusProp3); if DIFFERS(tagID_cusProp4); if DIFFERS(tagID_cusProp5); if DIFFERS(tagID_cusProp6);
    if DIFFERS(tagID_cusProp7); if DIFFERS(tagID_eventTarget); if DIFFERS(eventType); if DIFFERS(eventAction);
    if DIFFERS(lofx); if DIFFERS(lofy); if DIFFERS(labelText); if DIFFERS(labelStyleSheet); if DIFFERS(userConst1);
    if DIFFERS(userConst2); if DIFFERS(MacroText); if DIFFERS(Tooltip); if DIFFERS(weblinkActive); if DIFFERS(weblink);
    if DIFFERS(limitsActive); if DIFFERS(lowLimit); if DIFFERS(highLimit); if DIFFERS(componentUid);
    return QString();
}

QString difference(const TextItemLoadData_t &x, const TextItemLoadData_t &y)
{
    if DIFFERS(ItemText); if DIFFERS(TextColor); if DIFFERS(BgColor); if DIFFERS(SvgElement); if DIFFERS(Alignment);
    if DIFFERS(TextPixelSize); if DIFFERS(Family); if DIFFERS(IsBold); if DIFFERS(IsItalic); if DIFFERS(IsUnderlined);
    if DIFFERS(DrawPaper);
    return QString();
}

QString difference(const ScheduleItemLoadData_t &x, const ScheduleItemLoadData_t &y)
{
    if DIFFERS(TagIDs);
    return QString();
}

QString difference(const RealTimeChartItemLoadData_t &x, const RealTimeChartItemLoadData_t &y)
{
    if DIFFERS(TagIDs); if DIFFERS(BgColor); if DIFFERS(TxtColor); if DIFFERS(ShowLegend); if DIFFERS(FollowLastVal);
    if DIFFERS(RescaleValAxis); if DIFFERS(ShowLastSeconds); if DIFFERS(UpperLimit); if DIFFERS(LowerLimit);
    return QString();
}

QString difference(const DbQueryTextItemLoadData_t &x, const DbQueryTextItemLoadData_t &y)
{
    if DIFFERS(bgColor); if DIFFERS(txtColor); if DIFFERS(labelText); if DIFFERS(labelStyleSheet); if DIFFERS(lofx);
    if DIFFERS(lofy); if DIFFERS(txtPixelSize); if DIFFERS(reportUnit); if DIFFERS(reportType); if DIFFERS(timeFactor);
    if DIFFERS(updateInterval); if DIFFERS(reportTag);
    return QString();
}

QString difference(const TableItemLoadData_t &x, const TableItemLoadData_t &y)
{
    if (x.rows != y.rows)
        return QStringLiteral("rows");
    if DIFFERS(columnWidths);
    return QString();
}

QString difference(const PagePropertiesData_t &x, const PagePropertiesData_t &y)
{
    if DIFFERS(pageName); if DIFFERS(fileName); if DIFFERS(relativePath); if DIFFERS(pageID); if DIFFERS(W);
    if DIFFERS(H); if DIFFERS(pageBgImage); if DIFFERS(pageIcon); if DIFFERS(pageType); if DIFFERS(customPageSize);
    if DIFFERS(addScrollingText); if DIFFERS(pageAccessRights); if DIFFERS(pageAccessRights2); if DIFFERS(scaleToWindow);
    if DIFFERS(ScrollTags);
    return QString();
}

QString difference(const pKanalDef_t &x, const pKanalDef_t &y)
{
    if DIFFERS(Name); if DIFFERS(Id); if DIFFERS(MediaType); if DIFFERS(SocketType); if DIFFERS(ProtokolType);
    if DIFFERS(ServerIP); if DIFFERS(ServerPORT); if DIFFERS(ListenPORT); if DIFFERS(FilterIP); if DIFFERS(Comport);
    if DIFFERS(Baudrate); if DIFFERS(Databit); if DIFFERS(Stopbit); if DIFFERS(Paritybit); if DIFFERS(ResponseTimeout);
    if DIFFERS(ConnectionTimeout); if DIFFERS(FrameTimeout); if DIFFERS(GroupID); if DIFFERS(Station); if DIFFERS(Enabled);
    if DIFFERS(LogicProPath); if DIFFERS(Description);
    return QString();
}

QString difference(const pEtiketDef_t &x, const pEtiketDef_t &y)
{
    if DIFFERS(Name); if DIFFERS(Id); if DIFFERS(PollFrequency); if DIFFERS(DeviceAddress); if DIFFERS(VariableAddress);
    if DIFFERS(KanalName); if DIFFERS(Kanal_Id); if DIFFERS(VariableSize); if DIFFERS(Macro); if DIFFERS(VariableType);
    if DIFFERS(IsLogging); if DIFFERS(PriLevel); if DIFFERS(TagType); if DIFFERS(SchedulerIndex); if DIFFERS(LoggingFreq);
    if DIFFERS(LoggingMethod); if DIFFERS(ReadRight1); if DIFFERS(ReadRight2); if DIFFERS(WriteRight1);
    if DIFFERS(WriteRight2); if DIFFERS(Keywords); if DIFFERS(Enabled); if DIFFERS(Description); if DIFFERS(UnitName);
    if DIFFERS(Protocolobjecttype);
    return QString();
}

QString difference(const pAlarmItem_t &x, const pAlarmItem_t &y)
{
    if DIFFERS(Id); if DIFFERS(alarm_name); if DIFFERS(alarm_desc); if DIFFERS(alarm_class); if DIFFERS(enabled);
    if DIFFERS(ackrequired); if DIFFERS(islogging); if DIFFERS(tagID); if DIFFERS(alarm_type); if DIFFERS(alarm_level);
    if DIFFERS(comp_type); if DIFFERS(limitVal); if DIFFERS(checkVal1); if DIFFERS(checkVal2); if DIFFERS(limit_tag_id);
    if DIFFERS(limit_tag2_id); if DIFFERS(readRight1); if DIFFERS(readRight2); if DIFFERS(subscribers);
    if DIFFERS(currentState);
    return QString();
}

#undef DIFFERS

// The first record of @p a and @p b (lists of records of one kind) that differs, named "kind N: field".
template <class T>
QString listDifference(const char *kind, const QList<T *> &a, const QList<T *> &b, int from = 0)
{
    if (a.size() != b.size())
        return QStringLiteral("%1 %2 and %3 records").arg(QLatin1String(kind)).arg(a.size() - from).arg(b.size() - from);
    for (int i = from; i < a.size(); ++i) {
        QString field;
        if constexpr (std::is_base_of<ItemRecord, T>::value)
            field = commonDifference(a.at(i)->common, b.at(i)->common);
        if (field.isEmpty())
            field = difference(*a.at(i), *b.at(i));
        if (!field.isEmpty())
            return QStringLiteral("%1 %2: %3").arg(QLatin1String(kind)).arg(i + 1 - from).arg(field);
    }
    return QString();
}

} // namespace

QString pageDifference(const ScaFileData &a, const ScaFileData &b)
{
    QString found = difference(a.pageProperties, b.pageProperties);
    if (!found.isEmpty())
        return QStringLiteral("page: ") + found;
    for (const QString &items :
         {listDifference("component", a.scadaObjects, b.scadaObjects), listDifference("text", a.textItems, b.textItems),
          listDifference("schedule", a.scheduleItems, b.scheduleItems), listDifference("chart", a.rtChartItems, b.rtChartItems),
          listDifference("query text", a.dbqTextItems, b.dbqTextItems), listDifference("table", a.tableItems, b.tableItems)})
        if (!items.isEmpty())
            return items;
    return QString();
}

QString definitionsDifference(const FileDataTree &a, const FileDataTree &b)
{
    // The loader's own "None" channel heads both lists.
    for (const QString &records : {listDifference("channel", a.channels, b.channels, 1),
                                   listDifference("tag", a.tags, b.tags), listDifference("alarm", a.alarms, b.alarms)})
        if (!records.isEmpty())
            return records;
    return QString();
}
