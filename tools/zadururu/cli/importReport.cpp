#include "cli/importReport.h"

#include "cli/commandLine.h"
#include "cli/jsonOutput.h"
#include "commands/commands.h"
#include "project/definitionsFile.h"
#include "project/recordRef.h"
#include "project/records.h"

#include <QTextStream>

#include <cmath>
#include <cstdio>

namespace {

// What became of a record, or with @p dryRun what would.
const char *actionName(ImportEntry::Action action, bool dryRun = false)
{
    switch (action) {
    case ImportEntry::Added:
        return dryRun ? "would add" : "added";
    case ImportEntry::Updated:
        return dryRun ? "would update" : "updated";
    case ImportEntry::Unchanged:
        return "unchanged";
    case ImportEntry::Skipped:
        break;
    }
    return dryRun ? "would skip" : "skipped";
}

QString shownValue(FieldType type, const FieldValue &value)
{
    return type == FieldType::Text ? recordText(value.text) : cellText(type, value);
}

QString placeText(const TableProblem &problem)
{
    QString place = QStringLiteral("line %1").arg(problem.at.line);
    if (problem.at.column > 0)
        place += QStringLiteral(", column %1").arg(problem.at.column);
    if (!problem.column.isEmpty())
        place += QStringLiteral(" (%1)").arg(problem.column);
    return place;
}

void reportImportProblems(const char *command, const QString &file, const QVector<TableProblem> &problems)
{
    for (const TableProblem &problem : problems)
        fprintf(stderr, "zadururu %s: %s: %s: %s\n", command, qPrintable(file), qPrintable(placeText(problem)),
                qPrintable(problem.message));
    fprintf(stderr, "zadururu %s: %d problem%s in %s; nothing was changed\n", command, int(problems.size()),
            problems.size() == 1 ? "" : "s", qPrintable(file));
}

QJsonArray importProblemsJson(const QVector<TableProblem> &problems)
{
    QJsonArray list;
    for (const TableProblem &problem : problems) {
        QJsonObject o{{QStringLiteral("line"), problem.at.line}, {QStringLiteral("column"), problem.at.column}};
        if (!problem.column.isEmpty())
            o.insert(QStringLiteral("field"), problem.column);
        o.insert(QStringLiteral("message"), problem.message);
        list.append(o);
    }
    return list;
}

void writeImportEntries(QTextStream &out, const ImportResult &result, RecordKind kind, bool dryRun, bool withUnchanged)
{
    for (const ImportEntry &entry : result.entries) {
        if (entry.action == ImportEntry::Unchanged && !withUnchanged)
            continue;
        out << actionName(entry.action, dryRun) << ' ' << kindName(kind) << ' '
            << recordText(entry.name) << " (Id " << entry.id << "), line " << entry.line;
        for (int i = 0; i < entry.changes.size(); ++i) {
            const FieldChange &change = entry.changes.at(i);
            out << (i ? ", " : ": ") << change.field << ' ' << shownValue(change.type, change.before) << " -> "
                << shownValue(change.type, change.after);
        }
        out << '\n';
    }
}

QJsonArray importEntriesJson(const ImportResult &result, RecordKind kind, const QString &file)
{
    QJsonArray list;
    for (const ImportEntry &entry : result.entries) {
        RecordRef ref;
        ref.file = file;
        ref.kind = kindName(kind);
        ref.id = entry.id;
        ref.name = entry.name;
        QJsonObject o{{QStringLiteral("action"), QLatin1String(actionName(entry.action))},
                      {QStringLiteral("line"), entry.line},
                      {QStringLiteral("record"), ref.toJson()}};
        if (entry.action == ImportEntry::Updated) {
            QJsonArray changes;
            for (const FieldChange &change : entry.changes)
                changes.append(QJsonObject{{QStringLiteral("field"), change.field},
                                           {QStringLiteral("before"), fieldJson(change.type, change.before)},
                                           {QStringLiteral("after"), fieldJson(change.type, change.after)}});
            o.insert(QStringLiteral("changes"), changes);
        }
        list.append(o);
    }
    return list;
}

QJsonObject importCountsJson(const ImportResult &result)
{
    return {{QStringLiteral("added"), result.count(ImportEntry::Added)},
            {QStringLiteral("updated"), result.count(ImportEntry::Updated)},
            {QStringLiteral("unchanged"), result.count(ImportEntry::Unchanged)},
            {QStringLiteral("skipped"), result.count(ImportEntry::Skipped)}};
}

QString importCountsText(const ImportResult &result, RecordKind kind, bool dryRun)
{
    const int added = result.count(ImportEntry::Added);
    const QString kinds = kindName(kind) + (added == 1 ? QString() : QStringLiteral("s"));
    return (dryRun ? QStringLiteral("%1 %2 to add, %3 to update, %4 unchanged, %5 to skip")
                   : QStringLiteral("%1 %2 added, %3 updated, %4 unchanged, %5 skipped"))
        .arg(added)
        .arg(kinds)
        .arg(result.count(ImportEntry::Updated))
        .arg(result.count(ImportEntry::Unchanged))
        .arg(result.count(ImportEntry::Skipped));
}

} // namespace

QJsonValue fieldJson(FieldType type, const FieldValue &value)
{
    switch (type) {
    case FieldType::Text:
        return storableText(value.text);
    case FieldType::Bool:
        return value.integer != 0;
    case FieldType::Double:
    case FieldType::Single:
        if (std::isfinite(value.real))
            return cellText(type, value).toDouble();
        return cellText(type, value);
    case FieldType::IdList: {
        QJsonArray ids;
        for (int id : value.ids)
            ids.append(id);
        return ids;
    }
    default:
        break;
    }
    return QJsonValue(value.integer);
}

int finishImport(DefinitionsFile &definitions, const ImportResult &result, const ImportRun &run)
{
    bool written = false;
    if (result.problems.isEmpty() && !run.dryRun && result.changed()) {
        QString error;
        if (!definitions.write(run.description, &error)) {
            fprintf(stderr, "zadururu %s: %s\n", run.command, qPrintable(error));
            return Exit::error;
        }
        written = true;
    }
    if (run.json) {
        QJsonObject report = jsonReport(run.command);
        report.insert(QStringLiteral("definitions"), definitions.name());
        report.insert(QStringLiteral("source"), run.source);
        for (auto it = run.members.begin(); it != run.members.end(); ++it)
            report.insert(it.key(), it.value());
        report.insert(QStringLiteral("dryRun"), run.dryRun);
        report.insert(QStringLiteral("problems"), importProblemsJson(result.problems));
        report.insert(QStringLiteral("records"), importEntriesJson(result, run.kind, definitions.name()));
        report.insert(QStringLiteral("counts"), importCountsJson(result));
        report.insert(QStringLiteral("written"), written);
        printJson(report);
    }
    if (!result.problems.isEmpty()) {
        reportImportProblems(run.command, run.source, result.problems);
        return Exit::problems;
    }
    if (run.json)
        return Exit::ok;
    if (run.dryRun || run.verbose)
        writeImportEntries(out(), result, run.kind, run.dryRun, run.verbose);
    out() << definitions.name() << ": " << importCountsText(result, run.kind, run.dryRun) << run.summaryNote;
    if (run.dryRun)
        out() << " (dry run: nothing written)";
    else if (!written)
        out() << " (nothing to change: not written)";
    out() << '\n';
    out().flush();
    return Exit::ok;
}
