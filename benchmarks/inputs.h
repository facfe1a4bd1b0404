#pragma once

// Synthetic project content for the benchmarks: scene pages with every item
// kind, definitions with channels, tags and alarms, a CSV tag list, the two
// editing tables, a project of many pages and the component library files.
// Everything is generated from a fixed seed, so two runs (and two commits)
// measure the same bytes.

#include <zadururu/definitions/fileDataTree.h>
#include <zadururu/scene/scaFileData.h>

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

QT_BEGIN_NAMESPACE
class QStandardItemModel;
QT_END_NAMESPACE

namespace Bench {

/// Item kinds in the proportions of a typical plant page: out of every 100
/// items 60 component instances, 20 texts, 6 database-query texts, 5 charts,
/// 4 schedules and 5 tables.
struct SceneMix
{
    int scadaObjects = 0;
    int texts = 0;
    int dbqTexts = 0;
    int charts = 0;
    int schedules = 0;
    int tables = 0;
};
SceneMix sceneMix(int items);

/// A page with @p items items in the proportions of sceneMix(). Component
/// instance Uids are firstUid, firstUid + 1, ...
ScaFileData *makeScene(int items, int pageId, int firstUid, unsigned seed);

/// @p tags tags, one channel per 100 tags (at least one) and one alarm per
/// 10 tags, led by the "None" channel as every loaded tree is.
FileDataTree *makeDefinitions(int tags, unsigned seed);

/**
 * A page with one component instance whose Geometry element carries
 * @p attributes attributes, X given again last (as 7), for the readers'
 * attribute handling; behind a comment (@p forParser) the plain scanner
 * hands it to the XML parser.
 */
QByteArray makeAttributePage(int attributes, bool forParser);

/// A semicolon-separated tag list of @p lines lines with all four type words.
QByteArray makeCsv(int lines, unsigned seed);

/// The definitions editor's channel and tag tables holding the records of @p tree.
struct EditingTables
{
    std::unique_ptr<QStandardItemModel> channels;
    std::unique_ptr<QStandardItemModel> tags;
    EditingTables();
    EditingTables(EditingTables &&) noexcept;
    EditingTables &operator=(EditingTables &&) noexcept;
    ~EditingTables();
};
EditingTables makeEditingTables(const FileDataTree &tree);

/// A component library file of @p components objects with ids 0, 2, 4, ...
QByteArray makeComponentLibrary(int components, unsigned seed);
/// A user library file of @p components objects with ids 1, 3, 5, ...
QByteArray makeUserLibrary(int components, unsigned seed);

bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

} // namespace Bench
