#pragma once

#include "cli/commandLine.h"
#include "project/projectLock.h"

#include <zadururu/definitions/fileDataTree.h>

#include <QString>

#include <memory>

/**
 * A definitions file as the commands that read and change it (export,
 * import, import-csv) see it: by itself, or as a file of the project folder
 * it lies in (see projectFolderOf()). A file in a project is read and
 * written under the project's lock and written through its journal; any
 * other file is written by the library's writer, which replaces it whole or
 * not at all.
 */
class DefinitionsFile
{
public:
    DefinitionsFile() = default;
    DefinitionsFile(const DefinitionsFile &) = delete;
    DefinitionsFile &operator=(const DefinitionsFile &) = delete;

    /**
     * Reads the definitions file at @p path, after locking the project it
     * lies in for @p access. A file that is not well-formed XML or not a
     * definitions file is refused: the loader would read it as empty, and
     * writing that back would lose it. With @p mayBeMissing, a file that
     * does not exist reads as one without records. False, with the reason on
     * standard error, when the file cannot be read or its project locked.
     */
    bool open(const QString &path, ProjectAccess access, bool mayBeMissing);

    FileDataTree &tree() const { return *m_tree; }
    /// The file as reports name it: relative to the project folder in a project, the path as given otherwise.
    QString name() const { return m_lock ? m_relative : m_path; }

    /**
     * Writes the tree back in the canonical form of the library's writer;
     * the file must have been opened for ProjectAccess::Change. @p description
     * says what the change is, for the journal. False, with the reason in
     * @p error, when the file could not be written; unless the journal
     * committed the change, the file is then as it was.
     */
    bool write(const QString &description, QString *error);

private:
    QString m_path;
    QString m_relative;
    std::unique_ptr<ProjectLock> m_lock;
    TreePointer m_tree{nullptr, destroyFileDataTree};
};
