#pragma once

#include <zadururu/scene/itemCommonData.h>

#include <QList>

/// An item bound to a list of tags, in order. The record owns its common data and frees it with itself.
struct ScheduleItemLoadData_t
{
    ScheduleItemLoadData_t() = default;
    ~ScheduleItemLoadData_t() { delete common; }
    ScheduleItemLoadData_t(const ScheduleItemLoadData_t &) = delete;
    ScheduleItemLoadData_t &operator=(const ScheduleItemLoadData_t &) = delete;

    ItemCommonData_t *common = nullptr;
    QList<int> TagIDs;
};
