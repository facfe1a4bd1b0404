#include "cli/commandLine.h"

#include "commands/commands.h"
#include "project/projectFiles.h"
#include "xmlCheck.h"

#include <zadururu/common/regularFile.h>

#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

// The parser names the program in its usage line; the tool's usage names the
// subcommand after it.
static QString helpText(const QCommandLineParser &parser, const QString &command)
{
    QString text = parser.helpText();
    const int space = text.indexOf(QLatin1Char(' '), text.indexOf(QLatin1String("Usage: ")) + 7);
    if (space > 0)
        text.insert(space, QLatin1Char(' ') + command);
    return text;
}

bool parseCommandLine(QCommandLineParser &parser, const QStringList &arguments, int positionalCount,
                      int *exitCode)
{
    const QCommandLineOption help = parser.addHelpOption();
    if (!parser.parse(arguments)) {
        fprintf(stderr, "zadururu %s: %s\n\n%s", qPrintable(arguments.value(0)),
                qPrintable(parser.errorText()), qPrintable(helpText(parser, arguments.value(0))));
        *exitCode = Exit::error;
        return false;
    }
    if (parser.isSet(help)) {
        fputs(qPrintable(helpText(parser, arguments.value(0))), stdout);
        *exitCode = Exit::ok;
        return false;
    }
    const int given = parser.positionalArguments().size();
    if (positionalCount < 0 ? given < -positionalCount : given != positionalCount) {
        const int wanted = std::abs(positionalCount);
        fprintf(stderr, "zadururu %s: expected %s%d argument%s, got %d\n\n%s", qPrintable(arguments.value(0)),
                positionalCount < 0 ? "at least " : "", wanted, wanted == 1 ? "" : "s", int(parser.positionalArguments().size()),
                qPrintable(helpText(parser, arguments.value(0))));
        *exitCode = Exit::error;
        return false;
    }
    return true;
}

void reportFileError(const QString &file, const QString &message)
{
    fprintf(stderr, "zadururu: %s: %s\n", qPrintable(file), qPrintable(message));
}

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

bool readWhole(const QString &path, QByteArray *bytes)
{
    QString error;
    *bytes = ZadUruru::readRegularFile(path, &error);
    if (bytes->isNull()) {
        reportFileError(path, error);
        return false;
    }
    return true;
}

bool readXml(const QString &path, QByteArray *bytes)
{
    if (!readWhole(path, bytes))
        return false;
    QString problem;
    if (isWellFormedXml(*bytes, &problem))
        return true;
    reportFileError(path, QStringLiteral("not well-formed XML: ") + problem);
    return false;
}

std::unique_ptr<ProjectFiles> openProject(const QString &path)
{
    if (!QFileInfo(path).isDir()) {
        reportFileError(path, QStringLiteral("no such project folder"));
        return nullptr;
    }
    auto files = std::make_unique<ProjectFiles>(QDir(path));
    if (!files->journalError.isEmpty()) {
        reportFileError(path, files->journalError);
        return nullptr;
    }
    return files;
}
