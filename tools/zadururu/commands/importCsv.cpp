// zadururu import-csv: a semicolon-separated tag list merged into a
// definitions file by tag name. The library's CSV import makes the tags;
// the tool reads the list in its encoding, leaves out a header, puts the
// tags on a channel, and decides what becomes of the names the file has.

#include "commands.h"

#include "cli/commandLine.h"
#include "cli/importReport.h"
#include "cli/tableOptions.h"
#include "project/definitionsFile.h"

#include <zadururu/definitions/tgchFileProcessor.h>

#include <QJsonArray>
#include <QTemporaryFile>
#include <QTextStream>

#include <cstdio>

namespace {

// The tags the library's import makes of @p text, which it reads as UTF-8 by its byte-order mark.
TreePointer libraryImport(const QString &text)
{
    QTemporaryFile file;
    const QByteArray bytes = QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return TreePointer(nullptr, destroyFileDataTree);
    return TreePointer(TgchFileProcessor::loadTagsFromCSV(file.fileName()), destroyFileDataTree);
}

QString lineList(const QList<int> &lines, int most)
{
    QStringList numbers;
    for (int i = 0; i < lines.size() && i < most; ++i)
        numbers << QString::number(lines.at(i));
    QString text = numbers.join(QStringLiteral(", "));
    if (lines.size() > most)
        text += QStringLiteral(" and %1 more (--verbose lists them all)").arg(lines.size() - most);
    return text;
}

} // namespace

int runImportCsv(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Imports a semicolon-separated tag list (lines of four fields: ignored; address; name; type) into a "
        "definitions file, matching its tags by name. New tags are added after the file's own, with new ids "
        "after the highest one; a name the file has already is refused (the default), skipped or updated "
        "(address, type and size, and the channel with --channel), so that importing a list again changes "
        "nothing. Lines without four fields are skipped and counted. A definitions file that does not exist "
        "yet is created; one that does not parse is refused. Exit code 0: imported (or listed, with "
        "--dry-run); 1: refused (every reason named with its line); 2: usage or file errors."));
    const QCommandLineOption into(QStringLiteral("into"), QStringLiteral("The definitions file to import into."),
                                  QStringLiteral("DEFINITIONS.xml"));
    const QCommandLineOption encoding(QStringLiteral("encoding"),
                                      QStringLiteral("The list's encoding, any Qt knows: latin1, windows-1252, ... "
                                                     "(default: its byte-order mark, else UTF-8, which it must then be)."),
                                      QStringLiteral("NAME"));
    const QCommandLineOption skipHeader(QStringLiteral("skip-header"), QStringLiteral("The first line names the columns: leave it out."));
    const QCommandLineOption channel(QStringLiteral("channel"),
                                     QStringLiteral("Put the imported tags on the channel of this name (KanalName and Kanal_Id)."),
                                     QStringLiteral("NAME"));
    const QCommandLineOption onConflict = conflictOption();
    const QCommandLineOption dryRun(QStringLiteral("dry-run"),
                                    QStringLiteral("List what would be added, updated and skipped, and change nothing."));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("List every tag, not only the summary."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the report as JSON."));
    parser.addOptions({into, encoding, skipHeader, channel, onConflict, dryRun, verbose, json});
    addWaitOption(parser);
    parser.addPositionalArgument(QStringLiteral("TAGS.csv"), QStringLiteral("The tag list."));
    int exitCode = Exit::ok;
    if (!parseCommandLine(parser, arguments, 1, &exitCode))
        return exitCode;
    if (!parser.isSet(into)) {
        fprintf(stderr, "zadururu import-csv: the definitions file is missing (--into DEFINITIONS.xml)\n");
        return Exit::error;
    }
    ConflictPolicy policy = ConflictPolicy::Fail;
    if (!conflictPolicyOption(parser, onConflict, "import-csv", &policy))
        return Exit::error;

    const QString csvPath = parser.positionalArguments().at(0);
    DecodedText decoded;
    if (!readText(csvPath, parser.value(encoding), &decoded))
        return Exit::error;

    // The library skips every line without four fields; a left-out header
    // stays as an empty line, so that the lines keep their numbers.
    QString &text = decoded.text;
    if (parser.isSet(skipHeader))
        text.remove(0, text.indexOf(QLatin1Char('\n')) < 0 ? text.size() : text.indexOf(QLatin1Char('\n')));
    QList<int> listedLines, skippedLines;
    const QVector<QStringRef> lines = text.splitRef(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).count(QLatin1Char(';')) == 3)
            listedLines << i + 1;
        else if (!lines.at(i).trimmed().isEmpty())
            skippedLines << i + 1;
    }
    TreePointer imported = libraryImport(text);
    if (!imported || imported->tags.size() != listedLines.size()) {
        reportFileError(csvPath, QStringLiteral("cannot be read through a temporary file (is the temporary folder writable?)"));
        return Exit::error;
    }

    DefinitionsFile definitions;
    if (!definitions.open(parser.value(into), parser.isSet(dryRun) ? ProjectAccess::Read : ProjectAccess::Change, true))
        return Exit::error;
    FileDataTree &tree = definitions.tree();
    const pKanalDef_t *target = nullptr;
    if (parser.isSet(channel)) {
        QStringList names;
        int found = 0;
        for (int i = 1; i < tree.channels.size(); ++i) {
            names << quoted(tree.channels.at(i)->Name);
            if (tree.channels.at(i)->Name == parser.value(channel) && !found++)
                target = tree.channels.at(i);
        }
        if (found != 1) {
            fprintf(stderr, "zadururu import-csv: %s: %s\n", qPrintable(definitions.name()),
                    found ? qPrintable(QStringLiteral("%1 channels are named %2; name the channel of the tags in the "
                                                      "definitions first").arg(found).arg(quoted(parser.value(channel))))
                          : qPrintable(QStringLiteral("no channel is named %1 (the channels are: %2)")
                                           .arg(quoted(parser.value(channel)),
                                                names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", ")))));
            return Exit::error;
        }
    }
    QVector<ListedTag> tags;
    for (int i = 0; i < imported->tags.size(); ++i) {
        pEtiketDef_t *tag = imported->tags.at(i);
        if (target) {
            tag->KanalName = target->Name;
            tag->Kanal_Id = target->Id;
        }
        tags.append({tag, listedLines.at(i)});
    }
    imported->tags.clear(); // the import owns them now
    const ImportResult result = importListedTags(tree, tags, target != nullptr, policy);

    ImportRun run{"import-csv", csvPath, RecordKind::Tag, parser.isSet(dryRun), parser.isSet(verbose), parser.isSet(json),
                  QStringLiteral("import tags from %1").arg(csvPath), {}, QString()};
    QJsonArray skipped;
    for (int line : qAsConst(skippedLines))
        skipped.append(line);
    run.members = {{QStringLiteral("encoding"), decoded.encoding},
                   {QStringLiteral("onConflict"), conflictPolicyName(policy)},
                   {QStringLiteral("skippedLines"), skipped}};
    if (target)
        run.members.insert(QStringLiteral("channel"), QJsonObject{{QStringLiteral("name"), target->Name}, {QStringLiteral("id"), target->Id}});
    if (!skippedLines.isEmpty())
        run.summaryNote = QStringLiteral("; line%1 %2 of %3 skipped: not four fields separated by semicolons")
                              .arg(skippedLines.size() == 1 ? QString() : QStringLiteral("s"),
                                   lineList(skippedLines, run.verbose ? skippedLines.size() : 10), csvPath);
    return finishImport(definitions, result, run);
}
