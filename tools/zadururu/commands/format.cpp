// zadururu format: scene pages and definitions files rewritten in the
// canonical form of the library's writers, or checked for it.

#include "commands.h"

#include "cli/commandLine.h"
#include "cli/jsonOutput.h"
#include "project/canonicalForm.h"
#include "project/projectLock.h"
#include "xmlCheck.h"

#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct Formatted
{
    QString kind;      ///< "scene page" or "definitions file"
    QString fileName;  ///< the file name a page records
    QByteArray bytes;  ///< the canonical form
};

// The canonical form of the file whose bytes are @p bytes; false, with the reason on standard error, when there is none.
bool canonicalForm(const QString &source, const QByteArray &bytes, const QString &newName, bool renamed, Formatted *result)
{
    const QString root = documentElementName(bytes);
    if (root == QLatin1String("CTDefinitions")) {
        result->kind = QStringLiteral("definitions file");
        TreePointer tree(TgchFileProcessor::loadFileData(bytes), destroyFileDataTree);
        result->bytes = canonicalDefinitionsBytes(tree.get());
    } else if (root == QLatin1String("ScadaFile")) {
        result->kind = QStringLiteral("scene page");
        // A null name makes the reader take the name the page records.
        std::unique_ptr<ScaFileData, void (*)(ScaFileData *)> page(ScaFileProcessor::loadFileData(bytes, QString()),
                                                                    destroyScaFileData);
        if (page) {
            result->fileName = renamed ? newName : page->pageProperties.fileName;
            result->bytes = canonicalPageBytes(page.get(), result->fileName);
        }
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

} // namespace

int runFormat(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Loads scene pages and definitions files and writes them back in the canonical form of the "
        "library's writers, in place or to another file; a page keeps the file name it records. With "
        "--check, writes nothing and says which files are not in that form. Exit code 0: done (with "
        "--check: every file in canonical form); 1: with --check, a file is not; 2: usage or file errors."));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Write here instead of in place (one file only)."), QStringLiteral("OUT"));
    const QCommandLineOption fileName(QStringLiteral("file-name"),
                                      QStringLiteral("Record NAME as a page's file name instead of the one it records."),
                                      QStringLiteral("NAME"));
    const QCommandLineOption check(QStringLiteral("check"),
                                   QStringLiteral("Write nothing; exit with 1 when a file is not in canonical form."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the report as JSON."));
    parser.addOptions({output, fileName, check, json});
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

    QJsonArray list;
    bool allCanonical = true;
    for (const QString &source : sources) {
        const QString target = parser.isSet(output) ? parser.value(output) : source;
        // Each file is read and written under the lock of the project it lies
        // in, the source's as well when it lies in another one.
        std::unique_ptr<ProjectLock> targetLock, sourceLock;
        if (!lockProjectOf(target, checking ? ProjectAccess::Read : ProjectAccess::Change, &targetLock))
            return Exit::error;
        const QString sourceProject = projectFolderOf(source);
        if (!sourceProject.isEmpty() && (!targetLock || QFileInfo(sourceProject) != QFileInfo(targetLock->path()))
            && !lockProjectOf(source, ProjectAccess::Read, &sourceLock))
            return Exit::error;

        QByteArray bytes;
        if (!readXml(source, &bytes))
            return Exit::error;
        Formatted formatted;
        if (!canonicalForm(source, bytes, parser.value(fileName), parser.isSet(fileName), &formatted))
            return Exit::error;
        const bool canonical = formatted.bytes == bytes;
        allCanonical = allCanonical && canonical;
        bool written = false;
        if (!checking) {
            QFile existing(target);
            const bool same = target == source ? canonical
                                               : existing.open(QIODevice::ReadOnly) && existing.readAll() == formatted.bytes;
            QString error;
            if (!same && !replaceFile(target, formatted.bytes, &error)) {
                reportFileError(target, QStringLiteral("cannot be written (%1); it is unchanged").arg(error));
                return Exit::error;
            }
            written = !same;
        }
        QJsonObject file{{QStringLiteral("file"), source}, {QStringLiteral("kind"), formatted.kind},
                         {QStringLiteral("canonical"), canonical}, {QStringLiteral("written"), written}};
        if (target != source)
            file.insert(QStringLiteral("output"), target);
        if (!formatted.fileName.isNull())
            file.insert(QStringLiteral("fileName"), formatted.fileName);
        list.append(file);
        if (!parser.isSet(json)) {
            if (checking)
                out() << source << ": " << formatted.kind << (canonical ? " in canonical form\n" : " not in canonical form\n");
            else
                out() << target << ": " << formatted.kind << (written ? " written\n" : " already in canonical form, unchanged\n");
        }
    }
    if (parser.isSet(json)) {
        QJsonObject report = jsonReport("format");
        report.insert(QStringLiteral("check"), checking);
        report.insert(QStringLiteral("files"), list);
        printJson(report);
    }
    out().flush();
    return checking && !allCanonical ? Exit::problems : Exit::ok;
}
