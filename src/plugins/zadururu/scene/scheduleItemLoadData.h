#pragma once

/**
 * @file scheduleItemLoadData.h
 * @brief An item bound to a list of tags (ScheduleItemLoadData_t).
 */

#include <zadururu/scene/itemCommonData.h>

#include <QList>

/**
 * An item the editor binds to a list of tags: an `Item` whose `ItemType` is
 * "ScheduleItem". Its ItemCommonData_t::itemTypeCode is 1, as for component
 * instances.
 */
struct ScheduleItemLoadData_t : ItemRecord
{
    /**
     * Ids of the tags the item shows, in file order, repeats included: one
     * `Tag` element per id inside `TagIDs`. An empty `Tag` or one that is
     * not a number reads as 0.
     */
    QList<int> TagIDs;
};
