#pragma once

#include <zadururu/scene/itemCommonData.h>

#include <QList>
#include <QString>

/// A table of texts: column widths and rows of cells, not forced into shape.
struct TableItemLoadData_t : ItemRecord
{
    QList<QList<QString>> rows;
    QList<int> columnWidths;
    QList<int> hostList1;        ///< host; never stored
    QList<int> hostList2;        ///< host; never stored
    QList<int> hostList3;        ///< host; never stored
};
