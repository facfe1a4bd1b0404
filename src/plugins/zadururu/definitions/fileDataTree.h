#pragma once

#include <zadururu/definitions/pAlarmItem.h>
#include <zadururu/definitions/pEtiketDef.h>
#include <zadururu/definitions/pKanalDef.h>

#include <QList>

/**
 * The content of one definitions file. The lists hold raw pointers: whoever
 * owns the tree deletes every record of the three lists, then the tree.
 * Destroying the tree alone does not destroy its records.
 */
struct FileDataTree
{
    QList<pKanalDef_t *> channels;
    QList<pEtiketDef_t *> tags;
    QList<pAlarmItem_t *> alarms;
};
