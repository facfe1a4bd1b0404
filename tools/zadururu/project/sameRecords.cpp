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
#define DIFFERS(m)                        \
    do {                                  \
        if (!same(x.m, y.m))              \
            return QStringLiteral(#m);    \
    } while (false)

QString commonDifference(const ItemCommonData_t *a, const ItemCommonData_t *b)
{
    if (!a || !b)
        return a == b ? QString() : QStringLiteral("common data");
    const ItemCommonData_t &x = *a, &y = *b;
    DIFFERS(X); DIFFERS(Y); DIFFERS(W); DIFFERS(H); DIFFERS(ZVAL); DIFFERS(GZVAL); DIFFERS(Rot);
    DIFFERS(HFlip); DIFFERS(VFlip); DIFFERS(GroupId); DIFFERS(Name); DIFFERS(itemTypeCode);
    return QString();
}

QString difference(const ScadaObjectLoadData_t &x, const ScadaObjectLoadData_t &y)
{
    DIFFERS(Type); DIFFERS(Uid);
    DIFFERS(tagID_image); DIFFERS(tagID_label); DIFFERS(tagID_posx); DIFFERS(tagID_posy);
    DIFFERS(tagID_width); DIFFERS(tagID_height); DIFFERS(tagID_rotAng); DIFFERS(tagID_txtColor);
    DIFFERS(tagID_maskColor); DIFFERS(tagID_maskOpac); DIFFERS(tagID_cusProp1); DIFFERS(tagID_cusProp2);
    DIFFERS(tagID_cusProp3); DIFFERS(tagID_cusProp4); DIFFERS(tagID_cusProp5); DIFFERS(tagID_cusProp6);
    DIFFERS(tagID_cusProp7); DIFFERS(tagID_eventTarget); DIFFERS(eventType); DIFFERS(eventAction);
    DIFFERS(lofx); DIFFERS(lofy); DIFFERS(labelText); DIFFERS(labelStyleSheet); DIFFERS(userConst1);
    DIFFERS(userConst2); DIFFERS(MacroText); DIFFERS(Tooltip); DIFFERS(weblinkActive); DIFFERS(weblink);
    DIFFERS(limitsActive); DIFFERS(lowLimit); DIFFERS(highLimit); DIFFERS(componentUid);
    return QString();
}

QString difference(const TextItemLoadData_t &x, const TextItemLoadData_t &y)
{
    DIFFERS(ItemText); DIFFERS(TextColor); DIFFERS(BgColor); DIFFERS(SvgElement); DIFFERS(Alignment);
    DIFFERS(TextPixelSize); DIFFERS(Family); DIFFERS(IsBold); DIFFERS(IsItalic); DIFFERS(IsUnderlined);
    DIFFERS(DrawPaper);
    return QString();
}

QString difference(const ScheduleItemLoadData_t &x, const ScheduleItemLoadData_t &y)
{
    DIFFERS(TagIDs);
    return QString();
}

QString difference(const RealTimeChartItemLoadData_t &x, const RealTimeChartItemLoadData_t &y)
{
    DIFFERS(TagIDs); DIFFERS(BgColor); DIFFERS(TxtColor); DIFFERS(ShowLegend); DIFFERS(FollowLastVal);
    DIFFERS(RescaleValAxis); DIFFERS(ShowLastSeconds); DIFFERS(UpperLimit); DIFFERS(LowerLimit);
    return QString();
}

QString difference(const DbQueryTextItemLoadData_t &x, const DbQueryTextItemLoadData_t &y)
{
    DIFFERS(bgColor); DIFFERS(txtColor); DIFFERS(labelText); DIFFERS(labelStyleSheet); DIFFERS(lofx);
    DIFFERS(lofy); DIFFERS(txtPixelSize); DIFFERS(reportUnit); DIFFERS(reportType); DIFFERS(timeFactor);
    DIFFERS(updateInterval); DIFFERS(reportTag);
    return QString();
}

QString difference(const TableItemLoadData_t &x, const TableItemLoadData_t &y)
{
    if (x.rows != y.rows)
        return QStringLiteral("rows");
    DIFFERS(columnWidths);
    return QString();
}

QString difference(const PagePropertiesData_t &x, const PagePropertiesData_t &y)
{
    DIFFERS(pageName); DIFFERS(fileName); DIFFERS(relativePath); DIFFERS(pageID); DIFFERS(W);
    DIFFERS(H); DIFFERS(pageBgImage); DIFFERS(pageIcon); DIFFERS(pageType); DIFFERS(customPageSize);
    DIFFERS(addScrollingText); DIFFERS(pageAccessRights); DIFFERS(pageAccessRights2); DIFFERS(scaleToWindow);
    DIFFERS(ScrollTags);
    return QString();
}

QString difference(const pKanalDef_t &x, const pKanalDef_t &y)
{
    DIFFERS(Name); DIFFERS(Id); DIFFERS(MediaType); DIFFERS(SocketType); DIFFERS(ProtokolType);
    DIFFERS(ServerIP); DIFFERS(ServerPORT); DIFFERS(ListenPORT); DIFFERS(FilterIP); DIFFERS(Comport);
    DIFFERS(Baudrate); DIFFERS(Databit); DIFFERS(Stopbit); DIFFERS(Paritybit); DIFFERS(ResponseTimeout);
    DIFFERS(ConnectionTimeout); DIFFERS(FrameTimeout); DIFFERS(GroupID); DIFFERS(Station); DIFFERS(Enabled);
    DIFFERS(LogicProPath); DIFFERS(Description);
    return QString();
}

QString difference(const pEtiketDef_t &x, const pEtiketDef_t &y)
{
    DIFFERS(Name); DIFFERS(Id); DIFFERS(PollFrequency); DIFFERS(DeviceAddress); DIFFERS(VariableAddress);
    DIFFERS(KanalName); DIFFERS(Kanal_Id); DIFFERS(VariableSize); DIFFERS(Macro); DIFFERS(VariableType);
    DIFFERS(IsLogging); DIFFERS(PriLevel); DIFFERS(TagType); DIFFERS(SchedulerIndex); DIFFERS(LoggingFreq);
    DIFFERS(LoggingMethod); DIFFERS(ReadRight1); DIFFERS(ReadRight2); DIFFERS(WriteRight1);
    DIFFERS(WriteRight2); DIFFERS(Keywords); DIFFERS(Enabled); DIFFERS(Description); DIFFERS(UnitName);
    DIFFERS(Protocolobjecttype);
    return QString();
}

QString difference(const pAlarmItem_t &x, const pAlarmItem_t &y)
{
    DIFFERS(Id); DIFFERS(alarm_name); DIFFERS(alarm_desc); DIFFERS(alarm_class); DIFFERS(enabled);
    DIFFERS(ackrequired); DIFFERS(islogging); DIFFERS(tagID); DIFFERS(alarm_type); DIFFERS(alarm_level);
    DIFFERS(comp_type); DIFFERS(limitVal); DIFFERS(checkVal1); DIFFERS(checkVal2); DIFFERS(limit_tag_id);
    DIFFERS(limit_tag2_id); DIFFERS(readRight1); DIFFERS(readRight2); DIFFERS(subscribers);
    DIFFERS(currentState);
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
