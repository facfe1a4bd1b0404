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

class DefinitionsFile;

/// How an import command ran, for its report.
struct ImportRun
{
    const char *command;      ///< "import" or "import-csv"
    QString source;           ///< the file imported, as given
    RecordKind kind = RecordKind::Tag;
    bool dryRun = false;
    bool verbose = false;
    bool json = false;
    QString description;      ///< what the change is, for the project's journal
    QJsonObject members;      ///< the command's own members of the JSON report, after "definitions" and "source"
    QString summaryNote;      ///< said after the counts in the summary line ("; line 4 ... skipped: ...")
};

/**
 * What every import command does once @p result is known: writes
 * @p definitions when the import changes it (not in a dry run), then
 * reports. Nothing is printed on standard output before the write
 * succeeded. Returns the exit code: 0 imported, 1 refused (every problem
 * named on standard error as "zadururu <command>: <file>: line L, column C
 * (<field>): <message>"), 2 when the file cannot be written.
 *
 * The text report lists each record's action ('updated tag "Pump" (Id 12),
 * line 3: Description "a" -> "b"') in a dry run and with --verbose (the
 * records an update leaves as they were with --verbose only), then a
 * summary line. The JSON report holds the problems, each record (action,
 * line, record reference, and each changed field before and after), the
 * counts, and whether the file was written.
 */
int finishImport(DefinitionsFile &definitions, const ImportResult &result, const ImportRun &run);

/// A field's value in a JSON report: typed, with the reals JSON has no number for as "inf", "-inf" or "nan".
QJsonValue fieldJson(FieldType type, const FieldValue &value);
