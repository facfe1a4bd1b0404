#pragma once

#include <QList>
#include <QMap>
#include <QStringList>

QT_BEGIN_NAMESPACE
class QDir;
class QTextStream;
QT_END_NAMESPACE
class ProjectDataTree;

/**
 * Loads every scene page under "pages/" in @p project into @p tree, keyed by
 * file name, and prints per page its name, id, size and item counts. Pages
 * that cannot be read or are not well-formed are named on @p err and left
 * out. Returns false when any page failed.
 */
bool loadPages(const QDir &project, ProjectDataTree &tree, QTextStream &out, QTextStream &err);

/// Saves every page of @p tree to "pages/" under @p output; false when any save failed.
bool savePages(ProjectDataTree &tree, const QDir &output, QTextStream &out, QTextStream &err);

/// The componentUid texts of all component instances of @p tree.
QStringList usedComponentUids(ProjectDataTree &tree);

/// Per page file name, every tag id the page's items bind.
QMap<QString, QList<int>> boundTagIdsByPage(ProjectDataTree &tree);
