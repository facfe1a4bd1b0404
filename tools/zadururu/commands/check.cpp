// zadururu check: what is inconsistent between a project's files, and what
// the readers would default or drop in each.

#include "commands.h"

#include "cli/commandLine.h"
#include "cli/jsonOutput.h"
#include "project/nearestName.h"
#include "project/projectCheck.h"
#include "project/projectFiles.h"

#include <QTextStream>

#include <cstdio>

namespace {

// The code table, for --help-all.
QString codeTable()
{
    QString text = QStringLiteral("\nFinding codes (errors E, warnings W):\n");
    for (const FindingCodeInfo &info : findingCodes())
        text += QStringLiteral("  %1  %2\n        %3\n").arg(QLatin1String(info.id), QLatin1String(info.name),
                                                          QLatin1String(info.summary));
    return text;
}

// The codes named by --ignore (comma-separated, codes or names); false, with the reason on standard error, for one unknown.
bool ignoredCodes(const QStringList &values, QSet<FindingCode> *codes)
{
    QStringList known;
    for (const FindingCodeInfo &info : findingCodes())
        known << QLatin1String(info.id) << QLatin1String(info.name);
    for (const QString &value : values)
        for (const QString &part : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QString id = part.trimmed();
            if (const auto code = findingCodeById(id)) {
                codes->insert(*code);
                continue;
            }
            const QString near = nearestName(id, known);
            fprintf(stderr, "zadururu check: --ignore: no finding has the code '%s'%s\n", qPrintable(id),
                    near.isEmpty() ? "" : qPrintable(QStringLiteral("; did you mean '%1'?").arg(near)));
            return false;
        }
    return true;
}

} // namespace

int runCheck(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Reads every page, the definitions file and the component library of a project and reports, each "
        "with a code, its file, line and column and the record it concerns: errors (tag bindings the "
        "definitions lack, tags whose channel does not exist, repeated names and ids, components the "
        "library lacks, component Uids used twice, pages sharing a pageID, files that cannot be read or "
        "are not well-formed), then warnings (what the readers would default, drop or misread: unknown "
        "elements and attributes, numbers that read as 0, missing elements whose default changes the "
        "record, bad encodings, tags without a channel, missing library images...). "
        "Exit code 0: no errors (and no warnings, with --strict); 1: problems found; 2: the project "
        "cannot be read."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the report as JSON."));
    const QCommandLineOption strict(QStringLiteral("strict"), QStringLiteral("Exit with 1 on warnings too."));
    const QCommandLineOption ignore(QStringLiteral("ignore"),
                                    QStringLiteral("Leave out the findings of these codes (comma-separated, e.g. "
                                                   "W202,W207; --help-all lists them)."),
                                    QStringLiteral("CODES"));
    parser.addOptions({json, strict, ignore});
    addWaitOption(parser);
    parser.addPositionalArgument(QStringLiteral("PROJECT_DIR"), QStringLiteral("The project folder."));
    int exitCode = Exit::ok;
    if (!parseCommandLine(parser, arguments, 1, &exitCode, codeTable()))
        return exitCode;
    QSet<FindingCode> ignored;
    if (!ignoredCodes(parser.values(ignore), &ignored))
        return Exit::error;

    ProjectLint lint;
    const std::unique_ptr<ProjectFiles> files = openProject(parser.positionalArguments().at(0), ProjectAccess::Read, lint.hooks());
    if (!files)
        return Exit::error;
    const CheckReport report = checkProject(*files, lint, ignored);
    if (parser.isSet(json)) {
        printJson(jsonReport("check", report.toJson()));
    } else {
        report.writeText(out());
        out().flush();
    }
    const bool problems = report.errorCount() > 0 || (parser.isSet(strict) && report.warningCount() > 0);
    return problems ? Exit::problems : Exit::ok;
}
