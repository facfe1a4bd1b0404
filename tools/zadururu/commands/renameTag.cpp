// zadururu rename-tag: a tag's new id or name, in the definitions and in
// every binding of every page and alarm, all files or none.

#include "cli/commandLine.h"
#include "commands.h"
#include "pageTags.h"
#include "project/projectFiles.h"
#include "project/projectJournal.h"

#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <cstdio>

namespace {

// The changes to one file.
struct FileEdit
{
    QString file;
    ScaFileData *page = nullptr; ///< null for the definitions
    QStringList changes;         ///< "record: field"
};

// Whether @p name can be written as given inside a folder of its own.
bool isPlainRelativePath(const QString &name)
{
    return !name.isEmpty() && QDir::isRelativePath(name) && !name.split(QLatin1Char('/')).contains(QStringLiteral(".."));
}

// The bytes the library's writer @p write writes for a file named @p name,
// written in a scratch folder of their own, which is made the working folder
// for the moment: the page writer records the path it is given as the file
// name, and a page keeps the name it records.
QByteArray writtenBytes(const QString &name, const std::function<bool(const QString &)> &write)
{
    QTemporaryDir scratch;
    if (!scratch.isValid() || !QDir().mkpath(QFileInfo(scratch.filePath(name)).absolutePath()))
        return QByteArray();
    const QString working = QDir::currentPath();
    const bool written = QDir::setCurrent(scratch.path()) && write(name);
    QDir::setCurrent(working);
    QFile file(scratch.filePath(name));
    return written && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int refuse(const QString &reason)
{
    fprintf(stderr, "zadururu rename-tag: %s; nothing was changed\n", qPrintable(reason));
    return Exit::problems;
}

} // namespace

int runRenameTag(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Gives a tag a new id (--id) or name (--name): in the definitions file and, for an id, in every "
        "binding of every page and alarm. Either every file changes or none does, also when the run is "
        "killed or the disk fills up; the next run of the tool on the project finishes or undoes a change "
        "that was cut short. Exit code 0: renamed (or listed, with --dry-run); 1: refused, because the "
        "old tag does not exist or is not unique, or the new id or name is taken; 2: usage or file errors."));
    const QCommandLineOption idOption(QStringLiteral("id"), QStringLiteral("The id of the tag to rename."), QStringLiteral("OLD"));
    const QCommandLineOption nameOption(QStringLiteral("name"), QStringLiteral("The name of the tag to rename."), QStringLiteral("OLD"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("The new id or name."), QStringLiteral("NEW"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"), QStringLiteral("List the files and bindings that would change, and change nothing."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the list as JSON."));
    parser.addOptions({idOption, nameOption, to, dryRun, json});
    addWaitOption(parser);
    parser.addPositionalArgument(QStringLiteral("PROJECT_DIR"), QStringLiteral("The project folder."));
    int exitCode = Exit::ok;
    if (!parseCommandLine(parser, arguments, 1, &exitCode))
        return exitCode;
    const bool byId = parser.isSet(idOption);
    if (byId == parser.isSet(nameOption) || !parser.isSet(to)) {
        fprintf(stderr, "zadururu rename-tag: give the tag as --id OLD or --name OLD, and --to NEW\n");
        return Exit::error;
    }
    const QString oldText = parser.value(byId ? idOption : nameOption);
    const QString newText = parser.value(to);
    bool oldOk = true, newOk = true;
    const int oldId = byId ? oldText.toInt(&oldOk) : 0;
    const int newId = byId ? newText.toInt(&newOk) : 0;
    // -1 binds nothing, and the editor gives tags no negative ids.
    if (!oldOk || !newOk || oldId < 0 || newId < 0 || newText.isEmpty()) {
        fprintf(stderr, "zadururu rename-tag: %s\n", byId ? "tag ids are whole numbers from 0 up" : "a tag name cannot be empty");
        return Exit::error;
    }

    const std::unique_ptr<ProjectFiles> files =
        openProject(parser.positionalArguments().at(0), parser.isSet(dryRun) ? ProjectAccess::Read : ProjectAccess::Change);
    if (!files)
        return Exit::error;
    if (!files->problems.isEmpty() || !files->definitions) {
        QStringList unreadable;
        for (const Problem &problem : files->problems)
            unreadable << problem.file + QStringLiteral(": ") + problem.message;
        fprintf(stderr, "zadururu rename-tag: every file of the project must be read to rename a tag, and %s; "
                        "nothing was changed\n", qPrintable(unreadable.join(QStringLiteral("; "))));
        return Exit::error;
    }
    FileDataTree &definitions = *files->definitions;

    const QString what = byId ? QStringLiteral("Id ") + oldText : quoted(oldText);
    QList<pEtiketDef_t *> matches;
    bool taken = false;
    for (pEtiketDef_t *tag : definitions.tags) {
        if (byId ? tag->Id == oldId : tag->Name == oldText)
            matches << tag;
        taken = taken || (byId ? tag->Id == newId : tag->Name == newText);
    }
    if (matches.isEmpty())
        return refuse(QStringLiteral("no tag has the %1 %2").arg(byId ? "id" : "name", byId ? oldText : quoted(oldText)));
    if (matches.size() > 1)
        return refuse(QStringLiteral("%1 tags have the %2 %3, so it is not known which one is meant")
                          .arg(matches.size()).arg(byId ? "id" : "name", byId ? oldText : quoted(oldText)));
    if (taken)
        return refuse(QStringLiteral("a tag has the %1 %2 already").arg(byId ? "id" : "name", byId ? newText : quoted(newText)));
    pEtiketDef_t *tag = matches.first();

    // What changes where; a new id that something binds already would take those bindings over.
    QList<FileEdit> edits{{QStringLiteral("definitions.xml"), nullptr,
                           {QStringLiteral("tag %1 (Id %2): %3 %4 -> %5")
                                .arg(quoted(tag->Name)).arg(tag->Id).arg(byId ? "Id" : "Name", byId ? oldText : quoted(oldText),
                                                                         byId ? newText : quoted(newText))}}};
    QStringList newIdBound;
    if (byId) {
        for (const TagBinding &binding : tagBindings(definitions)) {
            if (binding.tagId == oldId)
                edits.first().changes << binding.record + QStringLiteral(": ") + binding.field;
            if (binding.tagId == newId)
                newIdBound << QStringLiteral("definitions.xml");
        }
        for (const ProjectPage &page : files->pages) {
            FileEdit edit{page.file, page.data, {}};
            for (const TagBinding &binding : tagBindings(*page.data)) {
                if (binding.tagId == oldId)
                    edit.changes << binding.record + QStringLiteral(": ") + binding.field;
                if (binding.tagId == newId)
                    newIdBound << page.file;
            }
            if (!edit.changes.isEmpty())
                edits << edit;
        }
    }
    if (!newIdBound.isEmpty()) {
        newIdBound.removeDuplicates();
        return refuse(QStringLiteral("no tag has the id %1, but %2 bind%3 it").arg(newText, newIdBound.join(QStringLiteral(", ")))
                          .arg(newIdBound.size() == 1 ? "s" : ""));
    }

    const bool dry = parser.isSet(dryRun);
    int bindings = -1; // the definition itself is no binding
    for (const FileEdit &edit : qAsConst(edits))
        bindings += edit.changes.size();
    const QString description = QStringLiteral("rename tag %1 to %2").arg(what, byId ? newText : quoted(newText));
    if (!dry) {
        if (byId) {
            tag->Id = newId;
            rebindTag(definitions, oldId, newId);
        } else {
            tag->Name = newText;
        }
        ProjectTransaction transaction(*files->lock, description);
        QString error;
        const QString definitionsFile = QStringLiteral("definitions.xml");
        QByteArray bytes = writtenBytes(definitionsFile, [&definitions](const QString &path) {
            return TgchFileProcessor::writeToFile(&definitions, path);
        });
        bool staged = !bytes.isEmpty() && transaction.stage(definitionsFile, bytes, &error);
        for (int i = 1; staged && i < edits.size(); ++i) {
            ScaFileData *page = edits.at(i).page;
            rebindTag(*page, oldId, newId);
            QString name = page->pageProperties.fileName;
            if (!isPlainRelativePath(name))
                name = QFileInfo(edits.at(i).file).fileName();
            bytes = writtenBytes(name, [page](const QString &path) { return ScaFileProcessor::saveFileData(page, path); });
            staged = !bytes.isEmpty() && transaction.stage(edits.at(i).file, bytes, &error);
        }
        if (staged == false && error.isEmpty())
            error = QStringLiteral("a new version cannot be written in a scratch folder");
        if (!staged || !transaction.commit(&error)) {
            fprintf(stderr, "zadururu rename-tag: %s%s\n", qPrintable(error),
                    transaction.committed() ? "" : "; nothing was changed");
            return Exit::error;
        }
    }

    if (parser.isSet(json)) {
        QJsonArray list;
        for (const FileEdit &edit : qAsConst(edits))
            list.append(QJsonObject{{QStringLiteral("file"), edit.file}, {QStringLiteral("changes"), QJsonArray::fromStringList(edit.changes)}});
        out() << QJsonDocument(QJsonObject{{QStringLiteral("rename"), description}, {QStringLiteral("dryRun"), dry},
                                           {QStringLiteral("bindings"), bindings}, {QStringLiteral("files"), list}})
                     .toJson();
    } else {
        for (const FileEdit &edit : qAsConst(edits)) {
            out() << edit.file << '\n';
            for (const QString &change : edit.changes)
                out() << "    " << change << '\n';
        }
        out() << (dry ? QStringLiteral("Would ") + description : QStringLiteral("Renamed") + description.mid(6)) << ": " << edits.size() << " file" << (edits.size() == 1 ? "" : "s")
              << ", " << bindings << " binding" << (bindings == 1 ? "" : "s") << ".\n";
    }
    out().flush();
    return Exit::ok;
}
