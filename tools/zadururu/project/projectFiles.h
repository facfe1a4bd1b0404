#pragma once

#include "finding.h"

#include <zadururu/definitions/fileDataTree.h>

#include <QDir>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class ProjectLock;
class ScaFileData;

/// A scene page of a project, loaded.
struct ProjectPage
{
    QString file; ///< "pages/<name>"
    ScaFileData *data;
};

/// What a command sees of a project's files as they are read (all optional).
struct ProjectReadHooks
{
    /// Each page and the definitions file that loaded, with its bytes, as read.
    std::function<void(const QString &relative, const QByteArray &bytes)> fileRead;
    /// After each page file, read or not: how many of how many.
    std::function<void(int done, int total)> pageRead;
};

/**
 * The pages and the definitions of a project folder, read as the commands
 * that work on a whole project need them: every page file (pages/NAME.xml) in name order
 * and "definitions.xml". Files that cannot be read, are not well-formed or
 * are not of their kind are left out and named in problems (errors with
 * their codes); a missing or unreadable definitions file leaves definitions
 * null. The files are read under the project's lock (see projectLock.h),
 * which is held as long as the object lives.
 */
class ProjectFiles
{
public:
    /// Reads the project that @p lock holds, with @p hooks called as it goes.
    explicit ProjectFiles(std::unique_ptr<ProjectLock> lock, const ProjectReadHooks &hooks = {});
    ~ProjectFiles();
    ProjectFiles(const ProjectFiles &) = delete;
    ProjectFiles &operator=(const ProjectFiles &) = delete;

    /// The definitions' tag with @p id, or null.
    const pEtiketDef_t *tag(int id) const;

    QDir dir;
    QList<ProjectPage> pages;
    std::unique_ptr<FileDataTree, void (*)(FileDataTree *)> definitions{nullptr, destroyFileDataTree};
    QList<Finding> problems;
    std::unique_ptr<ProjectLock> lock;

private:
    mutable QHash<int, const pEtiketDef_t *> m_tags;
};

/// The scene page files of @p project ("pages/NAME.xml"), in name order.
QStringList projectPageFiles(const QDir &project);

/**
 * Why @p folder is not a project folder: it holds neither a pages folder
 * nor definitions.xml (with a hint when it holds them in other letter
 * case). Empty when it is one.
 */
QString notAProjectReason(const QDir &folder);

/**
 * The entry of @p folder whose name differs from @p name only in letter
 * case ("Pages" for "pages"), when @p name itself is not there; else empty.
 */
QString otherLetterCase(const QDir &folder, const QString &name);

/// Whether @p bytes are well-formed XML, with the name of their document element in @p root; when not, a problem of @p relative names the parser's line and column.
bool checkWellFormed(const QString &relative, const QByteArray &bytes, QList<Finding> &problems, QString *root = nullptr);

/// The bytes of @p file; a null array, with the reason, when it cannot be read.
QByteArray readProjectFile(const QString &path, const QString &relative, QList<Finding> &problems);
