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

/// A chart plotting the live values of tags, one line per tag. The record owns its common data and frees it with itself.
struct RealTimeChartItemLoadData_t
{
    RealTimeChartItemLoadData_t() = default;
    ~RealTimeChartItemLoadData_t() { delete common; }
    RealTimeChartItemLoadData_t(const RealTimeChartItemLoadData_t &) = delete;
    RealTimeChartItemLoadData_t &operator=(const RealTimeChartItemLoadData_t &) = delete;

    ItemCommonData_t *common = nullptr;
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
