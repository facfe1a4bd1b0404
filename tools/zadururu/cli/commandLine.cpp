#include "cli/commandLine.h"

#include "cli/progress.h"
#include "commands/commands.h"
#include "project/projectFiles.h"
#include "xmlCheck.h"

#include <QFile>
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

// What --help-all adds for every command.
static const char commonHelp[] =
    "\nExit codes: 0 done (no problems, no differences); 1 problems found (check), the\n"
    "files differ (diff) or the change was refused (rename-tag); 2 usage or file\n"
    "errors, named on standard error.\n"
    "\n"
    "--json prints one JSON object: \"schemaVersion\" and \"command\" first, then the\n"
    "command's report in the order of its text, described by the schema\n"
    "docs/zadururu-output.schema.json of the source tree.\n"
    "\n"
    "A run of more than about a second shows how far it is on standard error, when\n"
    "that is a terminal.\n";

// The parser whose command takes --wait, set by addWaitOption().
static const QCommandLineParser *waitingParser = nullptr;

bool parseCommandLine(QCommandLineParser &parser, const QStringList &arguments, int positionalCount,
                      int *exitCode, const QString &moreHelp)
{
    // Our own help options: Qt's --help-all would describe Qt's options, which the tool does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption helpAll(QStringLiteral("help-all"),
                                     QStringLiteral("Show this help with the exit codes, the JSON form and more."));
    parser.addOptions({help, helpAll});
    if (!parser.parse(arguments)) {
        fprintf(stderr, "zadururu %s: %s\n\n%s", qPrintable(arguments.value(0)),
                qPrintable(parser.errorText()), qPrintable(helpText(parser, arguments.value(0))));
        *exitCode = Exit::error;
        return false;
    }
    if (parser.isSet(help) || parser.isSet(helpAll)) {
        QString text = helpText(parser, arguments.value(0));
        if (parser.isSet(helpAll))
            text += moreHelp + QLatin1String(commonHelp);
        fputs(text.toLocal8Bit().constData(), stdout);
        *exitCode = Exit::ok;
        return false;
    }
    if (waitingParser == &parser && parser.isSet(QStringLiteral("wait"))) {
        bool ok = false;
        const double seconds = parser.value(QStringLiteral("wait")).toDouble(&ok);
        if (!ok || !(seconds >= 0) || seconds > 86400) {
            fprintf(stderr, "zadururu %s: --wait takes a number of seconds from 0 to 86400\n", qPrintable(arguments.value(0)));
            *exitCode = Exit::error;
            return false;
        }
        setLockWaitSeconds(seconds);
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
    if (QFileInfo(path).isDir()) {
        reportFileError(path, QStringLiteral("a folder, where a file is expected"));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reportFileError(path, file.errorString());
        return false;
    }
    *bytes = file.readAll();
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

// The project folder a file given for one lies in: its folder, or the one above a pages folder.
static QString enclosingProject(const QFileInfo &file)
{
    QDir dir = file.absoluteDir();
    while (true) {
        if (notAProjectReason(dir).isEmpty())
            return dir.path();
        if (dir.dirName() != QLatin1String("pages") && dir.dirName() != QLatin1String("library"))
            return QString();
        if (!dir.cdUp())
            return QString();
    }
}

std::unique_ptr<ProjectFiles> openProject(const QString &path, ProjectAccess access, ProjectReadHooks hooks)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        reportFileError(path, QStringLiteral("no such project folder"));
        return nullptr;
    }
    if (!info.isDir()) {
        const QString project = enclosingProject(info);
        reportFileError(path, project.isEmpty() ? QStringLiteral("a file, where a project folder is expected")
                                                : QStringLiteral("a file, where a project folder is expected; "
                                                                 "did you mean its project folder '%1'?").arg(project));
        return nullptr;
    }
    const QString notProject = notAProjectReason(QDir(path));
    if (!notProject.isEmpty()) {
        reportFileError(path, notProject);
        return nullptr;
    }
    QString error;
    std::unique_ptr<ProjectLock> lock = ProjectLock::acquire(path, access, &error);
    if (!lock) {
        reportFileError(path, error);
        return nullptr;
    }
    Progress progress(QStringLiteral("reading pages"));
    const auto pageRead = hooks.pageRead;
    hooks.pageRead = [&progress, pageRead](int done, int total) {
        if (pageRead)
            pageRead(done, total);
        if (done == total)
            progress.setWhat(QStringLiteral("read %1 pages; reading definitions.xml").arg(total));
        else
            progress.update(done, total);
    };
    return std::make_unique<ProjectFiles>(std::move(lock), hooks);
}

void addWaitOption(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(
        QStringLiteral("wait"),
        QStringLiteral("How long to wait for another run of zadururu that uses the project (default %1).")
            .arg(lockWaitSeconds()),
        QStringLiteral("SECONDS")));
    waitingParser = &parser;
}
