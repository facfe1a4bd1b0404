#pragma once

/**
 * @file scaFileData.h
 * @brief The content of one scene file (ScaFileData) and the call that frees
 * it whole (destroyScaFileData()).
 */

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
 * The content of one scene file: its items, by kind, and its page
 * properties. ScaFileProcessor::loadFileData() returns one; the host may also
 * build one and save it with ScaFileProcessor::saveFileData().
 *
 * The lists hold raw pointers and do not own the records: destroying a
 * ScaFileData destroys none of them, and erase() destroys only the component
 * instances. To free a page and every record in it, call
 * destroyScaFileData(). A null entry in a list is skipped by the writer and
 * by the lookups.
 *
 * Not copyable: a copy would hold the same record pointers, and freeing both
 * would free every record twice. Keep it by pointer.
 */
class ZADURURU_EXPORT ScaFileData
{
public:
    /// An empty page: no items, the page properties at their new values (a size of -1 by -1).
    ScaFileData();
    /// Not copyable: both copies would own the same records.
    ScaFileData(const ScaFileData &) = delete;
    /// Not assignable, for the same reason.
    ScaFileData &operator=(const ScaFileData &) = delete;

    /// The first component instance whose Uid is @p uid, or null.
    ScadaObjectLoadData_t *getBlock(int uid) const;
    /**
     * Empties #scadaObjects without destroying the records it pointed to:
     * the caller then owns them. The other lists are not touched.
     */
    void clear();
    /**
     * Removes every component instance from #scadaObjects and destroys it
     * (its common data with it). Items of the other kinds stay in their
     * lists, and alive: free them with destroyScaFileData() instead when the
     * whole page goes.
     */
    void erase();

    QList<ScadaObjectLoadData_t *> scadaObjects;     ///< component instances, in file order
    QList<TextItemLoadData_t *> textItems;           ///< text items, in file order
    QList<ScheduleItemLoadData_t *> scheduleItems;   ///< schedule items, in file order
    QList<RealTimeChartItemLoadData_t *> rtChartItems; ///< real-time charts, in file order
    QList<DbQueryTextItemLoadData_t *> dbqTextItems; ///< database-query texts, in file order
    QList<TableItemLoadData_t *> tableItems;         ///< tables, in file order
    /**
     * The ScadaObjectLoadData_t::tagID_label of every component instance, in
     * file order, repeats and -1 included. Filled by the loader only: it
     * does not follow later changes, and no file stores it.
     */
    QList<int> labelTagIds;
    PagePropertiesData_t pageProperties;             ///< the page's properties and scrolling texts
    bool hostFlag1 = true;                           ///< host; the library never reads or changes it
    bool hostFlag2 = false;                          ///< host; the library never reads or changes it
};

/**
 * Frees @p file the way its owner must: every item record of every kind with
 * its common data, then the page itself. Null is allowed and does nothing.
 * Use it rather than erase() and `delete`, which leave the items of every
 * kind but component instances behind.
 */
ZADURURU_EXPORT void destroyScaFileData(ScaFileData *file);
