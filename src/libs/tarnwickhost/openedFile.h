#pragma once

#include <QString>

QT_BEGIN_NAMESPACE
class QStandardItemModel;
QT_END_NAMESPACE

/**
 * The host's record of an open definitions document: where it is stored and
 * the two tables (channels and tags) in which the user edits it. The models
 * belong to the host.
 */
struct OpenedFile
{
    int documentId = -1;            ///< the editor's own number for the document
    QString filePath;
    bool modified = false;          ///< unsaved edits in the tables
    QStandardItemModel *channelModel = nullptr;
    QStandardItemModel *tagModel = nullptr;
};
