#include "cli/commandLine.h"

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

// The parser whose command takes --wait, set by addWaitOption().
static const QCommandLineParser *waitingParser = nullptr;

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

std::unique_ptr<ProjectFiles> openProject(const QString &path, ProjectAccess access)
{
    if (!QFileInfo(path).isDir()) {
        reportFileError(path, QStringLiteral("no such project folder"));
        return nullptr;
    }
    QString error;
    std::unique_ptr<ProjectLock> lock = ProjectLock::acquire(path, access, &error);
    if (!lock) {
        reportFileError(path, error);
        return nullptr;
    }
    return std::make_unique<ProjectFiles>(std::move(lock));
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
