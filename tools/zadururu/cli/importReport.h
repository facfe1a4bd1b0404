#pragma once

// What the import commands (import, import-csv) report: the problems that
// refuse an import, what became of each record, and the summary, as text
// and as the members of their JSON reports.

#include "tableImport.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

QT_BEGIN_NAMESPACE
class QTextStream;
QT_END_NAMESPACE

/**
 * Prints every problem of @p problems on standard error, as
 * "zadururu <command>: <file>: line L, column C (<column>): <message>",
 * then a line that says nothing was changed.
 */
void reportImportProblems(const char *command, const QString &file, const QVector<TableProblem> &problems);

/// The problems as JSON: {"line", "column", "field" where a column is meant, "message"}.
QJsonArray importProblemsJson(const QVector<TableProblem> &problems);

/**
 * One line per record of the file: what became of it, with the fields an
 * update changes ('updated tag "Pump" (Id 12), line 3: Description "a" -> "b"').
 * The records an update leaves as they were are listed only @p withUnchanged.
 */
void writeImportEntries(QTextStream &out, const ImportResult &result, RecordKind kind, bool dryRun, bool withUnchanged);

/// The records as JSON: {"action", "line", "record" (a record reference in @p file), "changes" for updates}.
QJsonArray importEntriesJson(const ImportResult &result, RecordKind kind, const QString &file);

/// {"added", "updated", "unchanged", "skipped"}: how many records of each.
QJsonObject importCountsJson(const ImportResult &result);

/// "3 tags added, 1 updated, 0 unchanged, 2 skipped"; "3 tags to add, 1 to update, ..." for a dry run.
QString importCountsText(const ImportResult &result, RecordKind kind, bool dryRun);

/// A field's value in a JSON report: typed, with the reals JSON has no number for as "inf", "-inf" or "nan".
QJsonValue fieldJson(FieldType type, const FieldValue &value);
