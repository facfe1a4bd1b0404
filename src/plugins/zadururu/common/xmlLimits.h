#pragma once

/**
 * @file xmlLimits.h
 * @brief The limits every reader of the library holds a document to: nesting
 * depth, entity declarations and entity expansion.
 */

namespace ZadUruru {

/**
 * The deepest element nesting any reader of the library accepts. Scene pages,
 * definitions and library files nest a handful of levels; the XML parser and
 * the document tree it builds recurse once per level, and a document nested
 * tens of thousands of levels deep would overflow the stack (and take time
 * quadratic in its depth before that). The readers count the elements as they
 * read them, those that entity references hold included, and refuse a
 * document as not well-formed once one lies deeper.
 */
constexpr int maxXmlNestingDepth = 256;

/**
 * The most entity declarations the document type of a file read by the
 * library may hold. The XML parser takes time quadratic in their number (ten
 * thousand take seconds); no file the library or the editors write declares
 * any. A document with more is refused before it is parsed.
 */
constexpr int maxXmlEntityDeclarations = 1000;

/**
 * How many times as long as itself a document may grow when its entity
 * references are replaced by the texts they stand for: those texts (with the
 * references inside them replaced in turn) may together be at most one less
 * times as long as the document, in characters. The XML parser limits each
 * entity on its own, so that a few thousand characters referenced a hundred
 * thousand times would fill gigabytes; the library refuses such a document
 * before it is parsed. Files without declared entities do not grow at all:
 * each of the five predefined entities stands for one character.
 */
constexpr int maxXmlEntityExpansion = 8;

} // namespace ZadUruru
