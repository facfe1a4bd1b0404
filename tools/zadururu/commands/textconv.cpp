// zadururu textconv: a project file one record per line, for git diff.

#include "commands.h"

#include "cli/commandLine.h"
#include "project/records.h"

#include <QTextStream>

#include <cstdio>

int runTextconv(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints a scene page, definitions file or component library one record per line, in a stable "
        "form, for git's textconv so that git diff shows record changes. A file that is neither (or is "
        "not well-formed) is printed as it is, with a note on standard error."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The file to print."));
    int exitCode = Exit::ok;
    if (!parseCommandLine(parser, arguments, 1, &exitCode))
        return exitCode;
    const QString path = parser.positionalArguments().at(0);
    QByteArray bytes;
    if (!readWhole(path, &bytes))
        return Exit::error;
    QList<Record> records;
    QString problem;
    if (bytes.isEmpty() || !fileRecords(bytes, path, &records, &problem)) {
        // git shows the raw text then, rather than nothing.
        if (!bytes.isEmpty())
            reportFileError(path, problem + QStringLiteral("; printed as it is"));
        fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        return Exit::ok;
    }
    for (const Record &record : qAsConst(records))
        out() << record.line() << '\n';
    out().flush();
    return Exit::ok;
}
