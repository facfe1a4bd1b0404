#pragma once

#include <QByteArray>
#include <QString>

/**
 * Whether @p bytes are a well-formed XML document by the rules all of the
 * library's readers load by. When they are not, @p problem receives the
 * parser's message with its line and column, as "line L, column C: message";
 * a document refused before it is parsed (too many entity declarations,
 * entities expanding too far, no memory left) gets the message alone.
 */
bool isWellFormedXml(const QByteArray &bytes, QString *problem = nullptr);

/**
 * As isWellFormedXml(), and in the same parse the name of the document
 * element into @p root (empty when the bytes are not well-formed).
 */
bool isWellFormedXml(const QByteArray &bytes, QString *problem, QString *root);

/// The name of the document element of @p bytes, or an empty string when they are not well-formed.
QString documentElementName(const QByteArray &bytes);
