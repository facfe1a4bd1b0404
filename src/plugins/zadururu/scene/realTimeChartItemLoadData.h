#pragma once

#include <zadururu/scene/itemCommonData.h>

#include <QList>
#include <QString>

/// One line of a real-time chart.
struct ChartLineData
{
    int Tag = -1;
    QString LineColor = QStringLiteral("#FF0000");
    int LineStyle = 0;
};

/// A chart plotting the live values of tags, one line per tag.
struct RealTimeChartItemLoadData_t : ItemRecord
{
    QList<ChartLineData> TagIDs;
    QString BgColor;
    QString TxtColor;
    bool ShowLegend = true;
    bool FollowLastVal = true;
    bool RescaleValAxis = true;
    int ShowLastSeconds = 300;
    int UpperLimit = 0;
    int LowerLimit = 0;
};
