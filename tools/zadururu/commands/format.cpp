// zadururu format: scene pages and definitions files rewritten in the
// canonical form of the library's writers, or checked for it.

#include "commands.h"

#include "cli/commandLine.h"
#include "cli/jsonOutput.h"
#include "project/canonicalForm.h"
#include "project/fileLint.h"
#include "project/projectLock.h"
#include "project/rewriteLoss.h"
#include "xmlCheck.h"

#include <zadururu/common/regularFile.h>
#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QTextStream>

#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace {

struct Formatted
{
    QString kind;      ///< "scene page" or "definitions file"
    QString fileName;  ///< the file name a page records
    QByteArray bytes;  ///< the canonical form
    QList<RewriteLoss> losses; ///< what the canonical form drops, invents or changes
};

// The canonical form of the file whose bytes are @p bytes, and what it loses;
// false, with the reason on standard error, when there is none.
bool canonicalForm(const QString &source, const QByteArray &bytes, const QString &newName, bool renamed, Formatted *result)
{
    const QString root = documentElementName(bytes);
    // A well-formed file that does not load ran out of memory; it has no
    // canonical form then, rather than an empty one.
    if (root == QLatin1String("CTDefinitions")) {
        result->kind = QStringLiteral("definitions file");
        TreePointer tree(loadDefinitionsFile(source, bytes), destroyFileDataTree);
        if (!tree) {
            reportFileError(source, QStringLiteral("cannot be read: not enough memory"));
            return false;
        }
        result->bytes = canonicalDefinitionsBytes(tree.get());
        result->losses = rewriteLosses(lintFile(bytes, source, ReaderVocabulary::FileKind::Definitions), source, nullptr);
    } else if (root == QLatin1String("ScadaFile")) {
        result->kind = QStringLiteral("scene page");
        // A null name makes the reader take the name the page records.
        std::unique_ptr<ScaFileData, void (*)(ScaFileData *)> page(ScaFileProcessor::loadFileData(bytes, QString()),
                                                                    destroyScaFileData);
        if (!page) {
            reportFileError(source, QStringLiteral("cannot be read: not enough memory"));
            return false;
        }
        result->fileName = renamed ? newName : page->pageProperties.fileName;
        result->bytes = canonicalPageBytes(page.get(), result->fileName);
        result->losses = rewriteLosses(lintFile(bytes, source, ReaderVocabulary::FileKind::Scene), source, page.get());
    } else {
        reportFileError(source, QStringLiteral("neither a scene page (ScadaFile) nor a definitions file "
                                               "(CTDefinitions), but \"%1\"").arg(root));
        return false;
    }
    if (result->bytes.isNull()) {
        reportFileError(source, QStringLiteral("its canonical form cannot be written in a scratch folder"));
        return false;
    }
    return true;
}

// One file to format: where it is read and written, and what it becomes.
struct FormatJob
{
    QString source;
    QString target;
    Formatted formatted;
    bool canonical = false;
    bool written = false;
};

/**
 * Locks every project the files lie in, each once and in one order (two
 * locks of one folder would shut each other out): for a change where a file
 * is written into it, else for reading. False, with the reason on standard
 * error, when one cannot be had.
 */
bool lockProjects(const QList<FormatJob> &jobs, bool checking, std::vector<std::unique_ptr<ProjectLock>> *locks)
{
    struct Need
    {
        QString file; ///< a file that lies in the project
        ProjectAccess access = ProjectAccess::Read;
    };
    std::map<QString, Need> projects; // by the folder's canonical path
    const auto need = [&projects](const QString &file, ProjectAccess access) {
        const QString folder = projectFolderOf(file);
        if (folder.isEmpty())
            return;
        Need &n = projects[QFileInfo(folder).canonicalFilePath()];
        n.file = file;
        if (access == ProjectAccess::Change)
            n.access = access;
    };
    for (const FormatJob &job : jobs) {
        need(job.source, ProjectAccess::Read);
        need(job.target, checking ? ProjectAccess::Read : ProjectAccess::Change);
    }
    for (const auto &project : projects) {
        std::unique_ptr<ProjectLock> lock;
        if (!lockProjectOf(project.second.file, project.second.access, &lock))
            return false;
        locks->push_back(std::move(lock));
    }
    return true;
}

} // namespace

int runFormat(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Loads scene pages and definitions files and writes them back in the canonical form of the "
        "library's writers, in place or to another file; a page keeps the file name it records. Before "
        "writing, lists on standard error everything the rewrite drops, invents or changes (what no reader "
        "reads, numbers that do not parse, sizes measured with this machine's fonts, comments...), and "
        "writes nothing when there is any, unless --force is given. With --check, writes nothing and says "
        "which files are not in that form, with the same list. Exit code 0: done (with --check: every file "
        "in canonical form); 1: with --check, a file is not; without, a rewrite would drop, invent or "
        "change something and --force is not given, so nothing was written; 2: usage or file errors."));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Write here instead of in place (one file only)."), QStringLiteral("OUT"));
    const QCommandLineOption fileName(QStringLiteral("file-name"),
                                      QStringLiteral("Record NAME as a page's file name instead of the one it records."),
                                      QStringLiteral("NAME"));
    const QCommandLineOption check(QStringLiteral("check"),
                                   QStringLiteral("Write nothing; exit with 1 when a file is not in canonical form."));
    const QCommandLineOption force(QStringLiteral("force"),
                                   QStringLiteral("Write even when the rewrite drops, invents or changes something."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the report as JSON."));
    parser.addOptions({output, fileName, check, force, json});
    addWaitOption(parser);
    parser.addPositionalArgument(QStringLiteral("FILE.xml"), QStringLiteral("The files to format."), QStringLiteral("FILE.xml..."));
    int exitCode = Exit::ok;
    if (!parseCommandLine(parser, arguments, -1, &exitCode))
        return exitCode;
    const QStringList sources = parser.positionalArguments();
    const bool checking = parser.isSet(check);
    if (parser.isSet(output) && (sources.size() > 1 || checking)) {
        fprintf(stderr, "zadururu format: -o takes one file and no --check\n");
        return Exit::error;
    }

    QList<FormatJob> jobs;
    for (const QString &source : sources)
        jobs.append(FormatJob{source, parser.isSet(output) ? parser.value(output) : source, {}, false, false});
    // Every file is read, and the rewrites weighed, before any is written,
    // under the locks of the projects the files lie in.
    std::vector<std::unique_ptr<ProjectLock>> locks;
    if (!lockProjects(jobs, checking, &locks))
        return Exit::error;
    int losses = 0;
    for (FormatJob &job : jobs) {
        QByteArray bytes;
        if (!readXml(job.source, &bytes)
            || !canonicalForm(job.source, bytes, parser.value(fileName), parser.isSet(fileName), &job.formatted))
            return Exit::error;
        job.canonical = job.formatted.bytes == bytes;
        losses += job.formatted.losses.size();
    }

    // The list goes first, on standard error, so that it is seen before anything is written.
    const bool refused = !checking && losses > 0 && !parser.isSet(force);
    if (!checking) {
        for (const FormatJob &job : qAsConst(jobs)) {
            if (job.formatted.losses.isEmpty())
                continue;
            fprintf(stderr, "zadururu format: %s: rewriting it in canonical form drops, invents or changes what follows (%s):\n",
                    qPrintable(job.source), qPrintable(rewriteLossSummary(job.formatted.losses)));
            for (const RewriteLoss &loss : job.formatted.losses)
                fprintf(stderr, "%s\n", qPrintable(loss.text()));
        }
    }
    if (refused)
        fprintf(stderr, "zadururu format: nothing was written, since the rewrite would lose or invent what is listed "
                        "above. Give --force to write anyway; --check lists it again without writing, --json as JSON.\n");

    bool allCanonical = true;
    QJsonArray list;
    for (FormatJob &job : jobs) {
        allCanonical = allCanonical && job.canonical;
        if (!checking && !refused) {
            // Another target is compared as it stands: a FIFO there is not waited on.
            const bool same = job.target == job.source
                                  ? job.canonical
                                  : ZadUruru::readRegularFile(job.target) == job.formatted.bytes;
            QString error;
            if (!same && !replaceFile(job.target, job.formatted.bytes, &error)) {
                reportFileError(job.target, QStringLiteral("cannot be written (%1); it is unchanged").arg(error));
                return Exit::error;
            }
            job.written = !same;
        }
        QJsonArray lost;
        for (const RewriteLoss &loss : job.formatted.losses)
            lost.append(loss.toJson());
        QJsonObject file{{QStringLiteral("file"), job.source}, {QStringLiteral("kind"), job.formatted.kind},
                         {QStringLiteral("canonical"), job.canonical}, {QStringLiteral("written"), job.written},
                         {QStringLiteral("losses"), lost}};
        if (job.target != job.source)
            file.insert(QStringLiteral("output"), job.target);
        if (!job.formatted.fileName.isNull())
            file.insert(QStringLiteral("fileName"), job.formatted.fileName);
        list.append(file);
        if (parser.isSet(json) || refused)
            continue;
        if (checking) {
            out() << job.source << ": " << job.formatted.kind << (job.canonical ? " in canonical form" : " not in canonical form");
            if (job.formatted.losses.isEmpty()) {
                out() << '\n';
                continue;
            }
            out() << "; rewriting it would drop, invent or change what follows ("
                  << rewriteLossSummary(job.formatted.losses) << "):\n";
            for (const RewriteLoss &loss : job.formatted.losses)
                out() << "    " << loss.text() << '\n';
        } else {
            out() << job.target << ": " << job.formatted.kind << (job.written ? " written\n" : " already in canonical form, unchanged\n");
        }
    }
    if (parser.isSet(json)) {
        QJsonObject report = jsonReport("format");
        report.insert(QStringLiteral("check"), checking);
        report.insert(QStringLiteral("force"), parser.isSet(force));
        report.insert(QStringLiteral("refused"), refused);
        report.insert(QStringLiteral("files"), list);
        printJson(report);
    }
    out().flush();
    return (checking && !allCanonical) || refused ? Exit::problems : Exit::ok;
}
