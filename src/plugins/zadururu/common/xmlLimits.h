#pragma once

/**
 * @file xmlLimits.h
 * @brief The nesting limit of every reader (ZadUruru::maxXmlNestingDepth).
 */

#include <zadururu/zadururu_export.h>

#include <QByteArray>

namespace ZadUruru {

/**
 * The deepest element nesting any reader of the library accepts. Scene pages,
 * definitions and library files nest a handful of levels; the XML parser and
 * the document tree it builds recurse once per level, and a document nested
 * tens of thousands of levels deep would overflow the stack (and take time
 * quadratic in its depth before that).
 */
constexpr int maxXmlNestingDepth = 256;

/**
 * Whether @p data opens more than maxXmlNestingDepth elements inside one
 * another. Every reader refuses such a document before parsing it, as if it
 * were not well-formed. A single linear scan: markup inside comments, CDATA
 * sections, processing instructions, the document type declaration and
 * quoted attribute values is skipped; the document is not otherwise checked.
 */
ZADURURU_EXPORT bool isTooDeeplyNested(const QByteArray &data, int limit = maxXmlNestingDepth);

} // namespace ZadUruru
