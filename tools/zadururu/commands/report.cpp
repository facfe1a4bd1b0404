// zadururu report: the whole project as a static site to browse and hand over.

#include "commands.h"

#include "cli/commandLine.h"
#include "project/projectFiles.h"
#include "report/reportFolder.h"
#include "project/projectCheck.h"
#include "report/reportSite.h"

#include <QElapsedTimer>
#include <QTextStream>
#include <QUrl>

#include <cstdio>

int runReport(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a report of a project that any current browser opens from the file system, without a server "
        "or a network: an overview with the project's counts and the check's findings by file, a page per "
        "scene page with its picture (every item can be pointed at and clicked) and a table of its items and "
        "bindings, the channels, tags (with where each is used and the alarms that watch it) and alarms as "
        "tables to filter and sort, and the library with its images. OUT_DIR must be missing, empty or a "
        "previous report, which is replaced whole once the new one is written. Exit code 0: written; 2: the "
        "project cannot be read or OUT_DIR cannot take the report."));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The folder to write the report to."), QStringLiteral("OUT_DIR"));
    parser.addOption(output);
    addWaitOption(parser);
    parser.addPositionalArgument(QStringLiteral("PROJECT_DIR"), QStringLiteral("The project folder."));
    int exitCode = Exit::ok;
    if (!parseCommandLine(parser, arguments, 1, &exitCode))
        return exitCode;
    if (!parser.isSet(output) || parser.value(output).isEmpty()) {
        fprintf(stderr, "zadururu report: the folder to write is missing (-o OUT_DIR)\n");
        return Exit::error;
    }

    QElapsedTimer timer;
    timer.start();
    ProjectLint lint;
    const std::unique_ptr<ProjectFiles> files = openProject(parser.positionalArguments().at(0), ProjectAccess::Read, lint.hooks());
    if (!files)
        return Exit::error;
    ReportFolder folder(parser.value(output));
    if (!folder.prepare()) {
        reportFileError(folder.target(), folder.error());
        return Exit::error;
    }
    if (folder.replacesReport())
        fprintf(stderr, "zadururu report: %s holds a previous report; it is replaced once the new one is written\n",
                qPrintable(folder.target()));
    for (const Finding &problem : files->problems)
        if (problem.record.isFile())
            fprintf(stderr, "zadururu report: %s: %s\n", qPrintable(problem.file()), qPrintable(problem.message));

    ReportSummary summary;
    QString error;
    if (!writeReportSite(*files, lint, folder.staging(), &summary, &error)) {
        fprintf(stderr, "zadururu report: %s; %s is left as it was\n", qPrintable(error), qPrintable(folder.target()));
        return Exit::error;
    }
    if (!folder.commit()) {
        reportFileError(folder.target(), folder.error());
        return Exit::error;
    }
    for (const QString &note : qAsConst(summary.notes))
        fprintf(stderr, "zadururu report: note: %s\n", qPrintable(note));
    out() << "Report of " << files->dir.path() << " written to " << folder.target() << " (" << summary.files
          << " files, " << files->pages.size() << " pages) in " << QString::number(timer.elapsed() / 1000.0, 'f', 1)
          << " s\nOpen " << QUrl::fromLocalFile(folder.target() + QStringLiteral("/index.html")).toString() << '\n';
    out().flush();
    return Exit::ok;
}
