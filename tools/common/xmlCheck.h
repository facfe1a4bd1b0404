#pragma once

#include <QByteArray>
#include <QString>

struct FileDataTree;

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

/**
 * The definitions file at @p path, whose bytes @p bytes were read already. A
 * tree without records is loaded again from @p path, where running out of
 * memory gives null rather than the empty tree the bytes give, so that no
 * caller writes such a refusal back. Free the tree with destroyFileDataTree().
 */
FileDataTree *loadDefinitionsFile(const QString &path, const QByteArray &bytes);
