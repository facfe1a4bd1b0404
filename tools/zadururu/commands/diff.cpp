// zadururu diff: project files compared as records.

#include "cli/commandLine.h"
#include "cli/jsonOutput.h"
#include "cli/progress.h"
#include "commands.h"
#include "project/projectFiles.h"
#include "project/projectLock.h"
#include "project/recordDiff.h"
#include "project/records.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

using ReaderVocabulary::FileKind;

// What became of one file, and of its records when both versions have them.
struct FileChange
{
    QString file;
    QString change;  ///< "added", "removed", "changed", "renamed", or "differs" when a side cannot be read as records
    QString from;    ///< the old file of a renamed one
    QString problem; ///< why it cannot be compared as records
    QJsonArray records;
    QStringList lines;
};

struct Side
{
    bool exists = false;
    QByteArray bytes;
    QList<Record> records;
    QString problem; ///< set when the file exists but gives no records
    FileKind kind = FileKind::Scene;
};

Side readSide(const QString &path)
{
    Side side;
    side.exists = QFileInfo(path).isFile();
    if (side.exists && readWhole(path, &side.bytes))
        fileRecords(side.bytes, path, &side.records, &side.problem, &side.kind);
    else if (side.exists)
        side.problem = QStringLiteral("cannot be read");
    return side;
}

QJsonObject refJson(const Record &record, const QString &file)
{
    RecordRef ref = record.ref;
    ref.file = file;
    return ref.toJson();
}

// The record changes from @p before (of the file @p oldFile) to @p after (of @p newFile), as text lines and JSON.
void describeChanges(const QList<Record> &before, const QList<Record> &after, const QString &oldFile,
                     const QString &newFile, FileChange *change)
{
    for (const RecordChange &c : compareRecords(before, after)) {
        switch (c.kind) {
        case RecordChange::Added:
            change->records.append(QJsonObject{{QStringLiteral("change"), QStringLiteral("added")},
                                               {QStringLiteral("record"), refJson(*c.after, newFile)}});
            change->lines << QStringLiteral("  added ") + c.after->title;
            break;
        case RecordChange::Removed:
            change->records.append(QJsonObject{{QStringLiteral("change"), QStringLiteral("removed")},
                                               {QStringLiteral("record"), refJson(*c.before, oldFile)}});
            change->lines << QStringLiteral("  removed ") + c.before->title;
            break;
        case RecordChange::Changed: {
            QJsonArray fields;
            QString title = QStringLiteral("  changed ") + c.after->title;
            if (c.before->title != c.after->title)
                title += QStringLiteral(" (was ") + c.before->title + QLatin1Char(')');
            change->lines << title;
            for (const RecordChange::Field &f : c.fields) {
                fields.append(QJsonObject{{QStringLiteral("field"), f.name},
                                          {QStringLiteral("old"), f.before ? f.before->value : QJsonValue()},
                                          {QStringLiteral("new"), f.after ? f.after->value : QJsonValue()}});
                change->lines << QStringLiteral("      %1: %2 -> %3")
                                     .arg(f.name, f.before ? f.before->text : QStringLiteral("(none)"),
                                          f.after ? f.after->text : QStringLiteral("(none)"));
            }
            change->records.append(QJsonObject{{QStringLiteral("change"), QStringLiteral("changed")},
                                               {QStringLiteral("record"), refJson(*c.after, newFile)},
                                               {QStringLiteral("oldRecord"), refJson(*c.before, oldFile)},
                                               {QStringLiteral("fields"), fields}});
            break;
        }
        }
    }
}

// The change of the project file @p name; false when both versions are the same.
bool compareFile(const QString &name, const Side &before, const Side &after, FileChange *change)
{
    change->file = name;
    if (!before.exists && !after.exists)
        return false;
    if (!before.exists || !after.exists) {
        change->change = before.exists ? QStringLiteral("removed") : QStringLiteral("added");
        change->problem = before.exists ? before.problem : after.problem;
        return true;
    }
    if (!before.problem.isEmpty() || !after.problem.isEmpty() || before.kind != after.kind) {
        if (before.bytes == after.bytes)
            return false;
        change->change = QStringLiteral("differs");
        if (!before.problem.isEmpty())
            change->problem = QStringLiteral("old: ") + before.problem;
        else if (!after.problem.isEmpty())
            change->problem = QStringLiteral("new: ") + after.problem;
        else
            change->problem = QStringLiteral("old: a %1, new: a %2").arg(fileKindName(before.kind), fileKindName(after.kind));
        return true;
    }
    describeChanges(before.records, after.records, name, name, change);
    change->change = QStringLiteral("changed");
    return !change->records.isEmpty();
}

// The files of a project folder that hold records, relative to it.
QStringList projectFileNames(const QDir &project)
{
    return projectPageFiles(project) << QStringLiteral("definitions.xml") << QStringLiteral("library/objlib.xml");
}

// The changes of two project folders, file by file in name order; a page
// that is only renamed (its records the same, but for the fileName it
// records) shows as renamed.
QList<FileChange> compareProjects(const QDir &oldProject, const QDir &newProject)
{
    QStringList names = projectFileNames(oldProject) + projectFileNames(newProject);
    names.removeDuplicates();
    std::sort(names.begin(), names.end());
    QList<FileChange> changes;
    QHash<QString, Side> removedPages, addedPages; // by name, kept to find renames
    Progress progress(QStringLiteral("comparing files"));
    int done = 0;
    for (const QString &name : qAsConst(names)) {
        const Side before = readSide(oldProject.filePath(name));
        const Side after = readSide(newProject.filePath(name));
        FileChange change;
        if (compareFile(name, before, after, &change)) {
            const bool page = name.startsWith(QLatin1String("pages/"));
            if (page && change.change == QLatin1String("removed") && before.problem.isEmpty())
                removedPages.insert(name, before);
            else if (page && change.change == QLatin1String("added") && after.problem.isEmpty())
                addedPages.insert(name, after);
            changes << change;
        }
        progress.update(++done, names.size());
    }
    // A removed page whose records an added page holds, but for its fileName, was renamed.
    for (auto removed = removedPages.constBegin(); removed != removedPages.constEnd(); ++removed)
        for (auto added = addedPages.begin(); added != addedPages.end(); ++added)
            if (sameRecords(removed->records, added->records, QStringLiteral("fileName"))) {
                changes.erase(std::remove_if(changes.begin(), changes.end(),
                                             [&](const FileChange &c) { return c.file == removed.key(); }),
                              changes.end());
                for (FileChange &c : changes)
                    if (c.file == added.key()) {
                        c.change = QStringLiteral("renamed");
                        c.from = removed.key();
                    }
                addedPages.erase(added);
                break;
            }
    return changes;
}

} // namespace

int runDiff(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Compares two scene pages, two definitions files, two component libraries or two project folders "
        "record by record: items, channels, tags, alarms and components added, removed, and changed field "
        "by field, and pages renamed. Component instances are known by their Uid, channels, tags and "
        "alarms by their Id, library components by their objectUID; the other items are matched by their "
        "content, so that an item inserted shows as one addition. "
        "Exit code 0: the same; 1: they differ; 2: they cannot be read or are of different kinds."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the differences as JSON."));
    parser.addOption(json);
    addWaitOption(parser);
    parser.addPositionalArgument(QStringLiteral("OLD"), QStringLiteral("The old file or project folder."));
    parser.addPositionalArgument(QStringLiteral("NEW"), QStringLiteral("The new file or project folder."));
    int exitCode = Exit::ok;
    if (!parseCommandLine(parser, arguments, 2, &exitCode))
        return exitCode;
    const QString oldPath = parser.positionalArguments().at(0);
    const QString newPath = parser.positionalArguments().at(1);
    const QFileInfo oldInfo(oldPath), newInfo(newPath);

    QList<FileChange> changes;
    std::unique_ptr<ProjectLock> locks[2];
    if (oldInfo.isDir() && newInfo.isDir()) {
        for (int side = 0; side < 2; ++side) {
            const QString &path = side ? newPath : oldPath;
            const QString notProject = notAProjectReason(QDir(path));
            QString error;
            if (!notProject.isEmpty() || !(locks[side] = ProjectLock::acquire(path, ProjectAccess::Read, &error))) {
                reportFileError(path, notProject.isEmpty() ? error : notProject);
                return Exit::error;
            }
        }
        changes = compareProjects(QDir(oldPath), QDir(newPath));
    } else {
        for (const QFileInfo &info : {oldInfo, newInfo})
            if (!info.isFile()) {
                reportFileError(info.filePath(), info.isDir() ? QStringLiteral("a folder, compared with a file: give two "
                                                                               "files or two project folders")
                                                              : QStringLiteral("no such file"));
                return Exit::error;
            }
        for (int side = 0; side < 2; ++side)
            if (!lockProjectOf(side ? newPath : oldPath, ProjectAccess::Read, &locks[side]))
                return Exit::error;
        const Side before = readSide(oldPath), after = readSide(newPath);
        for (const auto &side : {qMakePair(oldPath, before.problem), qMakePair(newPath, after.problem)})
            if (!side.second.isEmpty()) {
                reportFileError(side.first, side.second);
                return Exit::error;
            }
        if (before.kind != after.kind) {
            fprintf(stderr, "zadururu diff: %s is a %s and %s a %s: only files of one kind compare\n",
                    qPrintable(oldPath), qPrintable(fileKindName(before.kind)), qPrintable(newPath),
                    qPrintable(fileKindName(after.kind)));
            return Exit::error;
        }
        FileChange change;
        change.file = newInfo.fileName();
        change.change = QStringLiteral("changed");
        describeChanges(before.records, after.records, oldPath, newPath, &change);
        if (!change.records.isEmpty())
            changes << change;
    }

    int records = 0;
    for (const FileChange &c : qAsConst(changes))
        records += c.records.size();
    if (parser.isSet(json)) {
        QJsonArray files;
        for (const FileChange &c : qAsConst(changes)) {
            QJsonObject o{{QStringLiteral("file"), c.file}, {QStringLiteral("change"), c.change}, {QStringLiteral("records"), c.records}};
            if (!c.from.isEmpty())
                o.insert(QStringLiteral("from"), c.from);
            if (!c.problem.isEmpty())
                o.insert(QStringLiteral("problem"), c.problem);
            files.append(o);
        }
        printJson(jsonReport("diff", {{QStringLiteral("old"), oldPath},
                                      {QStringLiteral("new"), newPath},
                                      {QStringLiteral("equal"), changes.isEmpty()},
                                      {QStringLiteral("fileCount"), changes.size()},
                                      {QStringLiteral("recordCount"), records},
                                      {QStringLiteral("files"), files}}));
    } else {
        out() << "--- " << oldPath << "\n+++ " << newPath << '\n';
        for (const FileChange &c : qAsConst(changes)) {
            out() << (c.from.isEmpty() ? c.file : c.from + QStringLiteral(" -> ") + c.file);
            if (c.change != QLatin1String("changed"))
                out() << ": " << c.change;
            if (!c.problem.isEmpty())
                out() << " (" << c.problem << ')';
            out() << '\n';
            for (const QString &line : c.lines)
                out() << line << '\n';
        }
        out() << (changes.isEmpty() ? QStringLiteral("No differences.")
                                    : QStringLiteral("%1 file%2, %3 record%4.")
                                          .arg(changes.size()).arg(changes.size() == 1 ? " differs" : "s differ")
                                          .arg(records).arg(records == 1 ? "" : "s"))
              << '\n';
    }
    out().flush();
    return changes.isEmpty() ? Exit::ok : Exit::problems;
}
