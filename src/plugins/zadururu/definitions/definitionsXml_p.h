#pragma once

// Conversion rules of the definitions file, shared by the three element
// readers and the tree writer, and the field tables that bind each element
// of a record to its rule.

#include <QDomElement>
#include <QList>
#include <QString>
#include <QXmlStreamWriter>
#include <QtGlobal>

namespace ZadUruru {
namespace DefinitionsXml {

// --- Reading: text to value -------------------------------------------------

/// All character data and CDATA inside @p element, joined, untrimmed. Empty for a null element.
QString elementText(const QDomElement &element);
/// Base-10 int; anything else (empty, non-numeric, out of range) gives 0.
int toSigned(const QString &text);
/// Base-10 unsigned int; negative, non-numeric, empty or out of range gives 0.
unsigned int toUnsigned(const QString &text);
/// The lowest 8 bits of a signed decimal int, as a signed byte.
qint8 toLowByteSigned(const QString &text);
/// The lowest 8 bits of a signed decimal int, as an unsigned byte.
quint8 toLowByteUnsigned(const QString &text);
/// Base-10 64-bit integer; unparsable text gives 0.
qint64 toInt64(const QString &text);
/// A decimal with a point (any locale), exponent allowed; unparsable gives 0.0.
double toDouble(const QString &text);
/// Parsed as single precision and widened; unparsable or out of float range gives 0.0.
double toSingleWidened(const QString &text);
/// Braces removed wherever they stand, split at commas; pieces that parse as int, in order.
QList<int> toIdList(const QString &text);

// --- Writing: value to text -------------------------------------------------

/// The shorter of fixed and exponential notation, at most six significant digits.
QString sixDigits(double value);
/// "{", the ids separated by single commas, "}".
QString idListText(const QList<int> &ids);

// --- Field tables -----------------------------------------------------------

template <class R>
struct FieldRule
{
    const char *element;
    /// Text read when the element is missing; null reads a missing element as empty text.
    const char *absentText;
    void (*read)(R &record, const QString &text);
    void (*write)(QXmlStreamWriter &writer, const char *element, const R &record);
};

template <class>
struct MemberOf;
template <class R, class T>
struct MemberOf<T R::*>
{
    using Record = R;
    using Type = T;
};

// One conversion per rule: read(text) -> value, text(value) -> written text,
// cdata tells whether the text goes out as a CDATA section.
struct TextAsCData {
    static QString read(const QString &t) { return t; }
    static QString text(const QString &v) { return v; }
    static constexpr bool cdata = true;
};
struct TextAsCharacters {
    static QString read(const QString &t) { return t; }
    static QString text(const QString &v) { return v; }
    static constexpr bool cdata = false;
};
struct Signed {
    static int read(const QString &t) { return toSigned(t); }
    static QString text(int v) { return QString::number(v); }
    static constexpr bool cdata = false;
};
struct Unsigned {
    static unsigned int read(const QString &t) { return toUnsigned(t); }
    static QString text(unsigned int v) { return QString::number(v); }
    static constexpr bool cdata = false;
};
/// Read as unsigned into a signed field, written signed: a negative value comes back as 0.
struct UnsignedIntoSigned {
    static int read(const QString &t) { return int(toUnsigned(t)); }
    static QString text(int v) { return QString::number(v); }
    static constexpr bool cdata = false;
};
struct Flag {
    static bool read(const QString &t) { return toSigned(t) != 0; }
    static QString text(bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); }
    static constexpr bool cdata = false;
};
struct LowByteSigned {
    static qint8 read(const QString &t) { return toLowByteSigned(t); }
    static QString text(qint8 v) { return QString::number(int(v)); }
    static constexpr bool cdata = false;
};
struct LowByteUnsigned {
    static quint8 read(const QString &t) { return toLowByteUnsigned(t); }
    static QString text(quint8 v) { return QString::number(uint(v)); }
    static constexpr bool cdata = false;
};
struct Int64 {
    static qint64 read(const QString &t) { return toInt64(t); }
    static QString text(qint64 v) { return QString::number(v); }
    static constexpr bool cdata = false;
};
struct Double6 {
    static double read(const QString &t) { return toDouble(t); }
    static QString text(double v) { return sixDigits(v); }
    static constexpr bool cdata = false;
};
struct Single6 {
    static double read(const QString &t) { return toSingleWidened(t); }
    static QString text(double v) { return sixDigits(v); }
    static constexpr bool cdata = false;
};
struct IdList {
    static QList<int> read(const QString &t) { return toIdList(t); }
    static QString text(const QList<int> &v) { return idListText(v); }
    static constexpr bool cdata = false;
};

void writeField(QXmlStreamWriter &writer, const char *element, const QString &text, bool cdata);

/// A table row: element @p element bound to member @p M through rule @p Rule.
template <class Rule, auto M>
constexpr FieldRule<typename MemberOf<decltype(M)>::Record> field(const char *element,
                                                                  const char *absentText = nullptr)
{
    using R = typename MemberOf<decltype(M)>::Record;
    return FieldRule<R>{
        element, absentText,
        [](R &record, const QString &text) { record.*M = Rule::read(text); },
        [](QXmlStreamWriter &writer, const char *name, const R &record) {
            writeField(writer, name, Rule::text(record.*M), Rule::cdata);
        }};
}

/// The index of the table row for element @p name, looked for at @p hint
/// first; N when the table has no such row.
template <class R, std::size_t N>
std::size_t findField(const FieldRule<R> (&table)[N], const QString &name, std::size_t hint)
{
    if (hint < N && name == QLatin1String(table[hint].element))
        return hint;
    for (std::size_t i = 0; i < N; ++i) {
        if (name == QLatin1String(table[i].element))
            return i;
    }
    return N;
}

/// Sets every field of @p record that @p read does not mark to its absent value.
template <class R, std::size_t N>
void readAbsentFields(const FieldRule<R> (&table)[N], const bool (&read)[N], R &record)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (!read[i])
            table[i].read(record, table[i].absentText ? QString::fromLatin1(table[i].absentText) : QString());
    }
}

/**
 * Sets every field of @p record from the first child element of each table
 * name, in one pass over the children: a record's elements usually come in
 * table order, so each is found at the first place looked. Later elements of
 * a name already read, and elements of other names, are skipped.
 */
template <class R, std::size_t N>
void readFields(const FieldRule<R> (&table)[N], const QDomElement &element, R &record)
{
    bool read[N] = {};
    std::size_t next = 0;
    for (QDomElement child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        const std::size_t i = findField(table, child.tagName(), next);
        if (i == N || read[i])
            continue;
        read[i] = true;
        table[i].read(record, elementText(child));
        next = i + 1;
    }
    readAbsentFields(table, read, record);
}

/// Writes @p record as element @p name with every table child, in table order.
template <class R, std::size_t N>
void writeFields(const FieldRule<R> (&table)[N], QXmlStreamWriter &writer, const char *name,
                 const R &record)
{
    writer.writeStartElement(QLatin1String(name));
    for (const FieldRule<R> &rule : table)
        rule.write(writer, rule.element, record);
    writer.writeEndElement();
}

} // namespace DefinitionsXml
} // namespace ZadUruru
