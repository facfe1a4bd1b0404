// zadururu export: the channels, tags or alarms of a definitions file as a
// CSV or JSON table, every stored field of every record.

#include "commands.h"

#include "cli/commandLine.h"
#include "cli/tableOptions.h"
#include "definitionsTable.h"
#include "project/definitionsFile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>

int runExport(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes every stored field of every channel, tag or alarm of a definitions file, in the file's order, "
        "as a table that `zadururu import` reads back: CSV (RFC 4180, UTF-8 with a byte-order mark, a header "
        "row of the element names) or a JSON array with one object per record. The loader's own \"None\" "
        "channel is left out; every load puts it back."));
    addKindOptions(parser, QStringLiteral("Export"));
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("csv or json (default: by the output file's extension, else csv)."),
                                    QStringLiteral("FORMAT"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Write to FILE, whole or not at all, instead of standard output."),
                                    QStringLiteral("FILE"));
    parser.addOptions({format, output});
    addWaitOption(parser);
    parser.addPositionalArgument(QStringLiteral("DEFINITIONS.xml"), QStringLiteral("The definitions file."));
    int exitCode = Exit::ok;
    if (!parseCommandLine(parser, arguments, 1, &exitCode))
        return exitCode;
    RecordKind kind = RecordKind::Tag;
    TableFormat tableFormat = TableFormat::Csv;
    const QString target = parser.value(output);
    if (!recordKindOption(parser, "export", &kind) || !tableFormatOption(parser, format, target, "export", &tableFormat))
        return Exit::error;

    const QString source = parser.positionalArguments().at(0);
    if (!target.isEmpty() && QFileInfo(target).exists() && QFileInfo(target).canonicalFilePath() == QFileInfo(source).canonicalFilePath()) {
        reportFileError(target, QStringLiteral("is the definitions file itself; export to another file"));
        return Exit::error;
    }
    DefinitionsFile definitions;
    if (!definitions.open(source, ProjectAccess::Read, false))
        return Exit::error;
    const QByteArray table = exportTable(definitions.tree(), kind, tableFormat);
    if (target.isEmpty() || target == QLatin1String("-")) {
        if (fwrite(table.constData(), 1, size_t(table.size()), stdout) != size_t(table.size()) || fflush(stdout) != 0) {
            fprintf(stderr, "zadururu export: standard output cannot be written\n");
            return Exit::error;
        }
        return Exit::ok;
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(table) != table.size() || !file.commit()) {
        reportFileError(target, QStringLiteral("cannot be written: %1").arg(file.errorString()));
        return Exit::error;
    }
    const FileDataTree &tree = definitions.tree();
    const int records = kind == RecordKind::Channel ? tree.channels.size() - 1
                        : kind == RecordKind::Tag   ? tree.tags.size()
                                                    : tree.alarms.size();
    out() << target << ": " << records << ' ' << (records == 1 ? kindName(kind) : kindPlural(kind)) << " of "
          << definitions.name() << '\n';
    out().flush();
    return Exit::ok;
}
