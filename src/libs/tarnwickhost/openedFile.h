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
    QString path;
    QStandardItemModel *channelModel = nullptr;
    QStandardItemModel *tagModel = nullptr;
};
