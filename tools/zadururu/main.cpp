// zadururu: checks, renders and maintains a project's files without the
// editor, through the library's public interface alone.

#include "commands/commands.h"

#include <QApplication>
#include <QTextStream>

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
    "  import DEFS.xml FILE --tags              merge a CSV or JSON table into a definitions file\n"
    "  format FILE.xml [-o OUT]                rewrite a scene or definitions file in canonical form\n"
    "  xref PROJECT_DIR [TAG ...]              where each tag and library component is used\n"
    "  rename-tag PROJECT_DIR --id OLD --to NEW  change a tag's id (or --name) everywhere, all files or none\n"
    "  diff OLD NEW                            the record differences of two pages, definitions or projects\n"
    "  textconv FILE.xml                       one line per record, for git diff\n"
    "\n"
    "'zadururu <command> --help' describes a command.\n";

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

int main(int argc, char *argv[])
{
    // Rendering needs fonts but no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("ZADURURU_DEBUG"))
        qInstallMessageHandler(quietDebugOutput);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zadururu"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZADURURU_VERSION));

    QStringList arguments = QCoreApplication::arguments();
    const QString command = arguments.value(1);
    arguments.removeFirst(); // the subcommand stands in for the program name
    const QList<QPair<QLatin1String, int (*)(const QStringList &)>> commands{
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
    for (const auto &entry : commands)
        if (command == entry.first)
            return entry.second(arguments);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        fputs(usage, stdout);
        return Exit::ok;
    }
    if (command == QLatin1String("--version")) {
        printf("zadururu %s\n", ZADURURU_VERSION);
        return Exit::ok;
    }
    if (!command.isEmpty())
        fprintf(stderr, "zadururu: unknown command '%s'\n\n", qPrintable(command));
    fputs(usage, stderr);
    return Exit::error;
}
