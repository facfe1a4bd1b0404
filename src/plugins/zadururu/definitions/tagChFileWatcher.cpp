#include "tagChFileWatcher.h"

#include "tgchFileProcessor.h"

#include <QFileSystemWatcher>

TagChFileWatcher::TagChFileWatcher(QString path, QObject *parent)
    : QObject(parent)
    , m_watcher(new QFileSystemWatcher(this))
    , m_fileName(path)
{
    m_watcher->addPath(m_fileName);
    connect(m_watcher, SIGNAL(fileChanged(QString)), this, SLOT(onFileChanged(QString)));
    m_data = TgchFileProcessor::loadFileData(m_fileName);
}

TagChFileWatcher::~TagChFileWatcher() = default;

FileDataTree *TagChFileWatcher::tagChData()
{
    return m_data;
}

void TagChFileWatcher::setFile(QString path)
{
    // Removing and adding the path again also re-arms the watch after the
    // file was replaced on disk: the watch follows the old file otherwise.
    // A path that does not exist cannot be watched; adding it fails quietly.
    if (!m_fileName.isEmpty())
        m_watcher->removePath(m_fileName);
    m_fileName = path;
    if (!m_fileName.isEmpty())
        m_watcher->addPath(m_fileName);
    destroyFileDataTree(m_data);
    m_data = TgchFileProcessor::loadFileData(m_fileName);
}

void TagChFileWatcher::onFileChanged(QString path)
{
    setFile(path);
    Q_EMIT tgchFileUpdated();
}
