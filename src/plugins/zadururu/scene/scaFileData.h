#pragma once

#include <zadururu/zadururu_export.h>
#include <zadururu/scene/pagePropertiesData.h>
#include <zadururu/scene/dbQueryTextItemLoadData.h>
#include <zadururu/scene/realTimeChartItemLoadData.h>
#include <zadururu/scene/scadaObjectLoadData.h>
#include <zadururu/scene/scheduleItemLoadData.h>
#include <zadururu/scene/tableItemLoadData.h>
#include <zadururu/scene/textItemLoadData.h>

#include <QList>

/**
 * The content of one scene file: its items by kind and its page properties.
 * The lists hold raw pointers and do not own the records: erase() destroys
 * the component instances, and nothing here destroys the other kinds.
 */
class ZADURURU_EXPORT ScaFileData
{
public:
    ScaFileData();
    ScaFileData(const ScaFileData &) = delete;
    ScaFileData &operator=(const ScaFileData &) = delete;

    /// The first component instance whose Uid is @p uid, or null.
    ScadaObjectLoadData_t *getBlock(int uid) const;
    /// Empties the component instance list without destroying its records.
    void clear();
    /// Removes and destroys every component instance; other kinds are kept.
    void erase();

    QList<ScadaObjectLoadData_t *> scadaObjects;
    QList<TextItemLoadData_t *> textItems;
    QList<ScheduleItemLoadData_t *> scheduleItems;
    QList<RealTimeChartItemLoadData_t *> rtChartItems;
    QList<DbQueryTextItemLoadData_t *> dbqTextItems;
    QList<TableItemLoadData_t *> tableItems;
    /// The tagID_label binding of every component instance loaded, in file order.
    QList<int> labelTagIds;
    PagePropertiesData_t pageProperties;
    bool hostFlag1 = true;
    bool hostFlag2 = false;
};

/**
 * Frees @p file the way its owner must: every item record of every kind
 * (erase() destroys only the component instances), then the file itself.
 * Null is allowed and does nothing.
 */
ZADURURU_EXPORT void destroyScaFileData(ScaFileData *file);
