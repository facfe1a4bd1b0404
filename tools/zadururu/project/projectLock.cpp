#include "projectLock.h"

#include "projectJournal.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

double waitSeconds = 5.0;

QString systemError()
{
    return QString::fromLocal8Bit(strerror(errno));
}

// "process 1234 (zadururu rename-tag P --id 7 --to 70007)" for each other
// process that holds a lock on the folder open as @p fd, from the kernel's
// list of locks; the command line from /proc, where it can be read.
QStringList lockHolders(int fd)
{
    struct stat folder;
    if (::fstat(fd, &folder) != 0)
        return {};
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return {};
    QStringList holders;
    const QByteArray inode = ':' + QByteArray::number(qulonglong(folder.st_ino));
    // "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF"; waiting requests carry
    // "->" and are skipped. Overlay file systems report another device than
    // stat() does, so the inode alone is matched: another folder of the same
    // inode on another device is named at worst.
    for (const QByteArray &line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 6 || fields.at(1) != "FLOCK" || !fields.at(5).endsWith(inode))
            continue;
        const qint64 pid = fields.at(4).toLongLong();
        if (pid == ::getpid())
            continue;
        QString text = pid > 0 ? QStringLiteral("process %1").arg(pid) : QStringLiteral("a process of another namespace");
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (pid > 0 && cmdline.open(QIODevice::ReadOnly)) {
            QByteArray command = cmdline.read(400);
            command.replace('\0', ' ');
            if (!command.trimmed().isEmpty())
                text += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(command.trimmed()));
        }
        if (!holders.contains(text))
            holders << text;
    }
    return holders;
}

// Takes the lock @p operation (LOCK_SH or LOCK_EX) on @p fd, waiting until
// @p timer passes @p waitMs; says once on standard error whom it waits for.
bool takeLock(int fd, int operation, const QElapsedTimer &timer, qint64 waitMs, const QString &path, QString *error)
{
    bool announced = false;
    for (;;) {
        if (::flock(fd, operation | LOCK_NB) == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK) {
            *error = QStringLiteral("cannot be locked (%1)").arg(systemError());
            return false;
        }
        const bool late = timer.elapsed() >= waitMs;
        // Short waits pass without a word; a long one says why nothing happens.
        if (!late && (announced || timer.elapsed() < 1000)) {
            QThread::msleep(quint64(qBound<qint64>(1, waitMs - timer.elapsed(), 50)));
            continue;
        }
        const QStringList holders = lockHolders(fd);
        const QString who = holders.isEmpty() ? QStringLiteral("another run of zadururu") : holders.join(QStringLiteral(", "));
        if (late) {
            *error = QStringLiteral("%1 %2 using the project; waited %3 s for it (--wait SECONDS waits longer)")
                         .arg(who, holders.size() > 1 ? QStringLiteral("are") : QStringLiteral("is"))
                         .arg(waitMs / 1000.0);
            return false;
        }
        fprintf(stderr, "zadururu: %s: waiting for %s to finish with the project\n", qPrintable(path), qPrintable(who));
        announced = true;
        QThread::msleep(quint64(qBound<qint64>(1, waitMs - timer.elapsed(), 50)));
    }
}

} // namespace

double lockWaitSeconds()
{
    return waitSeconds;
}

void setLockWaitSeconds(double seconds)
{
    waitSeconds = seconds;
}

ProjectLock::ProjectLock(int fd, const QString &path, ProjectAccess access)
    : m_fd(fd)
    , m_path(path)
    , m_access(access)
{
}

ProjectLock::~ProjectLock()
{
    ::close(m_fd); // releases the lock
}

std::unique_ptr<ProjectLock> ProjectLock::acquire(const QString &folder, ProjectAccess access, QString *error)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        *error = errno == ENOENT || errno == ENOTDIR ? QStringLiteral("no such project folder")
                                                     : QStringLiteral("cannot be opened (%1)").arg(systemError());
        return nullptr;
    }
    std::unique_ptr<ProjectLock> lock(new ProjectLock(fd, folder, access));
    QElapsedTimer timer;
    timer.start();
    const qint64 waitMs = qint64(waitSeconds * 1000);
    int operation = access == ProjectAccess::Change ? LOCK_EX : LOCK_SH;
    bool stagingTried = false; // a staging folder a reader may not remove is read past
    for (;;) {
        if (!takeLock(fd, operation, timer, waitMs, folder, error))
            return nullptr;
        if (!hasInterruptedChange(fd, !stagingTried))
            return lock;
        // Only a run that holds the project alone may finish or undo a change;
        // a run that reads takes the exclusive lock for that moment.
        if (operation == LOCK_SH) {
            ::flock(fd, LOCK_UN);
            operation = LOCK_EX;
            continue;
        }
        if (!finishInterruptedChange(fd, folder, access == ProjectAccess::Read, error))
            return nullptr;
        stagingTried = access == ProjectAccess::Read;
        if (access == ProjectAccess::Change)
            return lock;
        // Not atomic: another run may change the project in between, and the
        // loop then looks at the project again.
        operation = LOCK_SH;
    }
}

QString projectFolderOf(const QString &filePath)
{
    const QDir folder = QFileInfo(filePath).absoluteDir();
    for (const QString &candidate : {folder.path(), QFileInfo(folder.path()).path()}) {
        const QDir dir(candidate);
        if (QFileInfo(dir.filePath(QStringLiteral("definitions.xml"))).isFile()
            || QFileInfo(dir.filePath(QStringLiteral("pages"))).isDir())
            return candidate;
    }
    return QString();
}

bool lockProjectOf(const QString &filePath, ProjectAccess access, std::unique_ptr<ProjectLock> *lock)
{
    const QString folder = projectFolderOf(filePath);
    lock->reset();
    if (folder.isEmpty())
        return true;
    QString error;
    *lock = ProjectLock::acquire(folder, access, &error);
    if (!*lock)
        fprintf(stderr, "zadururu: %s: %s\n", qPrintable(QDir::cleanPath(folder)), qPrintable(error));
    return *lock != nullptr;
}
