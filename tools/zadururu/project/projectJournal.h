#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <sys/types.h>

class ProjectLock;

/**
 * Replaces files of a project all together or not at all, across a kill of
 * the process at any moment and a disk that fills up.
 *
 * The new versions are first written whole into a staging folder inside the
 * project (".zadururu-journal.new"), read back and flushed to the disk. The
 * staging folder is then renamed to ".zadururu-journal": that one rename is
 * the moment the change happens. Each staged file is then renamed over the
 * file it replaces, and the journal removed. Whoever takes the project's lock
 * next (see projectLock.h) removes a staging folder that was never committed
 * and finishes the moves of a committed journal, so the project is seen
 * either wholly as it was or wholly changed.
 *
 * Every step works from the open project folder and never follows a symbolic
 * link: the staging folder, the journal and every folder within them must be
 * real folders, every entry a regular file, and every file put in place must
 * land in a real folder of the project. Anything else is refused before
 * anything is changed, so that files planted in a project (a journal that
 * links to another folder, say) cannot make the tool touch files outside it.
 */
class ProjectTransaction
{
public:
    /// A change of the project that @p lock holds for a change; @p description says what it is, for the note of a run that finishes it.
    ProjectTransaction(const ProjectLock &lock, const QString &description);
    /// Removes what was staged, unless commit() succeeded.
    ~ProjectTransaction();
    ProjectTransaction(const ProjectTransaction &) = delete;
    ProjectTransaction &operator=(const ProjectTransaction &) = delete;

    /**
     * Stages @p bytes as the new content of the project file @p relative
     * ("pages/a.xml"), with the permissions of the file it replaces. False,
     * with the reason in @p error, when the file cannot be replaced (its
     * folder is a link, it is not a regular file) or its new version does
     * not reach the disk whole.
     */
    bool stage(const QString &relative, const QByteArray &bytes, QString *error);

    /**
     * Puts every staged file in place. False, with the project unchanged,
     * when that cannot begin, also when the staged files were changed by
     * another program since they were written.
     */
    bool commit(QString *error);

    /// Whether the change has happened: after that, a failure leaves it for the next run to finish.
    bool committed() const { return m_committed; }

private:
    struct Staged
    {
        QString relative;
        dev_t device;
        ino_t inode;
        off_t size;
        qint64 changedNs; ///< the inode's change time, which no program can set back
    };

    bool start(QString *error);
    bool unchangedSinceStaged(QString *error) const;

    int m_project;
    QString m_description;
    int m_staging = -1;
    int m_files = -1;
    QHash<QString, int> m_folders; ///< open folders of the staging area, by path below "files"
    QList<Staged> m_staged;
    bool m_started = false;
    bool m_committed = false;
};

/**
 * Whether the project open as @p project holds a journal, or (with
 * @p staging) a staging folder: of any kind, links included.
 */
bool hasInterruptedChange(int project, bool staging = true);

/**
 * Removes a staging folder that a killed run left in the project open as
 * @p project, and finishes the moves of a committed journal, each with a
 * note on standard error naming @p path. False, with the reason in @p error
 * and nothing changed, when either is not what the tool writes (a link, a
 * folder holding something other than folders and regular files, an entry
 * whose place in the project lies under a link); false too when the project
 * cannot be brought to one whole state (a read-only folder, for instance).
 * A staging folder that cannot be removed only for want of permission is
 * left, with a note, when @p readOnly: the project is whole without it.
 * The caller holds the project's exclusive lock.
 */
bool finishInterruptedChange(int project, const QString &path, bool readOnly, QString *error);
