#pragma once

/**
 * @file dbQueryTextItemLoadData.h
 * @brief A text showing a database query's result (DbQueryTextItemLoadData_t).
 */

#include <zadururu/scene/itemCommonData.h>

#include <QString>
#include <QtGlobal>

/**
 * A text that shows the result of a database query (a report) on one tag,
 * after a label: an `Item` whose `ItemType` is "DbqTextItem". The library
 * carries its settings; the query and the meaning of the report codes are
 * the editor's.
 *
 * Every field but #hostWords is a child element of the same name, written as
 * text (no CDATA). The values below are those the reader gives for an absent
 * element; a new record's texts are empty. An empty element reads as an
 * empty text or 0, and a text of only spaces reads back empty.
 */
struct DbQueryTextItemLoadData_t : ItemRecord
{
    QString bgColor;             ///< background colour name, carried as text; read: "#000"
    QString txtColor;            ///< text colour name, carried as text; read: "#FFF"
    QString labelText;           ///< the label shown before the value; read: "Val is " (with its trailing space)
    QString labelStyleSheet;     ///< Qt style sheet of the label; read: `font: 12px "Arial";`
    int lofx = 0;                ///< horizontal offset of the label from the item's top left corner, in page units
    int lofy = 0;                ///< vertical offset of the label, in page units
    int txtPixelSize = 14;       ///< font size of the value in pixels; read: 14
    quint32 hostWords[2] = {0, 0}; ///< host; never stored
    int reportUnit = 1;          ///< report unit code, as the editor numbers it; read: 1
    int reportType = 0;          ///< report type code, as the editor numbers it; read: 0
    int timeFactor = 100;        ///< time factor of the report, as the editor takes it; read: 100
    int updateInterval = 100;    ///< interval between updates of the value, in the editor's unit; read: 100
    int reportTag = -1;          ///< id of the tag reported on; -1: none. Read: -1, but 0 for an empty element
};
