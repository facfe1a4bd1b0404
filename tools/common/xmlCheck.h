#pragma once

#include <QByteArray>
#include <QString>

/// What a well-formedness check of a document found.
struct XmlCheckResult
{
    bool wellFormed = false;
    QString root;    ///< the name of the document element, when well-formed
    QString message; ///< why not, without the place
    int line = 0;    ///< where the check stopped, from 1; 0 for the document as a whole
    int column = 0;
};

/**
 * Whether @p bytes are a well-formed XML document by the rules all of the
 * library's readers load by, and if not why and where.
 */
XmlCheckResult checkXml(const QByteArray &bytes);

/**
 * Whether @p bytes are a well-formed XML document by the rules all of the
 * library's readers load by. When they are not, @p problem receives the
 * parser's message with its line and column, as "line L, column C: message".
 */
bool isWellFormedXml(const QByteArray &bytes, QString *problem = nullptr);

/**
 * As isWellFormedXml(), and in the same parse the name of the document
 * element into @p root (empty when the bytes are not well-formed).
 */
bool isWellFormedXml(const QByteArray &bytes, QString *problem, QString *root);

/// The name of the document element of @p bytes, or an empty string when they are not well-formed.
QString documentElementName(const QByteArray &bytes);
