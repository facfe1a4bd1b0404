#pragma once

// Every field of every scene record as "field=value" text, so that a test
// compares whole records at once and a wrong value names its field.

#include "fields.h"

#include <zadururu/scene/scaFileData.h>

inline QString str(const ScrollingText &t) { return QString::number(t.TagID) + ':' + t.ScrollText; }
inline QString str(Qt::Alignment v) { return QString::number(int(v)); }
inline QString str(const ChartLineData &v) { return QString("%1/%2/%3").arg(v.Tag).arg(v.LineStyle).arg(v.LineColor); }
template<typename T, int N>
QString str(const T (&words)[N]) { return str(QList<T>(words, words + N)); }

inline QStringList fields(const ItemCommonData_t &r)
{
    return {FIELD(X), FIELD(Y), FIELD(W), FIELD(H), FIELD(ZVAL), FIELD(GZVAL), FIELD(Rot), FIELD(HFlip), FIELD(VFlip),
            FIELD(GroupId), FIELD(Name), FIELD(itemTypeCode)};
}
inline QStringList fields(const ScadaObjectLoadData_t &r)
{
    return fields(*r.common) << FIELD(Type) << FIELD(Uid) << FIELD(tagID_image) << FIELD(tagID_label)
        << FIELD(tagID_posx) << FIELD(tagID_posy) << FIELD(tagID_width) << FIELD(tagID_height) << FIELD(tagID_rotAng)
        << FIELD(tagID_txtColor) << FIELD(tagID_maskColor) << FIELD(tagID_maskOpac) << FIELD(tagID_cusProp1)
        << FIELD(tagID_cusProp2) << FIELD(tagID_cusProp3) << FIELD(tagID_cusProp4) << FIELD(tagID_cusProp5)
        << FIELD(tagID_cusProp6) << FIELD(tagID_cusProp7) << FIELD(tagID_eventTarget) << FIELD(eventType)
        << FIELD(eventAction) << FIELD(lofx) << FIELD(lofy) << FIELD(labelText) << FIELD(labelStyleSheet)
        << FIELD(userConst1) << FIELD(userConst2) << FIELD(MacroText) << FIELD(Tooltip) << FIELD(weblinkActive)
        << FIELD(weblink) << FIELD(limitsActive) << FIELD(lowLimit) << FIELD(highLimit) << FIELD(componentUid)
        << FIELD(hostWords) << FIELD(hostText) << FIELD(hostList) << FIELD(hostSlot);
}
inline QStringList fields(const TextItemLoadData_t &r)
{
    return fields(*r.common) << FIELD(ItemText) << FIELD(TextColor) << FIELD(BgColor) << FIELD(SvgElement)
        << FIELD(Alignment) << FIELD(TextPixelSize) << FIELD(Family) << FIELD(IsBold) << FIELD(IsItalic)
        << FIELD(IsUnderlined) << FIELD(DrawPaper);
}
inline QStringList fields(const DbQueryTextItemLoadData_t &r)
{
    return fields(*r.common) << FIELD(bgColor) << FIELD(txtColor) << FIELD(labelText) << FIELD(labelStyleSheet)
        << FIELD(lofx) << FIELD(lofy) << FIELD(txtPixelSize) << FIELD(reportUnit) << FIELD(reportType)
        << FIELD(timeFactor) << FIELD(updateInterval) << FIELD(reportTag) << FIELD(hostWords);
}
inline QStringList fields(const ScheduleItemLoadData_t &r) { return fields(*r.common) << FIELD(TagIDs); }
inline QStringList fields(const RealTimeChartItemLoadData_t &r)
{
    return fields(*r.common) << FIELD(TagIDs) << FIELD(BgColor) << FIELD(TxtColor) << FIELD(ShowLegend)
        << FIELD(FollowLastVal) << FIELD(RescaleValAxis) << FIELD(ShowLastSeconds) << FIELD(UpperLimit)
        << FIELD(LowerLimit);
}
inline QStringList fields(const TableItemLoadData_t &r)
{
    return fields(*r.common) << FIELD(rows) << FIELD(columnWidths) << FIELD(hostList1) << FIELD(hostList2)
        << FIELD(hostList3);
}


inline QString fields(const PagePropertiesData_t &r)
{
    return QStringList{FIELD(pageName), FIELD(fileName), FIELD(relativePath), FIELD(pageID), FIELD(pageAux),
                       FIELD(W), FIELD(H), FIELD(pageBgImage), FIELD(pageIcon), FIELD(pageType), FIELD(customPageSize),
                       FIELD(addScrollingText), FIELD(pageAccessRights), FIELD(pageAccessRights2),
                       FIELD(scaleToWindow), FIELD(ScrollTags)}
        .join('|');
}

template<typename T>
void addRecords(QStringList &out, const char *kind, const QList<T *> &items)
{
    for (const T *item : items)
        out << QLatin1String(kind) + ": " + (item ? fields(*item).join('|') : QStringLiteral("null"));
}

/// One line per record of @p file, items by kind in list order, then the page and its label bindings.
inline QStringList sceneRecords(const ScaFileData &file)
{
    QStringList out;
    addRecords(out, "ScadaObject", file.scadaObjects);
    addRecords(out, "TextItem", file.textItems);
    addRecords(out, "ScheduleItem", file.scheduleItems);
    addRecords(out, "RTChartItem", file.rtChartItems);
    addRecords(out, "DbqTextItem", file.dbqTextItems);
    addRecords(out, "TableItem", file.tableItems);
    out << "labelTagIds: " + str(file.labelTagIds) << "page: " + fields(file.pageProperties);
    return out;
}
