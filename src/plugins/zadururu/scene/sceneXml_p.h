#pragma once

// The conversions of the scene file format, shared by every item reader and
// writer. Readers take the first child element of a name; an absent element
// or attribute gives the default, a present value that does not parse gives 0.

#include "common/childElements_p.h"
#include "common/xmlText_p.h"

#include <QDomElement>
#include <QString>
#include <QXmlStreamWriter>

struct ItemCommonData_t;

namespace SceneXml {

/// The child elements of an item or of the page properties, collected once.
using Children = ZadUruru::ChildElements;

/// The text of the first child element @p name: character data and CDATA joined; empty when absent.
inline QString childText(const Children &parent, const QString &name)
{
    return parent.element(name).text();
}

/// The text of child element @p name when present (an empty one gives empty), else @p absent.
inline QString childTextOr(const Children &parent, const QString &name, const QString &absent)
{
    const QDomElement e = parent.element(name);
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
inline int childInt(const Children &parent, const QString &name, int absent = 0)
{
    const QDomElement e = parent.element(name);
    return e.isNull() ? absent : toInt(e.text());
}

inline bool childBoolOr(const Children &parent, const QString &name, bool absent)
{
    return childInt(parent, name, int(absent)) != 0;
}

inline qint64 childInt64(const Children &parent, const QString &name)
{
    return childText(parent, name).toLongLong(nullptr, 10);
}

/// A boolean stored as an integer: non-zero is true.
inline bool childBool(const Children &parent, const QString &name)
{
    return childInt(parent, name) != 0;
}

inline float childFloat(const Children &parent, const QString &name, float absent)
{
    const QDomElement e = parent.element(name);
    return e.isNull() ? absent : e.text().toFloat();
}

inline int attrInt(const QDomElement &e, const QString &name, const QString &absent)
{
    return toInt(e.attribute(name, absent));
}

/// An unsigned 64-bit attribute; anything unparsable, a negative value included, gives 0.
inline quint64 attrUInt64(const QDomElement &e, const QString &name)
{
    return e.attribute(name, QStringLiteral("0")).toULongLong(nullptr, 10);
}

/// Reads the common Geometry element and the group id of the Properties element.
void readCommon(const Children &item, ItemCommonData_t *common, int itemTypeCode);

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
