#pragma once

// The two readers of a definitions file's bytes. Both give the same records
// for every input; the one the library loads with builds no document tree.

#include <zadururu/definitions/fileDataTree.h>
#include <zadururu/zadururu_export.h>

#include <QByteArray>

namespace ZadUruru {

/**
 * The records of a definitions file in one pass of the XML parser, straight
 * from its events. Never null: a fresh "None" channel heads the channels; a
 * document that is not well-formed or goes past a limit of xmlLimits.h gives
 * that channel alone. Memory running out throws std::bad_alloc, which the
 * loaders of TgchFileProcessor catch.
 */
FileDataTree *readDefinitions(const QByteArray &data);

/**
 * The same records read from the document tree of the bytes: the reference
 * that readDefinitions() is checked against, and the form of the element
 * readers of TgchFileProcessor.
 */
ZADURURU_EXPORT FileDataTree *readDefinitionsThroughDom(const QByteArray &data);

} // namespace ZadUruru
