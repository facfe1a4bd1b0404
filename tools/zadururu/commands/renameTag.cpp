// zadururu rename-tag: a tag's new id or name, in the definitions and in
// every binding of every page and alarm, all files or none, each file
// changed only in the bytes of the values that change.

#include "cli/commandLine.h"
#include "cli/jsonOutput.h"
#include "commands.h"
#include "pageTags.h"
#include "project/projectFiles.h"
#include "project/projectJournal.h"
#include "project/recordRef.h"
#include "project/sameRecords.h"
#include "project/tagEdits.h"

#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
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
    QList<RecordRef> records;    ///< the record of each change
    QStringList fields;          ///< the field of each change
    QList<ValueEdit> edits;      ///< the bytes changed
};

// Whether @p after, loaded, holds exactly the records of @p page (or of
// @p definitions, when page is null): the file's records with the rename made.
bool readsAs(const QByteArray &after, const ScaFileData *page, const FileDataTree &definitions, QString *difference)
{
    if (page) {
        std::unique_ptr<ScaFileData, void (*)(ScaFileData *)> loaded(ScaFileProcessor::loadFileData(after, QString()),
                                                                      destroyScaFileData);
        *difference = loaded ? pageDifference(*page, *loaded) : QStringLiteral("it would not load");
    } else {
        TreePointer loaded(TgchFileProcessor::loadFileData(after), destroyFileDataTree);
        *difference = definitionsDifference(definitions, *loaded);
    }
    if (!difference->isEmpty())
        *difference = QStringLiteral("it would not read back as the rename makes it (%1 differs)").arg(*difference);
    return difference->isEmpty();
}

} // namespace

int runRenameTag(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Gives a tag a new id (--id) or name (--name): in the definitions file and, for an id, in every "
        "binding of every page and alarm. Either every file changes or none does, also when the run is "
        "killed or the disk fills up; the next run of the tool on the project finishes or undoes a change "
        "that was cut short. Each file changes only in the bytes of the values renamed. Exit code 0: renamed (or listed, with --dry-run); 1: refused, because the "
        "old tag does not exist or is not unique, or the new id or name is taken; 2: usage or file errors."));
    const QCommandLineOption idOption(QStringLiteral("id"), QStringLiteral("The id of the tag to rename."), QStringLiteral("OLD"));
    const QCommandLineOption nameOption(QStringLiteral("name"), QStringLiteral("The name of the tag to rename."), QStringLiteral("OLD"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("The new id or name."), QStringLiteral("NEW"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"), QStringLiteral("List the files and bindings that would change, and the edits as a unified diff; change nothing."));
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
        for (const Finding &problem : files->problems)
            unreadable << problem.file() + QStringLiteral(": ") + problem.message;
        fprintf(stderr, "zadururu rename-tag: every file of the project must be read to rename a tag, and %s; "
                        "nothing was changed\n", qPrintable(unreadable.join(QStringLiteral("; "))));
        return Exit::error;
    }
    FileDataTree &definitions = *files->definitions;

    // A name is written as it is given: characters XML cannot hold would not read back.
    for (int i = 0; !byId && i < newText.size(); ++i) {
        const QChar c = newText.at(i);
        const bool paired = c.isHighSurrogate() ? i + 1 < newText.size() && newText.at(++i).isLowSurrogate() : !c.isLowSurrogate();
        if ((c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF || !paired) {
            fprintf(stderr, "zadururu rename-tag: the new name holds a character an XML file cannot hold (U+%04X)\n", c.unicode());
            return Exit::error;
        }
    }

    const QString what = byId ? QStringLiteral("Id ") + oldText : quoted(oldText);
    const QJsonValue oldValue = byId ? QJsonValue(oldId) : QJsonValue(oldText);
    const QJsonValue newValue = byId ? QJsonValue(newId) : QJsonValue(newText);
    // A refusal changes nothing, and with --json is a report of its own.
    const auto refuse = [&](const QString &reason) {
        fprintf(stderr, "zadururu rename-tag: %s; nothing was changed\n", qPrintable(reason));
        if (parser.isSet(json))
            printJson(jsonReport("rename-tag", QJsonObject{{QStringLiteral("refused"), true},
                                                           {QStringLiteral("reason"), reason},
                                                           {QStringLiteral("field"), byId ? QStringLiteral("Id") : QStringLiteral("Name")},
                                                           {QStringLiteral("old"), oldValue},
                                                           {QStringLiteral("new"), newValue},
                                                           {QStringLiteral("dryRun"), parser.isSet(dryRun)}}));
        return Exit::problems;
    };
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
    const QString definitionsFile = QStringLiteral("definitions.xml");
    FileEdit definitionsEdit{definitionsFile, nullptr, {}, {}, {}, {}};
    {
        RecordRef ref{definitionsFile, QStringLiteral("tag"), -1, tag->Id, 0, tag->Name};
        definitionsEdit.changes << QStringLiteral("tag %1 (Id %2): %3 %4 -> %5")
                                       .arg(quoted(tag->Name)).arg(tag->Id).arg(byId ? "Id" : "Name", byId ? oldText : quoted(oldText),
                                                                                byId ? newText : quoted(newText));
        definitionsEdit.records << ref;
        definitionsEdit.fields << (byId ? QStringLiteral("Id") : QStringLiteral("Name"));
    }
    QList<FileEdit> edits{definitionsEdit};
    QStringList newIdBound;
    if (byId) {
        for (const TagBinding &binding : tagBindings(definitions)) {
            if (binding.tagId == oldId) {
                edits.first().changes << binding.record + QStringLiteral(": ") + binding.field;
                edits.first().records << bindingRecord(definitionsFile, binding);
                edits.first().fields << binding.field;
            }
            if (binding.tagId == newId)
                newIdBound << definitionsFile;
        }
        for (const ProjectPage &page : files->pages) {
            FileEdit edit{page.file, page.data, {}, {}, {}, {}};
            for (const TagBinding &binding : tagBindings(*page.data)) {
                if (binding.tagId == oldId) {
                    edit.changes << binding.record + QStringLiteral(": ") + binding.field;
                    edit.records << bindingRecord(page.file, binding);
                    edit.fields << binding.field;
                }
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

    // Each file changes in the bytes of its renamed values alone, and must read
    // back as the rename makes it before anything is staged.
    const int tagIndex = definitions.tags.indexOf(tag);
    if (byId) {
        tag->Id = newId;
        rebindTag(definitions, oldId, newId);
    } else {
        tag->Name = newText;
    }
    std::unique_ptr<ProjectTransaction> transaction;
    if (!dry)
        transaction = std::make_unique<ProjectTransaction>(*files->lock, description);
    QByteArray diff;
    for (FileEdit &edit : edits) {
        QByteArray before;
        if (!readWhole(files->dir.filePath(edit.file), &before))
            return Exit::error;
        const FileEdits planned = edit.page ? pageTagEdits(before, oldId, newId)
                                            : definitionsTagEdits(before, tagIndex, oldId, newId, byId ? QString() : newText);
        QString problem = planned.refusal;
        QByteArray after;
        if (problem.isEmpty()) {
            after = planned.applied(before);
            if (edit.page)
                rebindTag(*edit.page, oldId, newId);
            readsAs(after, edit.page, definitions, &problem);
        }
        if (!problem.isEmpty()) {
            fprintf(stderr, "zadururu rename-tag: %s: cannot be edited in place: %s; nothing was changed. "
                            "'zadururu format %s' rewrites it in the form the tool edits.\n",
                    qPrintable(edit.file), qPrintable(problem), qPrintable(QDir(files->dir).filePath(edit.file)));
            return Exit::error;
        }
        edit.edits = planned.edits;
        if (dry) {
            diff += unifiedDiff(edit.file, before, planned.edits);
            continue;
        }
        QString error;
        if (!transaction->stage(edit.file, after, &error)) {
            fprintf(stderr, "zadururu rename-tag: %s; nothing was changed\n", qPrintable(error));
            return Exit::error;
        }
    }
    if (!dry) {
        QString error;
        if (!transaction->commit(&error)) {
            fprintf(stderr, "zadururu rename-tag: %s%s\n", qPrintable(error),
                    transaction->committed() ? "" : "; nothing was changed");
            return Exit::error;
        }
    }

    if (parser.isSet(json)) {
        QJsonArray list;
        for (const FileEdit &edit : qAsConst(edits)) {
            QJsonArray changes;
            for (int i = 0; i < edit.records.size(); ++i)
                changes.append(QJsonObject{{QStringLiteral("record"), edit.records.at(i).toJson()},
                                           {QStringLiteral("field"), edit.fields.at(i)}});
            QJsonArray bytes;
            for (const ValueEdit &e : edit.edits)
                bytes.append(QJsonObject{{QStringLiteral("line"), e.position.line}, {QStringLiteral("column"), e.position.column},
                                         {QStringLiteral("old"), QString::fromUtf8(e.before)},
                                         {QStringLiteral("new"), QString::fromUtf8(e.after)}});
            list.append(QJsonObject{{QStringLiteral("file"), edit.file}, {QStringLiteral("changes"), changes},
                                    {QStringLiteral("edits"), bytes}});
        }
        QJsonObject report = jsonReport("rename-tag");
        report.insert(QStringLiteral("refused"), false);
        report.insert(QStringLiteral("tag"), edits.first().records.first().toJson());
        report.insert(QStringLiteral("field"), byId ? QStringLiteral("Id") : QStringLiteral("Name"));
        report.insert(QStringLiteral("old"), oldValue);
        report.insert(QStringLiteral("new"), newValue);
        report.insert(QStringLiteral("dryRun"), dry);
        report.insert(QStringLiteral("bindings"), bindings);
        report.insert(QStringLiteral("files"), list);
        printJson(report);
    } else {
        for (const FileEdit &edit : qAsConst(edits)) {
            out() << edit.file << '\n';
            for (const QString &change : edit.changes)
                out() << "    " << change << '\n';
        }
        out() << (dry ? QStringLiteral("Would ") + description : QStringLiteral("Renamed") + description.mid(6)) << ": " << edits.size() << " file" << (edits.size() == 1 ? "" : "s")
              << ", " << bindings << " binding" << (bindings == 1 ? "" : "s") << ".\n";
        if (dry)
            out() << '\n' << QString::fromUtf8(diff);
    }
    out().flush();
    return Exit::ok;
}
