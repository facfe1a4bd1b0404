#pragma once

/**
 * @file tagChFileWatcher.h
 * @brief A definitions file kept loaded and current (TagChFileWatcher).
 */

#include <zadururu/definitions/fileDataTree.h>
#include <zadururu/zadururu_export.h>

#include <QObject>
#include <QString>

QT_BEGIN_NAMESPACE
class QFileSystemWatcher;
QT_END_NAMESPACE

/**
 * Keeps one definitions file loaded and current. Whenever the file changes on
 * disk the watcher frees its tree, loads the file again and emits
 * tgchFileUpdated(). Change notifications come through the event loop of the
 * thread the watcher lives in; every notification means one full reload.
 *
 * Callers borrow the tree that tagChData() returns: it and its records stay
 * valid only until the next tgchFileUpdated(), so handlers read tagChData()
 * again and keep no record pointer from before.
 *
 * The watcher frees a tree only when it replaces it: the last tree outlives
 * the watcher, and whoever still holds it frees it with destroyFileDataTree()
 * (before or after deleting the watcher).
 *
 * A path that does not exist cannot be watched: the tree is then null, and a
 * file created there later is not noticed until setFile() is called again.
 *
 * @code
 * auto *watcher = new TagChFileWatcher(QStringLiteral("definitions.xml"), this);
 * connect(watcher, &TagChFileWatcher::tgchFileUpdated, this, [watcher] {
 *     if (const FileDataTree *tree = watcher->tagChData())
 *         qDebug() << tree->tags.size() << "tags";
 * });
 * @endcode
 */
class ZADURURU_EXPORT TagChFileWatcher : public QObject
{
    Q_OBJECT
public:
    /// Watches and loads @p path (see TgchFileProcessor::loadFileData()); no tgchFileUpdated() for this first load.
    TagChFileWatcher(QString path, QObject *parent);
    /// Stops watching; the current tree is left to whoever holds it.
    ~TagChFileWatcher() override;

    /**
     * The current tree, owned by the watcher until the next reload; null when
     * the file could not be opened at the last load. A file that is not
     * well-formed XML gives the tree with the "None" channel alone.
     */
    FileDataTree *tagChData();
    /**
     * Watches @p path instead of the current file, frees the current tree and
     * loads @p path. Emits nothing; the old file's changes are no longer
     * reported.
     */
    void setFile(QString path);

Q_SIGNALS:
    /**
     * The file changed on disk and has been loaded again; tagChData() holds
     * the new tree (null when the file could not be opened). The previous
     * tree and its records are already freed.
     */
    void tgchFileUpdated();

private Q_SLOTS:
    void onFileChanged(QString path);

private:
    QFileSystemWatcher *m_watcher;
    QString m_fileName;
    FileDataTree *m_data = nullptr;
};
