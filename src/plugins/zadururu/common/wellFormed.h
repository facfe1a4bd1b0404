#pragma once

/**
 * @file wellFormed.h
 * @brief Whether a document is well-formed by the readers' rules
 * (ZadUruru::checkWellFormed()).
 */

#include <zadururu/zadururu_export.h>

#include <QByteArray>
#include <QString>

namespace ZadUruru {

/// What a check of a whole document found (checkWellFormed()).
struct WellFormedness
{
    bool wellFormed = false; ///< whether every reader of the library would read the document
    QString root;    ///< the name of the document element, when well-formed
    QString message; ///< the parser's reason, when not
    int line = 0;    ///< where the parser stopped, from 1; 0 when it did not start
    int column = 0;  ///< the column where the parser stopped, from 1; 0 when it did not start
    /// Refused not for its syntax but for going past a limit of xmlLimits.h or of the memory; the message says which.
    bool overLimit = false;
};

/**
 * Whether @p data is a well-formed document by the rules every reader of the
 * library loads by, with the same answer, message and position that the
 * document tree's setContent() gives, at a fraction of its time and memory:
 * no tree is built. A document that goes past a limit of xmlLimits.h is
 * refused with a message that names the limit: nested too deep, at the
 * element that went too deep; too many entity declarations, or entities
 * expanding too far, before it is parsed, at line 0. Memory running out is
 * a refusal too, with a message that says so.
 *
 * It tells the cases apart that the loaders do not: a definitions file that
 * is not well-formed loads as an empty tree, a scene file as null.
 */
ZADURURU_EXPORT WellFormedness checkWellFormed(const QByteArray &data);

} // namespace ZadUruru
