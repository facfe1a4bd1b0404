#pragma once

#include <QDir>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>

struct ScadaLibObject;

/**
 * The images a project's files name (library images, page backgrounds),
 * read only from inside the project folder: a name that leads out of it, by
 * "..", an absolute path or a symbolic link anywhere on the way, names no
 * image (links that stay inside the project are followed). Only regular files of at most maxImageFileBytes are read, without
 * blocking (a FIFO is refused, not waited on). Images are kept once read.
 */
class ProjectImages
{
public:
    /// Largest image file read; a larger one is refused unread.
    static constexpr qint64 maxImageFileBytes = 64 * 1024 * 1024;

    explicit ProjectImages(const QDir &project);

    /**
     * The image that @p name names, relative to @p base (a folder of the
     * project) when it is relative. A null image, with the reason in
     * *@p problem, when it lies outside the project, is missing, is not a
     * regular file, is too large or is not an image.
     */
    QImage image(const QString &name, const QDir &base, QString *problem = nullptr);

    /**
     * The project file that @p name, relative to @p base, names, by its
     * canonical path; empty, with the reason in *@p problem, when it is not
     * a file inside the project.
     */
    QString resolve(const QString &name, const QDir &base, QString *problem = nullptr) const;

    /**
     * The background image a page names (its pageBgImage): a relative name
     * is looked for in the project folder @p project, then in the page's own
     * folder @p pageFolder. A null image, with the reason in *@p problem,
     * when the page names none (then *@p problem is empty) or it cannot be read.
     */
    QImage background(const QString &pageBgImage, const QDir &project, const QDir &pageFolder,
                      QString *problem = nullptr);

private:
    QString m_root; ///< the project folder, canonical, ending in '/'
    QHash<QString, QImage> m_images;
    QHash<QString, QString> m_problems;
};

/**
 * The first image of each component of @p library, relative to the library's
 * folder ("images/pump.png"), by the component's id in decimal and by its
 * name: the two texts an instance's componentUid names it by.
 */
QHash<QString, QString> componentImageNames(const QList<ScadaLibObject *> &library);

/**
 * Reads the regular file at @p path whole into *@p bytes: refused, with the
 * reason in *@p problem, when it is not a regular file (a FIFO or device is
 * not opened for long: the open does not block), when the last part of the
 * path is a symbolic link, or when it is larger than @p maxBytes.
 */
bool readRegularFile(const QString &path, qint64 maxBytes, QByteArray *bytes, QString *problem);
