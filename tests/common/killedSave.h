#pragma once

// Kills a process in the middle of saves and looks at what is left.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

#include <functional>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

struct KilledSaveResult
{
    int rounds = 0;
    int survived = 0;  ///< rounds after which the target held one whole version
    QString failure;   ///< what the first failing round found
};

/**
 * Forks a child that saves the large and the small version of a file to
 * @p path alternately, for ever, and kills it with SIGKILL after a delay that
 * grows with each of @p rounds rounds (so that the kills fall at different
 * points of the saves). After each kill the target must hold exactly the
 * bytes of one version, @p largeBytes or @p smallBytes.
 */
inline KilledSaveResult killDuringSaves(const QString &path, const std::function<void()> &saveLarge,
                                        const std::function<void()> &saveSmall, const QByteArray &largeBytes,
                                        const QByteArray &smallBytes, int rounds = 12)
{
    KilledSaveResult result;
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
        ++result.rounds;
        QFile file(path);
        const QByteArray now = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (now == largeBytes || now == smallBytes)
            ++result.survived;
        else if (result.failure.isEmpty())
            result.failure = QStringLiteral("round %1: %2 bytes, neither version").arg(round).arg(now.size());
    }
    return result;
}
