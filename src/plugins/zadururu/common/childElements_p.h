#pragma once

#include <QDomElement>
#include <QString>
#include <QVarLengthArray>

#include <utility>

namespace ZadUruru {

inline QString tagNameOf(const QDomElement &e) { return e.tagName(); }

/**
 * The child elements of one element, collected in a single walk, so that a
 * reader looking up many fields does not walk the children once per field.
 * A lookup gives the first child element of a name, as firstChildElement()
 * does, or a null element. @p Element is QDomElement or an element of a
 * tree that has the same calls.
 */
template <class Element>
class ChildElements
{
public:
    explicit ChildElements(const Element &parent)
    {
        for (Element e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            m_entries.append({tagNameOf(e), e});
    }

    Element element(const QString &name) const
    {
        for (const Entry &entry : m_entries) {
            if (entry.name == name)
                return entry.element;
        }
        return Element();
    }

private:
    struct Entry
    {
        decltype(tagNameOf(std::declval<Element>())) name;
        Element element;
    };
    QVarLengthArray<Entry, 32> m_entries;
};

} // namespace ZadUruru
