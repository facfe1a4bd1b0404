#pragma once

/**
 * @file fileDataTree.h
 * @brief The content of one definitions file (FileDataTree) and the call that
 * frees it whole (destroyFileDataTree()).
 */

#include <zadururu/definitions/pAlarmItem.h>
#include <zadururu/definitions/pEtiketDef.h>
#include <zadururu/definitions/pKanalDef.h>

#include <QList>

/**
 * The content of one definitions file: its channels, tags and alarms, each
 * list in file order. TgchFileProcessor::loadFileData() and
 * TgchFileProcessor::loadTagsFromCSV() return one.
 *
 * The lists hold raw pointers: whoever owns the tree deletes every record of
 * the three lists, then the tree. destroyFileDataTree() does both; deleting
 * the tree alone leaks its records.
 *
 * Not copyable: a copy would hold the same record pointers, and freeing both
 * would free every record twice. Keep it by pointer; to move tags from one
 * tree into another, use TgchFileProcessor::mergeImportedTags().
 */
struct FileDataTree
{
    /// Three empty lists.
    FileDataTree() = default;
    /// Not copyable: both copies would own the same records.
    FileDataTree(const FileDataTree &) = delete;
    /// Not assignable, for the same reason.
    FileDataTree &operator=(const FileDataTree &) = delete;

    /**
     * The channels. A tree from the loader always begins with the loader's
     * own "None" channel (a new pKanalDef_t named "None"), then the file's.
     */
    QList<pKanalDef_t *> channels;
    QList<pEtiketDef_t *> tags;      ///< the tags
    QList<pAlarmItem_t *> alarms;    ///< the alarms
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
