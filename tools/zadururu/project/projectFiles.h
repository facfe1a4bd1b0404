#pragma once

#include <zadururu/definitions/fileDataTree.h>

#include <QDir>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>

class ProjectLock;
class ScaFileData;

/// One problem found in a project: where, in which record, and what is wrong.
struct Problem
{
    QString file;    ///< relative to the project folder; "project" for problems across files
    QString record;  ///< the record concerned, empty for the file as a whole
    QString message;
};

/// A scene page of a project, loaded.
struct ProjectPage
{
    QString file; ///< "pages/<name>"
    ScaFileData *data;
};

/**
 * The pages and the definitions of a project folder, read as the commands
 * that work on a whole project need them: every page file (pages/NAME.xml) in name order
 * and "definitions.xml". Files that cannot be read, are not well-formed or
 * are not of their kind are left out and named in problems; a missing or
 * unreadable definitions file leaves definitions null. The files are read
 * under the project's lock (see projectLock.h), which is held as long as the
 * object lives.
 */
class ProjectFiles
{
public:
    /// Reads the project that @p lock holds.
    explicit ProjectFiles(std::unique_ptr<ProjectLock> lock);
    ~ProjectFiles();
    ProjectFiles(const ProjectFiles &) = delete;
    ProjectFiles &operator=(const ProjectFiles &) = delete;

    /// The definitions' tag with @p id, or null.
    const pEtiketDef_t *tag(int id) const;

    QDir dir;
    QList<ProjectPage> pages;
    std::unique_ptr<FileDataTree, void (*)(FileDataTree *)> definitions{nullptr, destroyFileDataTree};
    QList<Problem> problems;
    std::unique_ptr<ProjectLock> lock;

private:
    mutable QHash<int, const pEtiketDef_t *> m_tags;
};

/// The scene page files of @p project ("pages/NAME.xml"), in name order.
QStringList projectPageFiles(const QDir &project);

/// Whether @p bytes are well-formed XML, with the name of their document element in @p root; when not, a problem of @p relative names the parser's line and column.
bool checkWellFormed(const QString &relative, const QByteArray &bytes, QList<Problem> &problems, QString *root = nullptr);

/// The bytes of @p file; a null array, with the reason, when it cannot be read.
QByteArray readProjectFile(const QString &path, const QString &relative, QList<Problem> &problems);
