#pragma once

#include <QList>
#include <QMap>
#include <QString>

QT_BEGIN_NAMESPACE
class QDir;
class QTextStream;
QT_END_NAMESPACE

struct FileDataTree;

// Loads <project>/definitions.xml, prints how many channels, tags and alarms
// it holds, reports which of the tags bound on each page (@p pageTagIds, by
// page file name) it defines, and writes it back to <output>/definitions.xml.
// When the project has a tag list <project>/tags.csv, imports it, gives the
// imported tags free ids after the project's own and writes the merged
// definitions to <output>/definitions-imported.xml. Returns false when a file
// cannot be read or written. Every tree is freed before returning.
bool runDefinitionsJob(const QDir &project, const QDir &output,
                       const QMap<QString, QList<int>> &pageTagIds, QTextStream &out,
                       QTextStream &err);

// Prints, per page, which of the tag ids the page binds exist in @p tree and
// which are missing. Ids of -1 mean "nothing bound" and are left out.
void reportBoundTags(const FileDataTree &tree, const QMap<QString, QList<int>> &pageTagIds);
void reportBoundTags(const FileDataTree &tree, const QMap<QString, QList<int>> &pageTagIds,
                     QTextStream &out);
