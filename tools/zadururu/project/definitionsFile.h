#pragma once

#include "cli/commandLine.h"

#include <zadururu/definitions/fileDataTree.h>

#include <QDir>
#include <QString>



/**
 * A definitions file as the commands that read and change it (export,
 * import, import-csv) see it: by itself, or as the definitions of the
 * project folder it lies in ("definitions.xml" beside a "pages" folder).
 * A file in a project is read after an interrupted change of the project
 * is finished, and written through the project's journal; any other file is
 * written by the library's writer, which replaces it whole or not at all.
 */
class DefinitionsFile
{
public:
    DefinitionsFile() = default;
    DefinitionsFile(const DefinitionsFile &) = delete;
    DefinitionsFile &operator=(const DefinitionsFile &) = delete;

    /**
     * Reads the definitions file at @p path. A file that is not well-formed
     * XML or not a definitions file is refused: the loader would read it as
     * empty, and writing that back would lose it. With @p mayBeMissing, a
     * file that does not exist reads as one without records. False, with
     * the reason on standard error, when the file cannot be read.
     */
    bool open(const QString &path, bool mayBeMissing);

    FileDataTree &tree() const { return *m_tree; }
    /// The file as reports name it: "definitions.xml" in a project, the path as given otherwise.
    QString name() const { return m_inProject ? QStringLiteral("definitions.xml") : m_path; }
    bool inProject() const { return m_inProject; }

    /**
     * Writes the tree back in the canonical form of the library's writer.
     * @p description says what the change is, for the journal. False, with
     * the reason in @p error, when the file could not be written; unless
     * the journal committed the change, the file is then as it was.
     */
    bool write(const QString &description, QString *error);

private:
    QString m_path;
    QDir m_project;
    bool m_inProject = false;
    TreePointer m_tree{nullptr, destroyFileDataTree};
};
