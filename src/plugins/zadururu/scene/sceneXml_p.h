#pragma once

// The conversions of the scene file format, shared by every item reader and
// writer. Readers take the first child element of a name; an absent element
// or attribute gives the default, a present value that does not parse gives 0.

#include "common/childElements_p.h"
#include "common/xmlText_p.h"

#include <QString>
#include <QXmlStreamWriter>

#include "itemCommonData.h"

namespace SceneXml {

/// The child elements of an item or of the page properties, collected once.
template <class Element>
using Children = ZadUruru::ChildElements<Element>;

/// The text of the first child element @p name: character data and CDATA joined; empty when absent.
template <class E>
inline QString childText(const Children<E> &parent, const QString &name)
{
    return parent.element(name).text();
}

/// The text of child element @p name when present (an empty one gives empty), else @p absent.
template <class E>
inline QString childTextOr(const Children<E> &parent, const QString &name, const QString &absent)
{
    const E e = parent.element(name);
    return e.isNull() ? absent : e.text();
}

inline int toInt(const QString &text) { return text.toInt(nullptr, 10); }

/**
 * A position: the text read as a single-precision number and cut toward zero.
 * A number that no int can hold after the cut (infinite, not a number, or
 * beyond the int range) gives 0, as a text that does not parse does.
 */
inline int positionFromText(const QString &text)
{
    const float value = text.toFloat();
    // Every float in [-2^31, 2^31) cuts to an int; NaN fails both tests.
    return value >= -2147483648.0f && value < 2147483648.0f ? int(value) : 0;
}

/// An integer child element; its text when present (so an empty one gives 0), else @p absent.
template <class E>
inline int childInt(const Children<E> &parent, const QString &name, int absent = 0)
{
    const E e = parent.element(name);
    return e.isNull() ? absent : toInt(e.text());
}

template <class E>
inline bool childBoolOr(const Children<E> &parent, const QString &name, bool absent)
{
    return childInt(parent, name, int(absent)) != 0;
}

template <class E>
inline qint64 childInt64(const Children<E> &parent, const QString &name)
{
    return childText(parent, name).toLongLong(nullptr, 10);
}

/// A boolean stored as an integer: non-zero is true.
template <class E>
inline bool childBool(const Children<E> &parent, const QString &name)
{
    return childInt(parent, name) != 0;
}

template <class E>
inline float childFloat(const Children<E> &parent, const QString &name, float absent)
{
    const E e = parent.element(name);
    return e.isNull() ? absent : e.text().toFloat();
}

template <class E>
inline int attrInt(const E &e, const QString &name, const QString &absent)
{
    return toInt(e.attribute(name, absent));
}

/// An unsigned 64-bit attribute; anything unparsable, a negative value included, gives 0.
template <class E>
inline quint64 attrUInt64(const E &e, const QString &name)
{
    return e.attribute(name, QStringLiteral("0")).toULongLong(nullptr, 10);
}

/// Reads the common Geometry element and the group id of the Properties element.
template <class E>
void readCommon(const Children<E> &item, ItemCommonData_t *common, int itemTypeCode)
{
    const E g = item.element(QStringLiteral("Geometry"));
    // Positions may be stored with fractions; they are cut toward zero.
    common->X = positionFromText(g.attribute(QStringLiteral("X")));
    common->Y = positionFromText(g.attribute(QStringLiteral("Y")));
    common->W = toInt(g.attribute(QStringLiteral("W")));
    common->H = toInt(g.attribute(QStringLiteral("H")));
    common->Rot = toInt(g.attribute(QStringLiteral("Rot")));
    common->ZVAL = toInt(g.attribute(QStringLiteral("ZVAL")));
    common->GZVAL = toInt(g.attribute(QStringLiteral("GZVAL")));
    common->HFlip = attrInt(g, QStringLiteral("HFlip"), QStringLiteral("0")) != 0;
    common->VFlip = attrInt(g, QStringLiteral("VFlip"), QStringLiteral("0")) != 0;
    common->itemTypeCode = itemTypeCode;
    common->GroupId = attrUInt64(item.element(QStringLiteral("Properties")), QStringLiteral("GroupId"));
}

/// Writes the Properties element carrying only the group id.
void writeGroupProperties(QXmlStreamWriter &w, const ItemCommonData_t *common);

/// Writes the Geometry element.
void writeGeometry(QXmlStreamWriter &w, const ItemCommonData_t *common);

/// A text element, without the characters XML cannot hold.
inline void writeText(QXmlStreamWriter &w, const QString &name, const QString &text)
{
    w.writeTextElement(name, ZadUruru::xmlWritable(text));
}

inline void writeCData(QXmlStreamWriter &w, const QString &name, const QString &text)
{
    w.writeStartElement(name);
    w.writeCDATA(ZadUruru::xmlWritable(text));
    w.writeEndElement();
}

inline void writeInt(QXmlStreamWriter &w, const QString &name, qint64 value)
{
    w.writeTextElement(name, QString::number(value));
}

inline void writeBool(QXmlStreamWriter &w, const QString &name, bool value)
{
    w.writeTextElement(name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

/// A single-precision value widened to double, in general format with 6 significant digits.
inline QString floatText(float value)
{
    return QString::number(double(value), 'g', 6);
}

} // namespace SceneXml
