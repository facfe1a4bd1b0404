#pragma once

#include <QJsonObject>
#include <QString>

struct TagBinding;

/**
 * A record of a project file, named the way every report names it: the
 * file, the record's kind, and what identifies it within the file. Kinds
 * and what identifies them:
 *
 *   "page"                     the page properties of a scene page (no identity)
 *   "component"                a component instance, by its uid (Uid)
 *   "text", "query text", "schedule", "chart", "table", "scrolling text"
 *                              by index, its place among the page's records of its kind, from 1
 *   "channel", "tag", "alarm"  by id (Id)
 *   "library component"        by id (objectUID)
 *   "item"                     an Item of no kind the readers know, by index among such Items of its page
 *
 * name is the record's name where it has one (a component's Name, a tag's
 * Name, an alarm's alarm_name...).
 */
struct RecordRef
{
    QString file; ///< relative to the project folder ("pages/a.xml"), or as given for a single file
    QString kind; ///< empty for the file as a whole
    qint64 uid = -1; ///< component instances only
    qint64 id = -1;  ///< channels, tags, alarms, library components
    int index = 0;   ///< the place among the records of its kind, from 1; 0 when not used
    QString name;

    bool isFile() const { return kind.isEmpty(); }

    /// {"file", "kind", and "uid", "id", "index", "name" where they apply}.
    QJsonObject toJson() const;
    /// The record as the text reports name it: `component "P-101" (Uid 1031)`, `tag "Level_01" (Id 12)`, `chart 2`.
    QString text() const;
};

/// The record of @p file that @p binding belongs to (see pageTags.h).
RecordRef bindingRecord(const QString &file, const TagBinding &binding);
