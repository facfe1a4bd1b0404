#pragma once

#include <QList>

class ScaFileData;

/**
 * Every tag id that the items of @p page bind, in item order: the eighteen
 * bindings of each component instance, the tags of each schedule, the line
 * tags of each real-time chart and the report tag of each database-query
 * text. Ids of -1 mean "nothing bound" and are left out; repeats are kept.
 */
QList<int> boundTagIds(const ScaFileData &page);
