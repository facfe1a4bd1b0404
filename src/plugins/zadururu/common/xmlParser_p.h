#pragma once

#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QByteArray;
class QXmlContentHandler;
class QXmlSimpleReader;
QT_END_NAMESPACE

namespace ZadUruru {

/// Which text the parser reports: all of it, or none that is only whitespace (as a document tree read from bytes keeps it).
enum class SpaceOnlyText { Reported, Dropped };

/// Sets up @p reader as every reader of the library parses: qualified names, no namespace processing.
void configureParser(QXmlSimpleReader &reader, SpaceOnlyText text);

/**
 * Parses @p data, reporting its content to @p handler. False when the
 * document is not well-formed or is nested past the limit, which is checked
 * first so that the parser never recurses that deep.
 */
bool parseXml(const QByteArray &data, QXmlContentHandler &handler, SpaceOnlyText text);

} // namespace ZadUruru
