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
};

/**
 * Whether @p data is a well-formed document by the rules every reader of the
 * library loads by, with the same answer, message and position that the
 * document tree's setContent() gives, at a fraction of its time and memory:
 * no tree is built. A document nested deeper than maxXmlNestingDepth is
 * refused before it is parsed, with a message that says so and no position.
 *
 * It tells the cases apart that the loaders do not: a definitions file that
 * is not well-formed loads as an empty tree, a scene file as null.
 */
ZADURURU_EXPORT WellFormedness checkWellFormed(const QByteArray &data);

} // namespace ZadUruru
