#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

#include <functional>

/**
 * Replaces files of a project all together or not at all, across a kill of
 * the process at any moment and a disk that fills up.
 *
 * The new versions are first written whole into a staging folder inside the
 * project (".zadururu-journal.new"), read back and flushed to the disk. The
 * staging folder is then renamed to ".zadururu-journal": that one rename is
 * the moment the change happens. Each staged file is then renamed over the
 * file it replaces, and the journal removed. Whoever opens the project next
 * (every command of the tool that reads a project calls
 * finishInterruptedRename() first) removes a staging folder that was never
 * committed and finishes the moves of a committed journal, so the project is
 * seen either wholly as it was or wholly changed.
 */
class ProjectTransaction
{
public:
    /// @p description says what the change is, for the note of a run that finishes it.
    ProjectTransaction(const QDir &project, const QString &description);
    /// Removes what was staged, unless commit() succeeded.
    ~ProjectTransaction();
    ProjectTransaction(const ProjectTransaction &) = delete;
    ProjectTransaction &operator=(const ProjectTransaction &) = delete;

    /**
     * Stages the new version of the project file @p relative ("pages/a.xml"):
     * @p write writes it to the path it is given, which is in a folder of its
     * own. The file must then read back as well-formed XML. False, with the
     * reason in @p error, when any of that fails.
     */
    bool stage(const QString &relative, const std::function<bool(const QString &path)> &write, QString *error);

    /// Puts every staged file in place; false, with the project unchanged, when that cannot begin.
    bool commit(QString *error);

    /// Whether the change has happened: after that, a failure leaves it for the next run to finish.
    bool committed() const { return m_committed; }

private:
    QDir m_project;
    QString m_description;
    QStringList m_staged;
    bool m_started = false;
    bool m_committed = false;
};

/**
 * Finishes or undoes a change of @p project that a killed run of the tool
 * left behind (see ProjectTransaction), with a note on standard error when
 * there was one. False, with the reason in @p error, when the project cannot
 * be brought to one whole state (a read-only folder, for instance).
 */
bool finishInterruptedRename(const QDir &project, QString *error);
