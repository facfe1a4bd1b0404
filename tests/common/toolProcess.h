#pragma once

// Runs the command-line tool as a process and looks at the folders it works on.

#include "files.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <unistd.h>

struct ToolRun
{
    int exitCode = -1; ///< -1 when the tool crashed or hung
    QString out;
    QString err;
};

inline ToolRun runTool(const QString &program, const QStringList &arguments,
                       const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                       const QString &workingDirectory = QString())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForFinished(60000))
        return run; // QProcess kills the process as it goes
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

/// The environment of this process with @p variable set to @p value.
inline QProcessEnvironment environmentWith(const QString &variable, const QString &value)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(variable, value);
    return environment;
}

/// Lets other users into @p folder to read, not to write: what an ordinary user meets.
inline bool openToOthers(const QString &folder)
{
    return QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
}

/// Every file below @p folder, hidden ones included, by path relative to it.
inline QMap<QString, QByteArray> folderContents(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), readAll(path));
    }
    return files;
}

/// Copies every file below @p from to the same place below @p to; false when one cannot be.
inline bool copyFolder(const QString &from, const QString &to)
{
    for (auto it = QDirIterator(from, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString target = QDir(to).filePath(QDir(from).relativeFilePath(it.next()));
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(it.filePath(), target))
            return false;
    }
    return true;
}

/// The JSON object that a run printed.
inline QJsonObject jsonOf(const ToolRun &run)
{
    return QJsonDocument::fromJson(run.out.toUtf8()).object();
}

/// The "id" of each object of @p objects.
inline QList<int> ids(const QJsonArray &objects)
{
    QList<int> list;
    for (const QJsonValue &object : objects)
        list << object.toObject().value("id").toInt();
    return list;
}

#if defined(ZADURURU_TOOL) && defined(EXAMPLES_DIR)
/// Runs the tool of this build.
inline ToolRun tool(const QStringList &arguments)
{
    return runTool(QStringLiteral(ZADURURU_TOOL), arguments);
}

/// Runs the tool of this build with @p variable set to @p value.
inline ToolRun toolWith(const QString &variable, const QString &value, const QStringList &arguments)
{
    return runTool(QStringLiteral(ZADURURU_TOOL), arguments, environmentWith(variable, value));
}

/// Runs the tool of this build in @p folder.
inline ToolRun toolIn(const QString &folder, const QStringList &arguments)
{
    return runTool(QStringLiteral(ZADURURU_TOOL), arguments, QProcessEnvironment::systemEnvironment(), folder);
}

/// Runs the tool as an ordinary user ("nobody" when the tests run as root),
/// after the shell commands @p setup (such as a ulimit).
inline ToolRun toolAsUser(const QStringList &arguments, const QString &setup = QString())
{
    QStringList command{QStringLiteral("/bin/sh"), QStringLiteral("-c"), setup + QStringLiteral(" exec \"$@\""),
                        QStringLiteral("sh"), QStringLiteral(ZADURURU_TOOL)};
    if (geteuid() == 0)
        command = QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                              QStringLiteral("--clear-groups")} + command;
    return runTool(command.takeFirst(), command + arguments);
}

/// A path below the example projects.
inline QString example(const QString &relative)
{
    return QStringLiteral(EXAMPLES_DIR "/") + relative;
}

/// A copy of an example project in @p folder; "broken-readable" is the broken one without its cut-off page.
inline QString projectCopy(const QString &folder, const QString &name)
{
    const QString path = QDir(folder).filePath(name);
    copyFolder(example(name == "broken-readable" ? "broken" : name), path);
    if (name == "broken-readable")
        QFile::remove(path + "/pages/half-download.xml");
    return path;
}

/// A copy of the plant example in @p folder whose pages are 50 copies of two of
/// its pages, p01.xml to p50.xml (a rename changes 51 files); empty when it cannot be made.
inline QString manyPagesCopy(const QString &folder)
{
    const QString project = QDir(folder).filePath(QStringLiteral("plant"));
    bool made = copyFolder(example(QStringLiteral("plant")), project);
    for (const char *name : {"overview", "pumpstation", "tankfarm"})
        made = made && QFile::remove(project + "/pages/" + name + ".xml");
    for (int page = 1; page <= 50; ++page)
        made = made && QFile::copy(example(page % 2 ? "plant/pages/tankfarm.xml" : "plant/pages/overview.xml"),
                                   project + QStringLiteral("/pages/p%1.xml").arg(page, 2, 10, QLatin1Char('0')));
    return made ? project : QString();
}
#endif
