#pragma once

/**
 * @file openedFile.h
 * @brief The host's record of an open definitions document (OpenedFile).
 */

#include <QString>

QT_BEGIN_NAMESPACE
class QStandardItemModel;
QT_END_NAMESPACE

/**
 * The host's record of an open definitions document: where it is stored and
 * the two tables (channels and tags) in which the user edits it. The models
 * belong to the host. TgchFileProcessor::writeToFile(OpenedFile *) writes
 * the tables to #filePath.
 */
struct OpenedFile
{
    int documentId = -1;            ///< the editor's own number for the document
    QString filePath;               ///< path of the definitions file
    bool modified = false;          ///< unsaved edits in the tables
    QStandardItemModel *channelModel = nullptr; ///< the channel table: a row per channel, 22 columns (not owned)
    QStandardItemModel *tagModel = nullptr;     ///< the tag table: a row per tag, 25 columns (not owned)
};
