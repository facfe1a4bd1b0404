// zadururu check: what is inconsistent between a project's files.

#include "commands.h"

#include "cli/commandLine.h"
#include "project/projectCheck.h"
#include "project/projectFiles.h"

#include <QJsonDocument>
#include <QTextStream>

int runCheck(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Reads every page, the definitions file and the component library of a project and reports "
        "tag bindings the definitions lack, tags whose channel does not exist, repeated names and ids, "
        "components the library lacks, component Uids used on more than one page, pages sharing a "
        "pageID, and files that are not well-formed XML. Exit code 0: no problems; 1: problems found; "
        "2: the project cannot be read."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the report as JSON."));
    parser.addOption(json);
    addWaitOption(parser);
    parser.addPositionalArgument(QStringLiteral("PROJECT_DIR"), QStringLiteral("The project folder."));
    int exitCode = Exit::ok;
    if (!parseCommandLine(parser, arguments, 1, &exitCode))
        return exitCode;

    const std::unique_ptr<ProjectFiles> files = openProject(parser.positionalArguments().at(0));
    if (!files)
        return Exit::error;
    const CheckReport report = checkProject(*files);
    if (parser.isSet(json))
        out() << QJsonDocument(report.toJson()).toJson(QJsonDocument::Indented);
    else
        report.writeText(out());
    out().flush();
    return report.problems.isEmpty() ? Exit::ok : Exit::problems;
}
