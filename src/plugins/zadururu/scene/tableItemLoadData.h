#pragma once

#include <zadururu/scene/itemCommonData.h>

#include <QList>
#include <QString>

/// A table of texts: column widths and rows of cells, not forced into shape. The record owns its common data and frees it with itself.
struct TableItemLoadData_t
{
    TableItemLoadData_t() = default;
    ~TableItemLoadData_t() { delete common; }
    TableItemLoadData_t(const TableItemLoadData_t &) = delete;
    TableItemLoadData_t &operator=(const TableItemLoadData_t &) = delete;

    ItemCommonData_t *common = nullptr;
    QList<QList<QString>> rows;
    QList<int> columnWidths;
    QList<int> hostList1;        ///< host; never stored
    QList<int> hostList2;        ///< host; never stored
    QList<int> hostList3;        ///< host; never stored
};
