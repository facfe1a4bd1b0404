#include "elementTree_p.h"

#include <QStringView>
#include <QXmlAttributes>

namespace ZadUruru {

QString TreeElement::text() const
{
    if (!m_tree)
        return QString();
    const ElementTree::Node &node = m_tree->m_nodes.at(m_node);
    // Most fields hold one run of text; it needs no joining.
    if (node.firstChild >= 0 && node.firstChild == node.lastChild) {
        const ElementTree::Node &only = m_tree->m_nodes.at(node.firstChild);
        if (only.isText)
            return m_tree->string(only.name);
    }
    QString text(QLatin1String(""));
    m_tree->appendText(m_node, text);
    return text;
}

QString TreeElement::attribute(const QString &name, const QString &absent) const
{
    if (!m_tree)
        return absent;
    const ElementTree::Node &node = m_tree->m_nodes.at(m_node);
    // The parser reports an attribute given twice twice; the last one holds, as in a document tree.
    for (int i = node.firstAttribute + node.attributeCount - 1; i >= node.firstAttribute; --i) {
        const ElementTree::Attribute &a = m_tree->m_attributes.at(i);
        if (m_tree->equals(a.name, name))
            return m_tree->string(a.value);
    }
    return absent;
}

TreeElement TreeElement::elementFrom(int node, const QString &name) const
{
    for (; node >= 0; node = m_tree->m_nodes.at(node).next) {
        const ElementTree::Node &n = m_tree->m_nodes.at(node);
        if (!n.isText && (name.isNull() || m_tree->equals(n.name, name)))
            return TreeElement(m_tree, node);
    }
    return TreeElement();
}

TreeElement TreeElement::firstChildElement(const QString &name) const
{
    return m_tree ? elementFrom(m_tree->m_nodes.at(m_node).firstChild, name) : TreeElement();
}

TreeElement TreeElement::nextSiblingElement(const QString &name) const
{
    return m_tree ? elementFrom(m_tree->m_nodes.at(m_node).next, name) : TreeElement();
}

bool TreeElement::hasTagName(const QString &name) const
{
    return m_tree && m_tree->equals(m_tree->m_nodes.at(m_node).name, name);
}

void ElementTree::resetViews(const char *document)
{
    m_document = document;
    m_copies.clear();
    m_nodes.clear();
    m_attributes.clear();
    m_open.clear();
}

void ElementTree::resetCopies()
{
    resetViews(nullptr);
}

ElementTree::Span ElementTree::view(const char *data, int size, bool entities) const
{
    return {int(data - m_document), size, entities};
}

ElementTree::Span ElementTree::copy(const QString &text)
{
    const Span span{m_copies.size(), text.size(), false};
    m_copies += text;
    return span;
}

int ElementTree::append(const Node &node)
{
    const int index = m_nodes.size();
    m_nodes.append(node);
    if (!m_open.isEmpty()) {
        Node &parent = m_nodes[m_open.last()];
        if (parent.lastChild < 0)
            parent.firstChild = index;
        else
            m_nodes[parent.lastChild].next = index;
        parent.lastChild = index;
    }
    return index;
}

void ElementTree::open(QLatin1String name, const PlainAttribute *attributes, int count)
{
    Node node;
    node.name = view(name.data(), name.size(), false);
    node.firstAttribute = m_attributes.size();
    node.attributeCount = count;
    for (int i = 0; i < count; ++i) {
        const PlainAttribute &a = attributes[i];
        m_attributes.append({view(a.name.data(), a.name.size(), false), view(a.value, a.size, a.entities)});
    }
    m_open.append(append(node));
}

void ElementTree::open(const QString &name, const QXmlAttributes &attributes)
{
    Node node;
    node.name = copy(name);
    node.firstAttribute = m_attributes.size();
    node.attributeCount = attributes.count();
    for (int i = 0; i < attributes.count(); ++i)
        m_attributes.append({copy(attributes.qName(i)), copy(attributes.value(i))});
    m_open.append(append(node));
}

void ElementTree::text(const char *data, int size, bool entities)
{
    Node node;
    node.name = view(data, size, entities);
    node.isText = true;
    append(node);
}

void ElementTree::text(const QString &text)
{
    Node node;
    node.name = copy(text);
    node.isText = true;
    append(node);
}

void ElementTree::close()
{
    m_open.removeLast();
}

TreeElement ElementTree::root() const
{
    return m_nodes.isEmpty() ? TreeElement() : TreeElement(this, 0);
}

QString ElementTree::string(const Span &span) const
{
    if (m_document)
        return plainText(m_document + span.offset, span.size, span.entities);
    return m_copies.mid(span.offset, span.size);
}

bool ElementTree::equals(const Span &span, const QString &name) const
{
    // The scanner's names are ASCII; the readers ask for ASCII names. Most
    // names asked for differ in length from the one at hand.
    if (span.size != name.size())
        return false;
    if (m_document)
        return QLatin1String(m_document + span.offset, span.size) == name;
    return QStringView(m_copies).mid(span.offset, span.size) == name;
}

void ElementTree::appendText(int node, QString &text) const
{
    for (int child = m_nodes.at(node).firstChild; child >= 0; child = m_nodes.at(child).next) {
        const Node &n = m_nodes.at(child);
        if (n.isText)
            text += string(n.name);
        else
            appendText(child, text);
    }
}

} // namespace ZadUruru
