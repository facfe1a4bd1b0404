#pragma once

#include <zadururu/definitions/pAlarmItem.h>
#include <zadururu/definitions/pEtiketDef.h>
#include <zadururu/definitions/pKanalDef.h>

#include <QList>

/**
 * The content of one definitions file. The lists hold raw pointers: whoever
 * owns the tree deletes every record of the three lists, then the tree
 * (destroyFileDataTree() does both). Destroying the tree alone does not
 * destroy its records.
 */
struct FileDataTree
{
    FileDataTree() = default;
    FileDataTree(const FileDataTree &) = delete;
    FileDataTree &operator=(const FileDataTree &) = delete;

    QList<pKanalDef_t *> channels;
    QList<pEtiketDef_t *> tags;
    QList<pAlarmItem_t *> alarms;
};

/**
 * Frees @p tree the way its owner must: the records of the channel list, then
 * of the tag list, then of the alarm list, each list taken from the front,
 * and finally the tree itself. Null is allowed and does nothing.
 */
inline void destroyFileDataTree(FileDataTree *tree)
{
    if (!tree)
        return;
    while (!tree->channels.isEmpty())
        delete tree->channels.takeFirst();
    while (!tree->tags.isEmpty())
        delete tree->tags.takeFirst();
    while (!tree->alarms.isEmpty())
        delete tree->alarms.takeFirst();
    delete tree;
}
