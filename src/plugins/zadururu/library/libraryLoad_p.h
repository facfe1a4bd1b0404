#pragma once

// The two readers of a component library file's bytes. Both give the same
// records for every input; the one the engine loads with builds no document
// tree.

#include <zadururu/library/scadaLibObject.h>
#include <zadururu/zadururu_export.h>

#include <QByteArray>
#include <QList>

namespace ZadUruru {

/// What every image entry of a record starts with: images lie in a folder beside the library file.
inline constexpr char libraryImagePrefix[] = "images/";

/**
 * Appends a record to @p objects for every "object" child of the root, in
 * file order, each field but isUserObject set. False, appending nothing, when
 * the document is not well-formed or goes past a limit of xmlLimits.h.
 * Memory running out throws std::bad_alloc, appending nothing either;
 * ScadaEngine::readLibDir() catches it.
 */
ZADURURU_EXPORT bool readLibrary(const QByteArray &data, QList<ScadaLibObject *> *objects);

/// The same records read from the document tree of the bytes: the reference readLibrary() is checked against.
ZADURURU_EXPORT bool readLibraryThroughDom(const QByteArray &data, QList<ScadaLibObject *> *objects);

} // namespace ZadUruru
