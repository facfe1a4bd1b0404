#pragma once

#include <QList>
#include <QString>

class ScaFileData;

/// One tag binding of a page item: the tag id, the item, and the item's field that binds it.
struct TagBinding
{
    int tagId;
    QString record; ///< the item, as a reader would name it: `component "P-101" (Uid 1031)`
    QString field;  ///< the binding within the item: "tagID_label", "line 2", ...
};

/**
 * Every tag binding of the items of @p page, in item order: the eighteen
 * bindings of each component instance, the tags of each schedule, the line
 * tags of each real-time chart and the report tag of each database-query
 * text. Ids of -1 mean "nothing bound" and are left out; repeats are kept.
 */
QList<TagBinding> tagBindings(const ScaFileData &page);

/// The tag ids of tagBindings(), in the same order.
QList<int> boundTagIds(const ScaFileData &page);
