#pragma once

#include <QList>
#include <QStringList>

QT_BEGIN_NAMESPACE
class QDir;
class QTextStream;
QT_END_NAMESPACE
struct ScadaLibObject;

/**
 * Reads the component library file or user library file at @p path and
 * returns its components (held by the engine for the rest of the process).
 * A file that cannot be opened or is malformed gives an empty list and sets
 * *@p ok to false.
 */
QList<ScadaLibObject *> readLibraryFile(const QString &path, bool *ok = nullptr);

/**
 * Reads the project's component library file, "library/objlib.xml" in the
 * project folder, and returns its components (held by the engine for the
 * rest of the process). Problems go to @p err; an unreadable or malformed
 * file gives an empty list and sets *@p ok to false.
 */
QList<ScadaLibObject *> readProjectLibrary(const QDir &project, QTextStream &err, bool *ok = nullptr);

/**
 * The component texts of @p componentUids that name no component of
 * @p library, each once, in first-seen order. A text names a component when
 * it is the component's id in decimal or, for pages that name their
 * components, the component's name. Empty texts name nothing and are skipped.
 */
QStringList componentsMissingFromLibrary(const QList<ScadaLibObject *> &library, const QStringList &componentUids);
