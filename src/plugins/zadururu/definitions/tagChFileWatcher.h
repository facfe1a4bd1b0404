#pragma once

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
 * tgchFileUpdated(). Callers borrow the tree that tagChData() returns: its
 * records stay valid only until the next tgchFileUpdated(), so handlers must
 * read tagChData() again.
 *
 * The watcher frees a tree only when it replaces it; the last tree outlives
 * the watcher and belongs to whoever still holds it (destroyFileDataTree()).
 */
class ZADURURU_EXPORT TagChFileWatcher : public QObject
{
    Q_OBJECT
public:
    /// Watches and loads @p path; no tgchFileUpdated() for this first load.
    TagChFileWatcher(QString path, QObject *parent);
    ~TagChFileWatcher() override;

    /// The current tree, or null when the file could not be opened at the last load.
    FileDataTree *tagChData();
    /// Watches @p path instead of the current file and loads it, freeing the old tree.
    void setFile(QString path);

Q_SIGNALS:
    /// The file changed on disk and has been loaded again (the tree may be null).
    void tgchFileUpdated();

private Q_SLOTS:
    void onFileChanged(QString path);

private:
    QFileSystemWatcher *m_watcher;
    QString m_fileName;
    FileDataTree *m_data = nullptr;
};
