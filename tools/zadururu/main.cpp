// zadururu: checks, renders and maintains a project's files without the
// editor, through the library's public interface alone.

#include "commands/commands.h"
#include "project/nearestName.h"

#include <zadururu/zadururu_version.h>

#include <QApplication>
#include <QRegularExpression>
#include <QTextStream>

#include <new>

#include <csignal>
#include <cstdio>

namespace {

const char usage[] =
    "usage: zadururu <command> [options] [arguments]\n"
    "\n"
    "commands:\n"
    "  check PROJECT_DIR                       report problems in a project's files\n"
    "  render PAGE.xml -o PAGE.png             draw a page as a picture\n"
    "  report PROJECT_DIR -o OUT_DIR           a static site of the whole project, for any browser\n"
    "  import-csv TAGS.csv --into DEFS.xml     merge a semicolon-separated tag list into a definitions file\n"
    "  export DEFS.xml --tags [-o FILE]        channels, tags or alarms as a CSV or JSON table\n"
    "  import DEFS.xml FILE --tags             merge a CSV or JSON table into a definitions file\n"
    "  format FILE.xml [-o OUT]                rewrite a scene or definitions file in canonical form\n"
    "  xref PROJECT_DIR [TAG ...]              where each tag and library component is used\n"
    "  rename-tag PROJECT_DIR --id OLD --to NEW  change a tag's id (or --name) everywhere, all files or none\n"
    "  diff OLD NEW                            the record differences of two pages, definitions or projects\n"
    "  textconv FILE.xml                       one line per record, for git diff\n"
    "\n"
    "'zadururu help <command>' or 'zadururu <command> --help' describes a command;\n"
    "'zadururu --help-all' describes them all.\n";

struct Command
{
    QLatin1String name;
    int (*run)(const QStringList &arguments);
};

const Command commands[] = {
    {QLatin1String("check"), runCheck},
    {QLatin1String("render"), runRender},
    {QLatin1String("report"), runReport},
    {QLatin1String("import-csv"), runImportCsv},
    {QLatin1String("export"), runExport},
    {QLatin1String("import"), runImport},
    {QLatin1String("format"), runFormat},
    {QLatin1String("xref"), runXref},
    {QLatin1String("rename-tag"), runRenameTag},
    {QLatin1String("diff"), runDiff},
    {QLatin1String("textconv"), runTextconv},
};

const Command *findCommand(const QString &name)
{
    for (const Command &command : commands)
        if (name == command.name)
            return &command;
    return nullptr;
}

// @p argument as a shell would take it back.
QString shellWord(const QString &argument)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./=:,+@%-]+$"));
    if (plain.match(argument).hasMatch())
        return argument;
    QString quoted = argument;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

/**
 * What the user meant by @p arguments, whose first is no command: the same
 * with a command named later put first ("zadururu . check" for "zadururu
 * check ."), or with the command nearest to the first; empty when neither.
 */
QString suggestion(const QStringList &arguments)
{
    QStringList names;
    for (const Command &command : commands)
        names << command.name;
    QStringList words = arguments;
    for (int i = 1; i < words.size(); ++i)
        if (findCommand(words.at(i))) {
            words.move(i, 0);
            break;
        }
    if (!findCommand(words.first())) {
        const QString near = nearestName(words.first(), names);
        if (near.isEmpty())
            return QString();
        words.first() = near;
    }
    QStringList shown;
    for (const QString &word : qAsConst(words))
        shown << shellWord(word);
    return QStringLiteral("zadururu ") + shown.join(QLatin1Char(' '));
}

int unknownCommand(const QStringList &arguments)
{
    const QString command = arguments.first();
    const QString meant = suggestion(arguments);
    if (meant.isEmpty()) {
        fprintf(stderr, "zadururu: unknown command '%s'\n\n%s", qPrintable(command), usage);
    } else {
        fprintf(stderr, "zadururu: unknown command '%s'; did you mean '%s'?\n"
                        "'zadururu --help' lists the commands.\n",
                qPrintable(command), qPrintable(meant));
    }
    return Exit::error;
}

// The library speaks to the developer's debug output (a component library
// file it could not open, for instance); the tool reports problems itself.
void quietDebugOutput(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    // Qt's note on a missing runtime folder, which offscreen rendering never uses.
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

static int runTool(int argc, char *argv[])
{
    // Rendering needs fonts but no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("ZADURURU_DEBUG"))
        qInstallMessageHandler(quietDebugOutput);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zadururu"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZADURURU_VERSION_STRING));

    QStringList arguments = QCoreApplication::arguments();
    const QString command = arguments.value(1);
    arguments.removeFirst(); // the subcommand stands in for the program name
    if (const Command *found = findCommand(command))
        return found->run(arguments);
    if (command == QLatin1String("help") && arguments.size() > 1) {
        // zadururu help CMD: the command's own help.
        if (const Command *found = findCommand(arguments.at(1)))
            return found->run({found->name, QStringLiteral("--help")});
        return unknownCommand(arguments.mid(1));
    }
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        fputs(usage, stdout);
        return Exit::ok;
    }
    if (command == QLatin1String("--help-all")) {
        fputs(usage, stdout);
        for (const Command &each : commands) {
            printf("\n--- zadururu %s\n\n", each.name.data());
            fflush(stdout);
            each.run({each.name, QStringLiteral("--help")});
        }
        return Exit::ok;
    }
    if (command == QLatin1String("--version")) {
        printf("zadururu %s\n", ZADURURU_VERSION_STRING);
        return Exit::ok;
    }
    if (command.isEmpty()) {
        fputs(usage, stderr);
        return Exit::error;
    }
    return unknownCommand(arguments);
}

int main(int argc, char *argv[])
{
    // A file size limit (ulimit -f) makes a write fail, which the saves
    // report, instead of killing the process in the middle of one.
    std::signal(SIGXFSZ, SIG_IGN);
    // The readers refuse what does not fit in memory; whatever else runs out
    // of it ends the command with a message rather than an abort.
    try {
        return runTool(argc, argv);
    } catch (const std::bad_alloc &) {
        fflush(stdout);
        fputs("zadururu: not enough memory\n", stderr);
        return Exit::error;
    }
}
