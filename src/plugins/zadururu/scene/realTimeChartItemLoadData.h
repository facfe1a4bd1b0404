#pragma once

/**
 * @file realTimeChartItemLoadData.h
 * @brief A chart of live tag values (RealTimeChartItemLoadData_t) and its
 * lines (ChartLineData).
 */

#include <zadururu/scene/itemCommonData.h>

#include <QList>
#include <QString>

/**
 * One line of a real-time chart: a `TagData` element inside the chart's
 * `TagIDs`, with the attributes `Tag`, `LineStyle` and `LineColor`. The
 * values below are also those read for an absent attribute.
 */
struct ChartLineData
{
    int Tag = -1;                ///< id of the tag the line plots; -1: none
    /// Colour of the line, as a colour name; an attribute that is present but empty reads as empty.
    QString LineColor = QStringLiteral("#FF0000");
    int LineStyle = 0;           ///< line style code, as the editor numbers it
};

/**
 * A chart that plots the live values of tags, one line per tag, over a
 * sliding time window: an `Item` whose `ItemType` is "RTChartItem". Drawing
 * it is the editor's.
 *
 * Older files list the lines as bare `Tag` elements holding only the tag's
 * id; the reader takes those after the `TagData` lines (style 0, colour
 * "#FF0000"), and the writer writes every line as `TagData`.
 *
 * The other fields are child elements of the same name. The values below
 * are those read for an absent element; an element that is present but
 * empty reads as an empty text, 0 or false.
 */
struct RealTimeChartItemLoadData_t : ItemRecord
{
    QList<ChartLineData> TagIDs; ///< the chart's lines, in file order, repeats included
    QString BgColor;             ///< background colour name, carried as text; read: "#000"
    QString TxtColor;            ///< text colour name, carried as text; read: "#FFF"
    bool ShowLegend = true;      ///< the legend is shown; stored as "0" or "1", any number but 0 reads as true
    bool FollowLastVal = true;   ///< the view follows the newest value; stored like #ShowLegend
    bool RescaleValAxis = true;  ///< the value axis rescales to the data; stored like #ShowLegend
    int ShowLastSeconds = 300;   ///< width of the time window, in seconds
    int UpperLimit = 0;          ///< upper limit of the value axis
    int LowerLimit = 0;          ///< lower limit of the value axis
};
