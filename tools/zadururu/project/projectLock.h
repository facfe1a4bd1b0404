#pragma once

#include <QString>

#include <memory>

/// What a command does with a project: reads it, or changes its files.
enum class ProjectAccess { Read, Change };

/**
 * One run of the tool at a time changes a project; any number read it while
 * none changes it.
 *
 * The lock is the operating system's lock on the project folder itself
 * (flock(2)): shared for a run that reads, exclusive for one that changes
 * files. It needs no file of its own, so a read-only project can still be
 * read, and it ends with the process, however that ends: a killed run leaves
 * no stale lock behind. A run that finds the project locked the other way
 * waits up to lockWaitSeconds() and then gives up, naming the other run.
 *
 * Taking the lock also brings a change that a killed run left behind to an
 * end (see projectJournal.h), under the exclusive lock and with a note on
 * standard error, so that whoever holds a lock sees the project wholly as it
 * was or wholly changed.
 *
 * The lock binds the tool only: the editor, or a host plugin saving through
 * the library, does not take it.
 */
class ProjectLock
{
public:
    /**
     * Opens the project folder @p folder, takes its lock for @p access and
     * finishes or removes an interrupted change. Null, with the reason in
     * @p error, when the folder cannot be opened, another run holds the lock
     * for longer than lockWaitSeconds(), or an interrupted change cannot be
     * dealt with.
     */
    static std::unique_ptr<ProjectLock> acquire(const QString &folder, ProjectAccess access, QString *error);

    ~ProjectLock();
    ProjectLock(const ProjectLock &) = delete;
    ProjectLock &operator=(const ProjectLock &) = delete;

    /// The open project folder, for the *at() calls that must not leave it.
    int folder() const { return m_fd; }
    /// The folder as the user gave it, for messages.
    const QString &path() const { return m_path; }
    ProjectAccess access() const { return m_access; }

private:
    ProjectLock(int fd, const QString &path, ProjectAccess access);

    int m_fd;
    QString m_path;
    ProjectAccess m_access;
};

/// How long a run waits for another run's lock, in seconds (--wait).
double lockWaitSeconds();
void setLockWaitSeconds(double seconds);

/**
 * The project folder that the file at @p filePath lies in: the folder that
 * holds it or that folder's parent, the first of the two that holds a
 * "definitions.xml" file or a "pages" folder. Empty when neither does, so
 * that a file outside any project is worked on without a lock.
 */
QString projectFolderOf(const QString &filePath);

/**
 * Locks the project that @p filePath lies in, if any (see projectFolderOf()).
 * True with @p lock null when the file lies in no project; false, with the
 * reason on standard error, when the project cannot be locked.
 */
bool lockProjectOf(const QString &filePath, ProjectAccess access, std::unique_ptr<ProjectLock> *lock);
