#pragma once

#include "xmlLimits_p.h"

#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QByteArray;
class QDomDocument;
class QXmlContentHandler;
class QXmlErrorHandler;
class QXmlSimpleReader;
QT_END_NAMESPACE

namespace ZadUruru {

/// Which text the parser reports: all of it, or none that is only whitespace (as a document tree read from bytes keeps it).
enum class SpaceOnlyText { Reported, Dropped };

/// Sets up @p reader as every reader of the library parses: qualified names, no namespace processing.
void configureParser(QXmlSimpleReader &reader, SpaceOnlyText text);

/**
 * Parses @p data, reporting its content to @p handler and its fatal error,
 * if any, to @p errors. False when the document is not well-formed or goes
 * past a limit of xmlLimits.h, which @p limit then names: its entities are
 * judged before the parser starts, its nesting as its elements open, those
 * of entity references included, so that the parser never recurses deeper
 * than the limit. A refusal for a limit reaches @p errors with the limit's
 * message, at the element that went too deep or at line 0 for the entities.
 */
bool parseXml(const QByteArray &data, QXmlContentHandler &handler, SpaceOnlyText text,
              QXmlErrorHandler *errors = nullptr, XmlLimit *limit = nullptr);

/**
 * The document tree of @p data, as the reference readers read it: the same
 * parser as parseXml(), within the same limits, checked by a pass of the
 * parser before the tree's own, which knows none of them. With
 * SpaceOnlyText::Dropped the tree is that of QDomDocument::setContent() on
 * the bytes.
 */
bool parseDocumentTree(const QByteArray &data, QDomDocument &document, SpaceOnlyText text);

} // namespace ZadUruru
