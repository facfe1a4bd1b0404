#pragma once

// Kills a process in the middle of saves and looks at what is left.

#include "files.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QTest>

#include <functional>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

/**
 * What is wrong with the saves of a writer to @p path, or an empty string.
 * Both versions are saved once to learn their bytes (the large one must be
 * at least @p minLargeBytes, so that kills fall inside it). Then, @p rounds
 * times, a forked child saves the large and the small version alternately
 * for ever and is killed with SIGKILL after a delay that grows each round, so
 * that the kills fall at different points of the saves; the target must then
 * hold exactly one version. Last, with what the killed saves left beside the
 * target removed, a completed save must leave the target alone in its folder.
 */
inline QString killedSaveProblem(const QString &path, const std::function<bool()> &saveLarge,
                                 const std::function<bool()> &saveSmall, int minLargeBytes, int rounds = 12)
{
    if (!saveLarge())
        return QStringLiteral("the large version was not saved");
    const QByteArray largeBytes = readAll(path);
    if (!saveSmall())
        return QStringLiteral("the small version was not saved");
    const QByteArray smallBytes = readAll(path);
    if (largeBytes.size() < minLargeBytes)
        return QStringLiteral("the large version has only %1 bytes").arg(largeBytes.size());

    for (int round = 0; round < rounds; ++round) {
        const pid_t child = fork();
        if (child == 0) {
            for (;;) {
                saveLarge();
                saveSmall();
            }
        }
        QTest::qSleep(3 + 7 * round);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const QByteArray now = readAll(path);
        if (now != largeBytes && now != smallBytes)
            return QStringLiteral("round %1: %2 bytes, neither version").arg(round).arg(now.size());
    }

    QDir dir = QFileInfo(path).dir();
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden))
        if (dir.filePath(name) != path)
            dir.remove(name);
    if (!saveSmall())
        return QStringLiteral("the completed save failed");
    const QStringList left = dir.entryList(QDir::Files | QDir::Hidden);
    if (left != QStringList{QFileInfo(path).fileName()})
        return QStringLiteral("a completed save left: ") + left.join(QLatin1String(", "));
    return QString();
}
