#include "commandLine.h"

#include "commands.h"

#include <cstdio>

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
    if (parser.positionalArguments().size() != positionalCount) {
        fprintf(stderr, "zadururu %s: expected %d argument%s, got %d\n\n%s", qPrintable(arguments.value(0)),
                positionalCount, positionalCount == 1 ? "" : "s", int(parser.positionalArguments().size()),
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
