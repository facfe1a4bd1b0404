#pragma once

#include <zadururu/scene/itemCommonData.h>

#include <QString>
#include <QtGlobal>

/// A text showing the result of a database query (a report) on one tag, after a label.
struct DbQueryTextItemLoadData_t : ItemRecord
{
    QString bgColor;
    QString txtColor;
    QString labelText;
    QString labelStyleSheet;
    int lofx = 0;
    int lofy = 0;
    int txtPixelSize = 14;
    quint32 hostWords[2] = {0, 0}; ///< host; never stored
    int reportUnit = 1;
    int reportType = 0;
    int timeFactor = 100;
    int updateInterval = 100;
    int reportTag = -1;
};
