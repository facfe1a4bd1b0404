#pragma once

// Comma-separated values as RFC 4180 has them: records ending in CR LF, a
// field in double quotes when it holds a separator, a quote or a line
// break, a quote inside it doubled.

#include "table.h"

/// Appends @p field to @p line as one CSV field, in quotes where it needs them.
void appendCsvField(QString &line, const QString &field, QChar separator = QLatin1Char(','));

/**
 * Reads @p text as a table whose first record names the columns. The
 * separator is the first comma, semicolon or tab outside quotes in that
 * record (a comma when it has one column), so that the lists spreadsheets
 * save in locales with a decimal comma read too. Records end in CR LF, LF or
 * CR; empty lines are skipped. Quoted fields hold anything, line breaks
 * included, as they are. False, with @p problem naming the place, when the
 * text is not such a table: a quote that is never closed, text between a
 * closing quote and the separator, a quote inside a field that is not quoted,
 * or a record with another number of fields than the first. With
 * @p onRow, the rows go to it instead of into @p table.
 */
bool readCsv(const QString &text, Table *table, QVector<TableProblem> *problems, const RowHandler &onRow = nullptr);
