// zadururu diff: project files compared as records.

#include "cli/commandLine.h"
#include "commands.h"
#include "project/projectFiles.h"
#include "project/projectLock.h"
#include "project/records.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTextStream>

#include <cstdio>

namespace {

// What became of one file, and of its records when both versions have them.
struct FileChange
{
    QString file;
    QString change;  ///< "added", "removed", "changed", or "differs" when a side cannot be read as records
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
};

Side readSide(const QString &path)
{
    Side side;
    side.exists = QFileInfo(path).isFile();
    if (side.exists && readWhole(path, &side.bytes))
        fileRecords(side.bytes, path, &side.records, &side.problem);
    else if (side.exists)
        side.problem = QStringLiteral("cannot be read");
    return side;
}

// The record changes from @p before to @p after: removed and changed records
// in their old order, then the added ones in their new order.
void compareRecords(const QList<Record> &before, const QList<Record> &after, FileChange *change)
{
    QHash<QString, const Record *> newByKey;
    for (const Record &r : after)
        newByKey.insert(r.key, &r);
    QSet<QString> oldKeys;
    for (const Record &old : before) {
        oldKeys.insert(old.key);
        const Record *now = newByKey.value(old.key);
        if (!now) {
            change->records.append(QJsonObject{{QStringLiteral("change"), QStringLiteral("removed")},
                                               {QStringLiteral("record"), old.title}});
            change->lines << QStringLiteral("  removed ") + old.title;
            continue;
        }
        if (now->fields == old.fields && now->title == old.title)
            continue;
        QJsonArray fields;
        QStringList fieldLines;
        QHash<QString, QString> oldValues, newValues;
        for (const auto &f : old.fields)
            oldValues.insert(f.first, f.second);
        for (const auto &f : now->fields)
            newValues.insert(f.first, f.second);
        QStringList names;
        for (const auto &f : old.fields + now->fields)
            if (!names.contains(f.first))
                names << f.first;
        for (const QString &name : qAsConst(names)) {
            const QString was = oldValues.value(name, QStringLiteral("(none)"));
            const QString is = newValues.value(name, QStringLiteral("(none)"));
            if (was == is)
                continue;
            fields.append(QJsonObject{{QStringLiteral("field"), name}, {QStringLiteral("old"), was}, {QStringLiteral("new"), is}});
            fieldLines << QStringLiteral("      %1: %2 -> %3").arg(name, was, is);
        }
        change->records.append(QJsonObject{{QStringLiteral("change"), QStringLiteral("changed")},
                                           {QStringLiteral("record"), now->title},
                                           {QStringLiteral("fields"), fields}});
        change->lines << QStringLiteral("  changed ") + now->title << fieldLines;
    }
    for (const Record &r : after)
        if (!oldKeys.contains(r.key)) {
            change->records.append(QJsonObject{{QStringLiteral("change"), QStringLiteral("added")},
                                               {QStringLiteral("record"), r.title}});
            change->lines << QStringLiteral("  added ") + r.title;
        }
}

// The change of one file; false when both versions are the same.
bool compareFile(const QString &name, const QString &oldPath, const QString &newPath, FileChange *change)
{
    const Side before = readSide(oldPath);
    const Side after = readSide(newPath);
    change->file = name;
    if (!before.exists && !after.exists)
        return false;
    if (!before.exists || !after.exists) {
        change->change = before.exists ? QStringLiteral("removed") : QStringLiteral("added");
        change->problem = before.exists ? before.problem : after.problem;
        return true;
    }
    if (!before.problem.isEmpty() || !after.problem.isEmpty()) {
        if (before.bytes == after.bytes)
            return false;
        change->change = QStringLiteral("differs");
        change->problem = (before.problem.isEmpty() ? QStringLiteral("new: ") + after.problem
                                                    : QStringLiteral("old: ") + before.problem);
        return true;
    }
    compareRecords(before.records, after.records, change);
    change->change = QStringLiteral("changed");
    return !change->records.isEmpty();
}

// The files of a project folder that hold records, relative to it.
QStringList projectFileNames(const QDir &project)
{
    return projectPageFiles(project) << QStringLiteral("definitions.xml") << QStringLiteral("library/objlib.xml");
}

} // namespace

int runDiff(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Compares two scene pages, two definitions files, two component libraries or two project folders "
        "record by record: items, channels, tags, alarms and components added, removed, and changed field "
        "by field. Records are known by their Uid or Id; items without one by kind and place in their list. "
        "Exit code 0: the same; 1: they differ; 2: they cannot be read."));
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
            QString error;
            if (!(locks[side] = ProjectLock::acquire(path, ProjectAccess::Read, &error))) {
                reportFileError(path, error);
                return Exit::error;
            }
        }
        QStringList names = projectFileNames(QDir(oldPath)) + projectFileNames(QDir(newPath));
        names.removeDuplicates();
        std::sort(names.begin(), names.end());
        for (const QString &name : qAsConst(names)) {
            FileChange change;
            if (compareFile(name, QDir(oldPath).filePath(name), QDir(newPath).filePath(name), &change))
                changes << change;
        }
    } else {
        for (const QFileInfo &info : {oldInfo, newInfo})
            if (!info.isFile()) {
                reportFileError(info.filePath(), info.isDir() ? QStringLiteral("a folder, compared with a file")
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
        FileChange change;
        change.file = newInfo.fileName();
        change.change = QStringLiteral("changed");
        compareRecords(before.records, after.records, &change);
        if (!change.records.isEmpty())
            changes << change;
    }

    if (parser.isSet(json)) {
        QJsonArray files;
        for (const FileChange &c : qAsConst(changes)) {
            QJsonObject o{{QStringLiteral("file"), c.file}, {QStringLiteral("change"), c.change}, {QStringLiteral("records"), c.records}};
            if (!c.problem.isEmpty())
                o.insert(QStringLiteral("problem"), c.problem);
            files.append(o);
        }
        out() << QJsonDocument(QJsonObject{{QStringLiteral("old"), oldPath}, {QStringLiteral("new"), newPath},
                                           {QStringLiteral("equal"), changes.isEmpty()}, {QStringLiteral("files"), files}})
                     .toJson();
    } else {
        out() << "--- " << oldPath << "\n+++ " << newPath << '\n';
        int records = 0;
        for (const FileChange &c : qAsConst(changes)) {
            records += c.records.size();
            out() << c.file;
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
