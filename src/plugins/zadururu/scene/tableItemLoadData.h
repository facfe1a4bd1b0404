#pragma once

/**
 * @file tableItemLoadData.h
 * @brief A table of texts on a page (TableItemLoadData_t).
 */

#include <zadururu/scene/itemCommonData.h>

#include <QList>
#include <QString>

/**
 * A table of texts: column widths and rows of cells, inside a `TableData`
 * element of an `Item` whose `ItemType` is "TableItem". The grid is not
 * forced into shape: rows may hold different numbers of cells, and the
 * number of widths is independent of them.
 */
struct TableItemLoadData_t : ItemRecord
{
    /**
     * The cell texts, row by row, each row's cells in column order: one `Row`
     * element per row with a `CellText` per cell, stored as CDATA (spaces
     * and markup characters survive). An empty `Row` is an empty row.
     */
    QList<QList<QString>> rows;
    /**
     * The width of each column in page units: the `width` attribute of each
     * `Column` of `ColumnGroup`. A `Column` without one reads as 30, one that
     * is not a number as 0.
     */
    QList<int> columnWidths;
    QList<int> hostList1;        ///< host; never stored
    QList<int> hostList2;        ///< host; never stored
    QList<int> hostList3;        ///< host; never stored
};
