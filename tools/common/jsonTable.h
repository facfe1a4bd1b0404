#pragma once

// A table as a JSON array of flat objects: one object per row, one member per
// cell, values that are strings, numbers, booleans or arrays of numbers.

#include "quotedText.h"
#include "table.h"

/**
 * Reads @p text as a JSON array of objects. The columns are the member names
 * in the order they first appear; a row lacks the cells of the members its
 * object does not have. Numbers keep the text they are written in, so that
 * no digit of a 64-bit number is lost. False, with the place of the first
 * fault in @p problems, when the text is not such an array: not JSON, an
 * array item that is not an object, a member given twice, an object or a
 * list of other than numbers as a value. With @p onRow, the rows go to it
 * instead of into @p table.
 */
bool readJson(const QString &text, Table *table, QVector<TableProblem> *problems, const RowHandler &onRow = nullptr);
