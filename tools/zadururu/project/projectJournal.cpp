#include "projectJournal.h"

#include "projectLock.h"

#include <QFile>
#include <QSet>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray stagingName = QByteArrayLiteral(".zadururu-journal.new");
const QByteArray journalName = QByteArrayLiteral(".zadururu-journal");
const QByteArray operationName = QByteArrayLiteral("operation");
const QByteArray filesName = QByteArrayLiteral("files");

QString systemError(int error = errno)
{
    return QString::fromLocal8Bit(strerror(error));
}

/// A file descriptor closed with its owner.
class Fd
{
public:
    explicit Fd(int fd = -1)
        : m_fd(fd)
    {
    }
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

int openFolderAt(int parent, const QByteArray &name)
{
    return ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Flushes a file or folder to the disk; a rename is only as durable as the
// folders that hold both names.
bool flush(int fd)
{
    return ::fsync(fd) == 0;
}

// What an entry is, never following a link.
QString kindOf(const struct stat &st)
{
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("a symbolic link");
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("a folder");
    if (S_ISREG(st.st_mode))
        return QStringLiteral("a file");
    return QStringLiteral("a special file");
}

/**
 * The regular files below the folder open as @p folder, by path relative to
 * it, in @p files; false, naming the first entry that is neither a folder
 * nor a regular file in @p problem (as a path below @p shownAs).
 */
bool listTree(int folder, const QByteArray &prefix, const QString &shownAs, QList<QByteArray> *files, QString *problem)
{
    const int copy = ::dup(folder);
    DIR *dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (!dir) {
        if (copy >= 0)
            ::close(copy);
        *problem = QStringLiteral("%1: cannot be read (%2)").arg(shownAs + QString::fromLocal8Bit(prefix), systemError());
        return false;
    }
    ::rewinddir(dir);
    QList<QByteArray> names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names << name;
    }
    ::closedir(dir);
    for (const QByteArray &name : qAsConst(names)) {
        const QString path = shownAs + QString::fromLocal8Bit(prefix + name);
        struct stat st;
        if (::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            *problem = QStringLiteral("%1: cannot be read (%2)").arg(path, systemError());
            return false;
        }
        if (S_ISREG(st.st_mode)) {
            *files << prefix + name;
        } else if (S_ISDIR(st.st_mode)) {
            const Fd sub(openFolderAt(folder, name));
            if (sub.get() < 0) {
                *problem = QStringLiteral("%1: cannot be opened (%2)").arg(path, systemError());
                return false;
            }
            if (!listTree(sub.get(), prefix + name + '/', shownAs, files, problem))
                return false;
        } else {
            *problem = QStringLiteral("%1 is %2, not a file the tool wrote").arg(path, kindOf(st));
            return false;
        }
    }
    return true;
}

// Removes the folder @p name of @p parent with everything in it, never following a link.
bool removeTree(int parent, const QByteArray &name)
{
    {
        const Fd folder(openFolderAt(parent, name));
        if (folder.get() < 0)
            return errno == ENOENT;
        const int copy = ::dup(folder.get());
        DIR *dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
        if (!dir) {
            if (copy >= 0)
                ::close(copy);
            return false;
        }
        QList<QByteArray> names;
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray entryName(entry->d_name);
            if (entryName != "." && entryName != "..")
                names << entryName;
        }
        ::closedir(dir);
        for (const QByteArray &entryName : qAsConst(names)) {
            struct stat st;
            if (::fstatat(folder.get(), entryName.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
                return false;
            const bool removed = S_ISDIR(st.st_mode) ? removeTree(folder.get(), entryName)
                                                     : ::unlinkat(folder.get(), entryName.constData(), 0) == 0;
            if (!removed)
                return false;
        }
    }
    return ::unlinkat(parent, name.constData(), AT_REMOVEDIR) == 0;
}

/**
 * Open folders below one root, by path relative to it, each reached from its
 * parent without following a link. A folder that is missing is created when
 * asked to.
 */
class Folders
{
public:
    explicit Folders(int root)
        : m_root(root)
    {
    }
    ~Folders()
    {
        for (int fd : qAsConst(m_open))
            ::close(fd);
    }
    Folders(const Folders &) = delete;
    Folders &operator=(const Folders &) = delete;

    /**
     * The folder @p relative ("pages", or empty for the root) open, or -1
     * with @p problem naming the part that is no real folder. With
     * @p missing given, a folder that does not exist is not created: -1,
     * with *missing true.
     */
    int open(const QByteArray &relative, bool *missing, QString *problem)
    {
        if (relative.isEmpty())
            return m_root;
        const auto found = m_open.constFind(relative);
        if (found != m_open.constEnd())
            return *found;
        const int slash = relative.lastIndexOf('/');
        const int parent = open(slash < 0 ? QByteArray() : relative.left(slash), missing, problem);
        if (parent < 0)
            return -1;
        const QByteArray name = relative.mid(slash + 1);
        struct stat st;
        if (::fstatat(parent, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) {
                *problem = QStringLiteral("%1: cannot be read (%2)").arg(QString::fromLocal8Bit(relative), systemError());
                return -1;
            }
            if (missing) {
                *missing = true;
                return -1;
            }
            if (::mkdirat(parent, name.constData(), 0777) != 0 && errno != EEXIST) {
                *problem = QStringLiteral("%1: cannot be created (%2)").arg(QString::fromLocal8Bit(relative), systemError());
                return -1;
            }
        } else if (!S_ISDIR(st.st_mode)) {
            *problem = QStringLiteral("%1 is %2, not a folder of the project").arg(QString::fromLocal8Bit(relative), kindOf(st));
            return -1;
        }
        const int fd = openFolderAt(parent, name);
        if (fd < 0) {
            *problem = QStringLiteral("%1: cannot be opened as a folder (%2)").arg(QString::fromLocal8Bit(relative), systemError());
            return -1;
        }
        m_open.insert(relative, fd);
        return fd;
    }

    /// Flushes every folder opened so far.
    bool flushAll() const
    {
        bool flushed = true;
        for (int fd : m_open)
            flushed = flush(fd) && flushed;
        return flushed;
    }

private:
    int m_root;
    QHash<QByteArray, int> m_open;
};

QByteArray folderOf(const QByteArray &relative)
{
    const int slash = relative.lastIndexOf('/');
    return slash < 0 ? QByteArray() : relative.left(slash);
}

QByteArray nameOf(const QByteArray &relative)
{
    return relative.mid(relative.lastIndexOf('/') + 1);
}

// A path below the project that the journal may replace: relative, without
// "." or ".." or empty parts, and outside the journal's own folders.
bool isProjectPath(const QByteArray &relative)
{
    const QList<QByteArray> parts = relative.split('/');
    for (const QByteArray &part : parts)
        if (part.isEmpty() || part == "." || part == "..")
            return false;
    return !parts.first().startsWith(journalName);
}

/**
 * Checks that the file @p relative of the project open in @p project can be
 * replaced: every folder on its way a real folder (missing ones are made
 * later), the file itself missing or a regular file. Its mode goes to @p mode
 * when it exists.
 */
bool checkTarget(Folders &project, const QByteArray &relative, mode_t *mode, QString *problem)
{
    if (!isProjectPath(relative)) {
        *problem = QStringLiteral("%1: not a file of the project").arg(QString::fromLocal8Bit(relative));
        return false;
    }
    bool missing = false;
    const int folder = project.open(folderOf(relative), &missing, problem);
    if (missing)
        return true;
    if (folder < 0)
        return false;
    struct stat st;
    if (::fstatat(folder, nameOf(relative).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISREG(st.st_mode)) {
        *problem = QStringLiteral("%1 is %2, not a file the tool may replace").arg(QString::fromLocal8Bit(relative), kindOf(st));
        return false;
    }
    if (mode)
        *mode = st.st_mode & 07777;
    return true;
}

/**
 * What the committed journal of @p project holds: its open "files" folder and
 * the files below it. False, changing nothing, when the journal or anything
 * in it is not what the tool writes, or an entry's place in the project
 * cannot take it.
 */
bool inspectJournal(int project, int *files, QList<QByteArray> *entries, QString *error)
{
    const Fd journal(openFolderAt(project, journalName));
    if (journal.get() < 0) {
        struct stat st;
        *error = ::fstatat(project, journalName.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode)
                     ? QStringLiteral("%1 is %2, not a journal the tool wrote; nothing was changed. Look at it and remove it by hand.")
                           .arg(QString::fromLocal8Bit(journalName), kindOf(st))
                     : QStringLiteral("%1: cannot be opened (%2)").arg(QString::fromLocal8Bit(journalName), systemError());
        return false;
    }
    Fd filesFolder(openFolderAt(journal.get(), filesName));
    if (filesFolder.get() < 0) {
        *error = QStringLiteral("%1/%2: not a real folder (%3); the journal was not written by the tool and nothing was "
                                "changed. Look at it and remove it by hand.")
                     .arg(QString::fromLocal8Bit(journalName), QString::fromLocal8Bit(filesName), systemError());
        return false;
    }
    QString problem;
    if (!listTree(filesFolder.get(), QByteArray(), QString::fromLocal8Bit(journalName + '/' + filesName + '/'), entries, &problem)) {
        *error = problem + QStringLiteral("; nothing was changed. Look at the journal and remove it by hand.");
        return false;
    }
    Folders targets(project);
    for (const QByteArray &entry : qAsConst(*entries))
        if (!checkTarget(targets, entry, nullptr, &problem)) {
            *error = QStringLiteral("the journal would replace %1 (%2); nothing was changed. Look at the journal and "
                                    "remove it by hand.")
                         .arg(QString::fromLocal8Bit(entry), problem);
            return false;
        }
    *files = filesFolder.release();
    return true;
}

// Moves every file of the committed journal of @p project over its project file, then removes the journal.
bool rollForward(int project, QString *error)
{
    int filesFd = -1;
    QList<QByteArray> entries;
    if (!inspectJournal(project, &filesFd, &entries, error))
        return false;
    const Fd files(filesFd);
    Folders sources(files.get());
    Folders targets(project);
    for (const QByteArray &entry : qAsConst(entries)) {
        QString problem;
        const int from = sources.open(folderOf(entry), nullptr, &problem);
        const int to = from < 0 ? -1 : targets.open(folderOf(entry), nullptr, &problem);
        if (to < 0) {
            *error = QStringLiteral("%1: cannot be put in place (%2)").arg(QString::fromLocal8Bit(entry), problem);
            return false;
        }
        const QByteArray name = nameOf(entry);
        if (::renameat(from, name.constData(), to, name.constData()) != 0) {
            *error = QStringLiteral("%1: cannot be put in place from %2 (%3)")
                         .arg(QString::fromLocal8Bit(entry), QString::fromLocal8Bit(journalName), systemError());
            return false;
        }
    }
    targets.flushAll();
    if (!removeTree(project, journalName)) {
        *error = QStringLiteral("%1: cannot be removed (%2)").arg(QString::fromLocal8Bit(journalName), systemError());
        return false;
    }
    flush(project);
    return true;
}

// For the tests of a full disk: the Nth staged file is cut short after it is
// written, as a disk that fills up leaves a file whose writer did not notice.
bool cutShortForTest(int staged)
{
    static const int cut = qEnvironmentVariableIntValue("ZADURURU_SIMULATE_FULL_DISK");
    return cut > 0 && staged == cut;
}

bool writeAllAt(int fd, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

bool readBack(int folder, const QByteArray &name, const QByteArray &expected)
{
    const Fd fd(::openat(folder, name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0)
        return false;
    QByteArray bytes(expected.size() + 1, Qt::Uninitialized);
    qint64 done = 0;
    for (;;) {
        const ssize_t got = ::read(fd.get(), bytes.data() + done, size_t(bytes.size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0 || (done += got) == bytes.size())
            break;
    }
    return done == expected.size() && std::memcmp(bytes.constData(), expected.constData(), size_t(done)) == 0;
}

qint64 changeTime(const struct stat &st)
{
    return qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
}

} // namespace

ProjectTransaction::ProjectTransaction(const ProjectLock &lock, const QString &description)
    : m_project(lock.folder())
    , m_description(description)
{
}

ProjectTransaction::~ProjectTransaction()
{
    for (int fd : qAsConst(m_folders))
        ::close(fd);
    // What was staged goes, unless another program put something else there.
    struct stat ours, named;
    if (m_started && !m_committed && ::fstat(m_staging, &ours) == 0
        && ::fstatat(m_project, stagingName.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0
        && ours.st_dev == named.st_dev && ours.st_ino == named.st_ino)
        removeTree(m_project, stagingName);
    if (m_files >= 0)
        ::close(m_files);
    if (m_staging >= 0)
        ::close(m_staging);
}

bool ProjectTransaction::start(QString *error)
{
    m_started = true;
    // The lock was taken after any staging folder of a killed run was removed.
    if (::mkdirat(m_project, stagingName.constData(), 0777) != 0
        || (m_staging = openFolderAt(m_project, stagingName)) < 0
        || ::mkdirat(m_staging, filesName.constData(), 0777) != 0
        || (m_files = openFolderAt(m_staging, filesName)) < 0) {
        *error = QStringLiteral("%1: cannot be created (%2)").arg(QString::fromLocal8Bit(stagingName), systemError());
        return false;
    }
    return true;
}

bool ProjectTransaction::stage(const QString &relative, const QByteArray &bytes, QString *error)
{
    const QByteArray path = QFile::encodeName(relative);
    mode_t mode = 0666;
    QString problem;
    {
        Folders project(m_project);
        if (!checkTarget(project, path, &mode, &problem)) {
            *error = QStringLiteral("%1 cannot be replaced: %2").arg(relative, problem);
            return false;
        }
    }
    if (!m_started && !start(error))
        return false;

    const QByteArray folderPath = folderOf(path);
    int folder = m_files;
    if (!folderPath.isEmpty()) {
        folder = m_folders.value(QString::fromLocal8Bit(folderPath), -1);
        if (folder < 0) {
            // Folders below "files" are made one by one, as the staging area is the tool's own.
            int parent = m_files;
            QByteArray done;
            for (const QByteArray &part : folderPath.split('/')) {
                done += (done.isEmpty() ? QByteArray() : QByteArray("/")) + part;
                int next = m_folders.value(QString::fromLocal8Bit(done), -1);
                if (next < 0) {
                    if ((::mkdirat(parent, part.constData(), 0777) != 0 && errno != EEXIST)
                        || (next = openFolderAt(parent, part)) < 0) {
                        *error = QStringLiteral("%1: its folder cannot be staged (%2)").arg(relative, systemError());
                        return false;
                    }
                    m_folders.insert(QString::fromLocal8Bit(done), next);
                }
                parent = next;
            }
            folder = parent;
        }
    }
    const QByteArray name = nameOf(path);
    const Fd file(::openat(folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (file.get() < 0 || ::fchmod(file.get(), mode) != 0 || !writeAllAt(file.get(), bytes)) {
        *error = QStringLiteral("%1: its new version cannot be written (%2)").arg(relative, systemError());
        return false;
    }
    if (cutShortForTest(m_staged.size() + 1) && ::ftruncate(file.get(), bytes.size() / 2) != 0)
        return false;
    struct stat st;
    if (!flush(file.get()) || !readBack(folder, name, bytes) || ::fstat(file.get(), &st) != 0) {
        *error = relative + QStringLiteral(": its new version did not reach the disk whole (is the disk full?)");
        return false;
    }
    m_staged.append({relative, st.st_dev, st.st_ino, st.st_size, changeTime(st)});
    return true;
}

bool ProjectTransaction::unchangedSinceStaged(QString *error) const
{
    *error = QStringLiteral("%1: changed by another program while the change was prepared")
                 .arg(QString::fromLocal8Bit(stagingName));
    struct stat ours, named;
    if (::fstat(m_staging, &ours) != 0 || ::fstatat(m_project, stagingName.constData(), &named, AT_SYMLINK_NOFOLLOW) != 0
        || ours.st_dev != named.st_dev || ours.st_ino != named.st_ino)
        return false;
    QList<QByteArray> present;
    QString problem;
    if (!listTree(m_files, QByteArray(), QString(), &present, &problem) || present.size() != m_staged.size())
        return false;
    for (const Staged &staged : m_staged) {
        const QByteArray path = QFile::encodeName(staged.relative);
        const QByteArray folderPath = folderOf(path);
        const int folder = folderPath.isEmpty() ? m_files : m_folders.value(QString::fromLocal8Bit(folderPath), -1);
        struct stat st;
        if (folder < 0 || ::fstatat(folder, nameOf(path).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0
            || !S_ISREG(st.st_mode) || st.st_dev != staged.device || st.st_ino != staged.inode
            || st.st_size != staged.size || changeTime(st) != staged.changedNs)
            return false;
    }
    return true;
}

bool ProjectTransaction::commit(QString *error)
{
    if (!m_started) {
        *error = QStringLiteral("nothing was staged");
        return false;
    }
    QStringList list;
    for (const Staged &staged : qAsConst(m_staged))
        list << staged.relative;
    const QByteArray text = (m_description + QLatin1Char('\n') + list.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    {
        const Fd operation(::openat(m_staging, operationName.constData(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (operation.get() < 0 || !writeAllAt(operation.get(), text) || !flush(operation.get())) {
            *error = QStringLiteral("%1/%2: cannot be written (is the disk full?)")
                         .arg(QString::fromLocal8Bit(stagingName), QString::fromLocal8Bit(operationName));
            return false;
        }
    }
    bool flushed = flush(m_files) && flush(m_staging);
    for (int fd : qAsConst(m_folders))
        flushed = flush(fd) && flushed;
    if (!flushed) {
        *error = QStringLiteral("%1: cannot be flushed to the disk").arg(QString::fromLocal8Bit(stagingName));
        return false;
    }
    // For the tests of a staging area changed under a run: the run stops here until it is continued.
    if (qEnvironmentVariableIsSet("ZADURURU_STOP_BEFORE_COMMIT"))
        ::raise(SIGSTOP);
    if (!unchangedSinceStaged(error))
        return false;
    if (::renameat(m_project, stagingName.constData(), m_project, journalName.constData()) != 0) {
        *error = QStringLiteral("%1: cannot be created (%2)").arg(QString::fromLocal8Bit(journalName), systemError());
        return false;
    }
    m_committed = true;
    flush(m_project);
    if (rollForward(m_project, error))
        return true;
    *error += QStringLiteral("; the next run of zadururu on the project finishes the change");
    return false;
}

bool hasInterruptedChange(int project, bool staging)
{
    struct stat st;
    return (staging && ::fstatat(project, stagingName.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
           || ::fstatat(project, journalName.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

bool finishInterruptedChange(int project, const QString &path, bool readOnly, QString *error)
{
    struct stat st;
    const bool staging = ::fstatat(project, stagingName.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    if (staging) {
        // Everything is looked at before anything is removed.
        const Fd folder(S_ISDIR(st.st_mode) ? openFolderAt(project, stagingName) : -1);
        QList<QByteArray> files;
        QString problem = QStringLiteral("%1 is %2, not a staging folder the tool made")
                              .arg(QString::fromLocal8Bit(stagingName), kindOf(st));
        if (folder.get() < 0
            || !listTree(folder.get(), QByteArray(), QString::fromLocal8Bit(stagingName + '/'), &files, &problem)) {
            *error = problem + QStringLiteral("; nothing was changed. Look at it and remove it by hand.");
            return false;
        }
    }
    const bool journal = ::fstatat(project, journalName.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    QString what = QStringLiteral("a change");
    if (journal) {
        int files = -1;
        QList<QByteArray> entries;
        if (!inspectJournal(project, &files, &entries, error))
            return false;
        ::close(files);
        const Fd folder(openFolderAt(project, journalName));
        const Fd operation(::openat(folder.get(), operationName.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        QFile file;
        if (operation.get() >= 0 && ::fstat(operation.get(), &st) == 0 && S_ISREG(st.st_mode)
            && file.open(operation.get(), QIODevice::ReadOnly))
            what = QString::fromUtf8(file.readLine(1024)).trimmed();
    }
    if (staging) {
        if (!removeTree(project, stagingName)) {
            const int reason = errno;
            if (readOnly && !journal && (reason == EACCES || reason == EPERM || reason == EROFS)) {
                fprintf(stderr, "zadururu: %s: %s, a change that a killed run had not made yet, cannot be removed "
                                "(%s); the project is read as it is\n",
                        qPrintable(path), stagingName.constData(), qPrintable(systemError(reason)));
                return true;
            }
            *error = QStringLiteral("%1: a change that was cut short cannot be removed (%2)")
                         .arg(QString::fromLocal8Bit(stagingName), systemError(reason));
            return false;
        }
        flush(project);
        fprintf(stderr, "zadururu: %s: removed %s, a change that a killed run had not made yet\n", qPrintable(path),
                stagingName.constData());
    }
    if (journal) {
        if (!rollForward(project, error))
            return false;
        fprintf(stderr, "zadururu: %s: finished an interrupted change: %s\n", qPrintable(path), qPrintable(what));
    }
    return true;
}
