#pragma once

// Channels, tags or alarms of a definitions file as a table: CSV with a
// header row of the element names, or a JSON array with one object per
// record. Every stored field of every record is written so that reading the
// table back gives records the definitions writer writes byte for byte alike.

#include "definitionsFields.h"
#include "table.h"

#include <QByteArray>

struct FileDataTree;

enum class TableFormat { Csv, Json };

/**
 * The records of @p kind in @p tree, in list order (the loader's own "None"
 * channel, the first channel of every loaded tree, left out), with every
 * stored field in the writer's order.
 *
 * CSV: UTF-8 with a byte-order mark, a header row of the element names,
 * records ending in CR LF, fields quoted where RFC 4180 needs it (and where
 * they begin or end with a space); cells as cellText() writes them.
 *
 * JSON: a bare array with one object per line; texts as strings, whole
 * numbers and reals as numbers (infinities and not-a-number, which JSON has
 * no numbers for, as the strings "inf", "-inf" and "nan"), booleans as true
 * and false, id lists as arrays.
 */
QByteArray exportTable(const FileDataTree &tree, RecordKind kind, TableFormat format);

/// Reads @p text as a table in @p format (see readCsv() and readJson()), its rows into @p table or to @p onRow.
bool readTable(const QString &text, TableFormat format, Table *table, QVector<TableProblem> *problems,
               const RowHandler &onRow = nullptr);
