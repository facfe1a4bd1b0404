#pragma once

// The stored fields of channels, tags and alarms as data: one table per
// record kind with each field's element name, its type and how to get and
// set it, and one set of conversions between a field's value and the text
// of a table cell. Export, import and the comparison of records all go
// through these tables, so that a field added to the definitions file is
// added in one place.

#include <zadururu/definitions/fileDataTree.h>

#include <QList>
#include <QString>
#include <QVector>

/// The three kinds of records of a definitions file.
enum class RecordKind { Channel, Tag, Alarm };

/// "channel", "tag" or "alarm".
QString kindName(RecordKind kind);
/// "channels", "tags" or "alarms".
QString kindPlural(RecordKind kind);

/// How a field is stored, which decides how its value is written and read back.
enum class FieldType {
    Text,   ///< QString
    Int,    ///< int
    UInt,   ///< unsigned int
    Int8,   ///< qint8
    UInt8,  ///< quint8
    Int64,  ///< qint64
    Bool,   ///< bool
    Double, ///< double
    Single, ///< double holding a single-precision value, as the definitions file keeps it
    IdList  ///< QList<int>
};

/// A field's value in one form for every type: text, whole number (booleans too), real or id list.
struct FieldValue
{
    QString text;
    qint64 integer = 0;
    double real = 0;
    QList<int> ids;
};

/// One stored field of records of type @p R.
template <class R>
struct Field
{
    const char *name; ///< the element name in the definitions file
    FieldType type;
    FieldValue (*get)(const R &record);
    void (*set)(R &record, const FieldValue &value);
};

/// The stored fields of @p R in the order the definitions writer writes them.
template <class R>
const QVector<Field<R>> &storedFields();
template <>
const QVector<Field<pKanalDef_t>> &storedFields();
template <>
const QVector<Field<pEtiketDef_t>> &storedFields();
template <>
const QVector<Field<pAlarmItem_t>> &storedFields();

/// The element names of the stored fields of @p kind, in the writer's order.
QStringList fieldNames(RecordKind kind);

/// The field whose element name is @p name among @p fields, or -1.
template <class R>
int fieldIndex(const QVector<Field<R>> &fields, const QString &name)
{
    for (int i = 0; i < fields.size(); ++i)
        if (name == QLatin1String(fields.at(i).name))
            return i;
    return -1;
}

/**
 * @p text without what a definitions file cannot keep (controls other than
 * tab, line feed and carriage return, U+FFFE, U+FFFF and unpaired
 * surrogates): the text as it reads back after a save.
 */
QString storableText(const QString &text);

/**
 * The value as one table cell holds it, the same text for the same stored
 * value: whole numbers in decimal, booleans as 1 or 0, reals in the fewest
 * digits that read back as the same value (inf, -inf and nan spelt so), id
 * lists as the definitions file writes them ({3,17,4}), texts as they are.
 */
QString cellText(FieldType type, const FieldValue &value);

/**
 * Reads the cell text @p text as a value of @p type: a whole number within
 * the range of the field, 1, 0, true or false for booleans, a real with a
 * point as the decimal separator, an id list with or without braces. Texts
 * are taken as they are, less what the definitions file cannot keep. False,
 * with the reason in @p problem, when the text is not such a value.
 */
bool parseCell(FieldType type, const QString &text, FieldValue *value, QString *problem);

/// A real number as cellText() writes it: the fewest digits that read back as @p value.
QString realText(double value);
/// A single-precision value (widened to double) in the fewest digits that read back as the same single.
QString singleText(double value);
