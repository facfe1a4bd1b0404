#pragma once

#include "childElements_p.h"
#include "plainXmlScanner_p.h"

#include <QString>
#include <QVector>

QT_BEGIN_NAMESPACE
class QXmlAttributes;
QT_END_NAMESPACE

namespace ZadUruru {

class ElementTree;

/**
 * An element of an ElementTree, with the calls of QDomElement that the
 * readers use, and the same answers: the text is all the character data and
 * CDATA below the element, in document order; an attribute given twice has
 * its last value; a null element has no children, no attributes, no text.
 */
class TreeElement
{
public:
    TreeElement() = default;

    bool isNull() const { return m_tree == nullptr; }
    QString text() const;
    QString attribute(const QString &name, const QString &absent = QString()) const;
    /// The first child element named @p name, or of any name when @p name is null.
    TreeElement firstChildElement(const QString &name = QString()) const;
    TreeElement nextSiblingElement(const QString &name = QString()) const;
    bool hasTagName(const QString &name) const;

private:
    friend class ElementTree;
    TreeElement(const ElementTree *tree, int node) : m_tree(tree), m_node(node) {}
    TreeElement elementFrom(int node, const QString &name) const;

    const ElementTree *m_tree = nullptr;
    int m_node = -1;
};

/// The name of a tree element, compared without a copy.
struct TreeElementName
{
    TreeElement element;
    bool operator==(const QString &name) const { return element.hasTagName(name); }
};

inline TreeElementName tagNameOf(const TreeElement &e) { return {e}; }

/**
 * A light element tree of one part of a document, built from a reader's
 * events as they come: elements with their attributes, and text. Its strings
 * are either views into the document that the plain scanner reads, decoded
 * when asked for, or copies of what the XML parser reports. A reader that
 * keeps only the parts it wants reuses one tree for them all.
 */
class ElementTree
{
public:
    /// Empties the tree for strings that are views into @p document, which must outlive the tree's use.
    void resetViews(const char *document);
    /// Empties the tree for strings that it keeps copies of.
    void resetCopies();

    // Building, in document order: the first element opened is the root.
    void open(QLatin1String name, const PlainAttribute *attributes, int count);
    void open(const QString &name, const QXmlAttributes &attributes);
    void text(const char *data, int size, bool entities);
    void text(const QString &text);
    void close();

    /// The root element; null while the tree is empty.
    TreeElement root() const;

private:
    friend class TreeElement;

    struct Span
    {
        int offset = 0;
        int size = 0;
        bool entities = false;
    };
    struct Node
    {
        Span name; ///< the text of a text node
        bool isText = false;
        int next = -1;
        int firstChild = -1;
        int lastChild = -1;
        int firstAttribute = 0;
        int attributeCount = 0;
    };
    struct Attribute
    {
        Span name;
        Span value;
    };

    Span view(const char *data, int size, bool entities) const;
    Span copy(const QString &text);
    int append(const Node &node);
    QString string(const Span &span) const;
    bool equals(const Span &span, const QString &name) const;
    void appendText(int node, QString &text) const;

    const char *m_document = nullptr; ///< the document of views; null for copies
    QString m_copies;
    QVector<Node> m_nodes;
    QVector<Attribute> m_attributes;
    QVector<int> m_open;
};

} // namespace ZadUruru
