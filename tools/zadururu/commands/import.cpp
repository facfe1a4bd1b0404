// zadururu import: channels, tags or alarms from a CSV or JSON table (as
// export writes it, or any subset of its columns) merged into a definitions
// file: added, updated or skipped, all of them or none.

#include "commands.h"

#include "cli/commandLine.h"
#include "cli/importReport.h"
#include "cli/tableOptions.h"
#include "project/definitionsFile.h"

#include <QTextStream>

#include <cstdio>

namespace {

// Without a format named, a file whose text begins with '[' is JSON.
TableFormat sniffedFormat(const QString &text)
{
    for (const QChar c : text)
        if (!c.isSpace())
            return c == QLatin1Char('[') ? TableFormat::Json : TableFormat::Csv;
    return TableFormat::Csv;
}

} // namespace

int runImport(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Merges the channels, tags or alarms of a table into a definitions file: a CSV file with a header "
        "row of element names (separated by commas, semicolons or tabs) or a JSON array of objects, as "
        "`zadururu export` writes them, with any subset of the columns. A record whose key the definitions "
        "do not have is added (the columns it lacks take the defaults of a new record; without an Id column "
        "it gets the next Id after the highest); one they have is refused, skipped or updated (only the "
        "columns the file gives). A tag's channel (KanalName, Kanal_Id) and an alarm's tags (tagID, "
        "limit_tag_id, limit_tag2_id) must exist. Nothing is changed when anything is refused: every "
        "problem is named with its line and column. Exit code 0: imported (or listed, with --dry-run); "
        "1: refused; 2: usage or file errors."));
    addKindOptions(parser, QStringLiteral("Import"));
    const QCommandLineOption match(QStringLiteral("match"),
                                   QStringLiteral("Match the file's records with the definitions' by name (Name, "
                                                  "alarm_name for alarms; the default) or by id (Id)."),
                                   QStringLiteral("name|id"), QStringLiteral("name"));
    const QCommandLineOption onConflict = conflictOption();
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("csv or json (default: by the file's extension, else by its content)."),
                                    QStringLiteral("FORMAT"));
    const QCommandLineOption encoding(QStringLiteral("encoding"),
                                      QStringLiteral("The file's encoding, any Qt knows (default: its byte-order mark, "
                                                     "else UTF-8, which it must then be)."),
                                      QStringLiteral("NAME"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"),
                                    QStringLiteral("List what would be added, updated and skipped, and change nothing."));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("List every record, not only the summary."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the report as JSON."));
    parser.addOptions({match, onConflict, format, encoding, dryRun, verbose, json});
    addWaitOption(parser);
    parser.addPositionalArgument(QStringLiteral("DEFINITIONS.xml"),
                                 QStringLiteral("The definitions file; one that does not exist is created."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The table to import."));
    int exitCode = Exit::ok;
    if (!parseCommandLine(parser, arguments, 2, &exitCode))
        return exitCode;
    ImportOptions options;
    TableFormat tableFormat = TableFormat::Csv;
    const QString source = parser.positionalArguments().at(1);
    if (!recordKindOption(parser, "import", &options.kind)
        || !conflictPolicyOption(parser, onConflict, "import", &options.onConflict))
        return Exit::error;
    if (parser.value(match) != QLatin1String("name") && parser.value(match) != QLatin1String("id")) {
        fprintf(stderr, "zadururu import: --match is name or id, not \"%s\"\n", qPrintable(parser.value(match)));
        return Exit::error;
    }
    options.match = parser.value(match) == QLatin1String("id") ? MatchKey::Id : MatchKey::Name;

    DecodedText decoded;
    if (!readText(source, parser.value(encoding), &decoded))
        return Exit::error;
    const QString extension = source.section(QLatin1Char('.'), -1).toLower();
    if (parser.isSet(format) || extension == QLatin1String("csv") || extension == QLatin1String("json")) {
        if (!tableFormatOption(parser, format, source, "import", &tableFormat))
            return Exit::error;
    } else {
        tableFormat = sniffedFormat(decoded.text);
    }
    DefinitionsFile definitions;
    if (!definitions.open(parser.positionalArguments().at(0), parser.isSet(dryRun) ? ProjectAccess::Read : ProjectAccess::Change, true))
        return Exit::error;

    const ImportResult result = importText(definitions.tree(), decoded.text, tableFormat, options);
    decoded.text = QString();
    ImportRun run{"import", source, options.kind, parser.isSet(dryRun), parser.isSet(verbose), parser.isSet(json),
                  QStringLiteral("import %1 from %2").arg(kindPlural(options.kind), source), {}, QString()};
    run.members = {{QStringLiteral("kind"), kindName(options.kind)},
                   {QStringLiteral("format"), tableFormat == TableFormat::Json ? QStringLiteral("json") : QStringLiteral("csv")},
                   {QStringLiteral("encoding"), decoded.encoding},
                   {QStringLiteral("match"), parser.value(match)},
                   {QStringLiteral("onConflict"), conflictPolicyName(options.onConflict)}};
    return finishImport(definitions, result, run);
}
