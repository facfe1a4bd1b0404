#pragma once

#include <QString>

class ScaFileData;
struct FileDataTree;

/**
 * Whether two loads of a file hold the same records, field by field, every
 * field a reader stores compared (the members kept for the host are not
 * stored and not compared). Empty when they do; otherwise the first record
 * and field that differ, as "chart 2: LineColor". For the check that an
 * edit in place changed exactly what it meant to, on files of any size:
 * nothing is formatted as text.
 */
QString pageDifference(const ScaFileData &a, const ScaFileData &b);
/// As above, for the channels (but the loader's own "None"), tags and alarms of two definitions files.
QString definitionsDifference(const FileDataTree &a, const FileDataTree &b);
