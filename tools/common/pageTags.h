#pragma once

#include <QList>
#include <QString>

class ScaFileData;
struct FileDataTree;

/// One tag binding of a page item or an alarm: the tag id, the record, and the record's field that binds it.
struct TagBinding
{
    int tagId;
    QString record; ///< the record, as a reader would name it: `component "P-101" (Uid 1031)`
    QString field;  ///< the binding within the record: "tagID_label", "line 2", ...
    QString kind;   ///< "component", "schedule", "chart", "query text", "scrolling text" or "alarm"
    QString name;   ///< the instance name of a component, the name of an alarm, "chart 2" for the others
    int uid = -1;   ///< the Uid of a component instance, the Id of an alarm, -1 for the others
    int index = 0;  ///< the record's place among the records of its kind in its file, from 1
};

/**
 * Every tag binding of the items of @p page, in item order: the eighteen
 * bindings of each component instance, the tags of each schedule, the line
 * tags of each real-time chart, the report tag of each database-query text,
 * then the tag of each scrolling text of the page. Ids of -1 mean "nothing
 * bound" and are left out; repeats are kept.
 */
QList<TagBinding> tagBindings(const ScaFileData &page);

/// The tag bindings of the alarms of @p definitions: each alarm's tagID, limit_tag_id and limit_tag2_id.
QList<TagBinding> tagBindings(const FileDataTree &definitions);

/// The tag ids of tagBindings(), in the same order.
QList<int> boundTagIds(const ScaFileData &page);

/**
 * Binds every binding of @p page (as tagBindings() finds them) that binds
 * @p from to @p to instead, and returns how many it changed.
 */
int rebindTag(ScaFileData &page, int from, int to);
/// As above, for the alarms of @p definitions.
int rebindTag(FileDataTree &definitions, int from, int to);
