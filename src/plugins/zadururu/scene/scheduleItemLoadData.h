#pragma once

#include <zadururu/scene/itemCommonData.h>

#include <QList>

/// An item bound to a list of tags, in order.
struct ScheduleItemLoadData_t : ItemRecord
{
    QList<int> TagIDs;
};
