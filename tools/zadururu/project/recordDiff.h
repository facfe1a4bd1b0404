#pragma once

#include "records.h"

#include <QList>
#include <QString>

/// A record added, removed or changed between two versions of a file.
struct RecordChange
{
    enum Kind { Added, Removed, Changed };
    Kind kind;
    const Record *before = nullptr; ///< the old record (removed, changed)
    const Record *after = nullptr;  ///< the new record (added, changed)

    struct Field
    {
        QString name;
        const RecordField *before = nullptr; ///< null when the old record has no such field
        const RecordField *after = nullptr;  ///< null when the new record has none
    };
    QList<Field> fields; ///< the fields that differ (changed only), in the order of the records
};

/**
 * The changes from @p before to @p after, kind by kind in the order the
 * records come. Records with an identity (page properties, component
 * instances by Uid, channels, tags and alarms by Id, library components by
 * objectUID) are matched by it: removed and changed ones in their old
 * order, then added ones in their new order. Records without one (texts,
 * schedules, charts, query texts, tables, scrolling texts) are aligned by
 * content, as a line diff aligns lines: the longest run of equal records in
 * order stays, and between two of those a new record that shares at least
 * half its fields with an old one is that one changed. Inserting one text
 * thus shows as one addition, not as every later text changed. The changes
 * point into the two lists.
 */
QList<RecordChange> compareRecords(const QList<Record> &before, const QList<Record> &after);

/// Whether @p a and @p b hold the same records with the same fields, leaving out the page properties' @p ignoredPageField.
bool sameRecords(const QList<Record> &a, const QList<Record> &b, const QString &ignoredPageField = QString());
