#pragma once

#include <QDomElement>
#include <QString>
#include <QVarLengthArray>

namespace ZadUruru {

/**
 * The child elements of one element, collected in a single walk, so that a
 * reader looking up many fields does not walk the children once per field.
 * A lookup gives the first child element of a name, as firstChildElement()
 * does, or a null element.
 */
class ChildElements
{
public:
    explicit ChildElements(const QDomElement &parent)
    {
        for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            m_entries.append({e.tagName(), e});
    }

    QDomElement element(const QString &name) const
    {
        for (const Entry &entry : m_entries) {
            if (entry.name == name)
                return entry.element;
        }
        return QDomElement();
    }

private:
    struct Entry
    {
        QString name;
        QDomElement element;
    };
    QVarLengthArray<Entry, 32> m_entries;
};

} // namespace ZadUruru
