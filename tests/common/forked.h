#pragma once

// Runs part of a test in a forked child: one that may hang, run out of
// memory or drop its privileges without taking the test down with it.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>

#include <cstdlib>
#include <csignal>
#include <cstdio>
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

/**
 * Runs @p body in a forked child, which is killed after @p seconds, and
 * returns what it returned: an empty string when all went well, else what
 * went wrong (printed by the child too). A child that crashed, aborted or
 * hung gives a text that says so.
 */
inline QString inForkedChild(const std::function<QString()> &body, unsigned seconds = 30)
{
    std::fflush(nullptr);
    int pipe[2];
    if (::pipe(pipe) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = fork();
    if (child == 0) {
        ::close(pipe[0]);
        // A crash ends the child at once, without the test framework's report.
        for (const int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
            std::signal(signal, SIG_DFL);
        alarm(seconds);
        const QByteArray problem = body().toUtf8();
        if (!problem.isEmpty() && ::write(pipe[1], problem.constData(), size_t(problem.size())) < 0)
            _exit(2);
        _exit(problem.isEmpty() ? 0 : 1);
    }
    ::close(pipe[1]);
    QByteArray problem;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        problem.append(buffer, int(got));
    ::close(pipe[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status))
        return QStringLiteral("the child ended by signal %1 (%2)").arg(WTERMSIG(status)).arg(WTERMSIG(status) == SIGALRM ? "it hung" : "it crashed or aborted");
    if (WEXITSTATUS(status) != 0 && problem.isEmpty())
        return QStringLiteral("the child exited with %1").arg(WEXITSTATUS(status));
    return QString::fromUtf8(problem);
}

/// Whether the process runs as root, so that a test must drop to "nobody" to meet what an ordinary user meets.
inline bool runsAsRoot()
{
    return geteuid() == 0;
}

/// In a forked child: becomes the user "nobody" when running as root; false when that fails.
inline bool becomeNobody()
{
    if (!runsAsRoot())
        return true;
    const passwd *nobody = getpwnam("nobody");
    return nobody && setgroups(0, nullptr) == 0 && setgid(nobody->pw_gid) == 0 && setuid(nobody->pw_uid) == 0;
}

/**
 * In a forked child: the address space it uses now plus @p headroom becomes
 * its limit; false when that fails. Memory that the heap keeps from earlier
 * frees lies within what is used already; it is taken first, so that the
 * headroom is all that is left.
 */
inline bool limitAddressSpace(qint64 headroom)
{
    for (void *const end = sbrk(0); sbrk(0) == end;) {
        if (!malloc(64 << 10))
            return false;
    }
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return false;
    const qint64 pages = statm.readAll().split(' ').value(0).toLongLong();
    const rlimit limit{rlim_t(pages * sysconf(_SC_PAGESIZE) + headroom), rlim_t(pages * sysconf(_SC_PAGESIZE) + headroom)};
    return pages > 0 && setrlimit(RLIMIT_AS, &limit) == 0;
}
