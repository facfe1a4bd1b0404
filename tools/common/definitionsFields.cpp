#include "definitionsFields.h"

#include "quotedText.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

QString kindName(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Channel:
        return QStringLiteral("channel");
    case RecordKind::Tag:
        return QStringLiteral("tag");
    case RecordKind::Alarm:
        break;
    }
    return QStringLiteral("alarm");
}

QString kindPlural(RecordKind kind)
{
    return kindName(kind) + QLatin1Char('s');
}

namespace {

FieldValue textValue(const QString &text)
{
    FieldValue v;
    v.text = text;
    return v;
}

FieldValue wholeValue(qint64 integer)
{
    FieldValue v;
    v.integer = integer;
    return v;
}

FieldValue realValue(double real)
{
    FieldValue v;
    v.real = real;
    return v;
}

FieldValue idsValue(const QList<int> &ids)
{
    FieldValue v;
    v.ids = ids;
    return v;
}

} // namespace

// One row per stored field: its element name, its type, and the member it is.
#define TEXT(R, m) {#m, FieldType::Text, [](const R &r) { return textValue(r.m); }, [](R &r, const FieldValue &v) { r.m = v.text; }}
#define WHOLE(R, m, type) \
    {#m, FieldType::type, [](const R &r) { return wholeValue(qint64(r.m)); }, \
     [](R &r, const FieldValue &v) { r.m = decltype(r.m)(v.integer); }}
#define FLAG(R, m) \
    {#m, FieldType::Bool, [](const R &r) { return wholeValue(r.m ? 1 : 0); }, [](R &r, const FieldValue &v) { r.m = v.integer != 0; }}
#define REAL(R, m, type) \
    {#m, FieldType::type, [](const R &r) { return realValue(r.m); }, [](R &r, const FieldValue &v) { r.m = v.real; }}
#define IDS(R, m) {#m, FieldType::IdList, [](const R &r) { return idsValue(r.m); }, [](R &r, const FieldValue &v) { r.m = v.ids; }}

template <>
const QVector<Field<pKanalDef_t>> &storedFields()
{
    using R = pKanalDef_t;
    static const QVector<Field<R>> fields{
        TEXT(R, Name), WHOLE(R, Id, Int), WHOLE(R, MediaType, Int), WHOLE(R, SocketType, Int),
        WHOLE(R, ProtokolType, Int), TEXT(R, ServerIP), WHOLE(R, ServerPORT, UInt), WHOLE(R, ListenPORT, UInt),
        TEXT(R, FilterIP), WHOLE(R, Comport, UInt), WHOLE(R, Baudrate, UInt), WHOLE(R, Databit, UInt),
        WHOLE(R, Stopbit, UInt), WHOLE(R, Paritybit, Int), WHOLE(R, ResponseTimeout, UInt),
        WHOLE(R, ConnectionTimeout, UInt), WHOLE(R, FrameTimeout, UInt), WHOLE(R, GroupID, Int), TEXT(R, Station),
        FLAG(R, Enabled), TEXT(R, LogicProPath), TEXT(R, Description),
    };
    return fields;
}

template <>
const QVector<Field<pEtiketDef_t>> &storedFields()
{
    using R = pEtiketDef_t;
    static const QVector<Field<R>> fields{
        TEXT(R, Name), WHOLE(R, PollFrequency, Int), TEXT(R, KanalName), WHOLE(R, Kanal_Id, Int),
        TEXT(R, DeviceAddress), TEXT(R, VariableAddress), WHOLE(R, VariableSize, Int), WHOLE(R, VariableType, Int),
        WHOLE(R, Id, Int), TEXT(R, Macro), WHOLE(R, IsLogging, UInt8), WHOLE(R, PriLevel, UInt8),
        WHOLE(R, TagType, Int8), WHOLE(R, SchedulerIndex, Int8), REAL(R, LoggingFreq, Double),
        WHOLE(R, LoggingMethod, Int), WHOLE(R, ReadRight1, Int64), WHOLE(R, ReadRight2, Int64),
        WHOLE(R, WriteRight1, Int64), WHOLE(R, WriteRight2, Int64), TEXT(R, Keywords), FLAG(R, Enabled),
        TEXT(R, Description), TEXT(R, UnitName), WHOLE(R, Protocolobjecttype, Int8),
    };
    return fields;
}

template <>
const QVector<Field<pAlarmItem_t>> &storedFields()
{
    using R = pAlarmItem_t;
    static const QVector<Field<R>> fields{
        WHOLE(R, Id, Int), TEXT(R, alarm_name), TEXT(R, alarm_desc), TEXT(R, alarm_class), WHOLE(R, enabled, Int8),
        WHOLE(R, ackrequired, Int8), WHOLE(R, islogging, Int8), WHOLE(R, tagID, Int), WHOLE(R, alarm_type, Int8),
        WHOLE(R, alarm_level, Int8), WHOLE(R, comp_type, Int8), REAL(R, limitVal, Single), REAL(R, checkVal1, Single),
        REAL(R, checkVal2, Single), WHOLE(R, limit_tag_id, Int), WHOLE(R, limit_tag2_id, Int),
        WHOLE(R, readRight1, Int64), WHOLE(R, readRight2, Int64), IDS(R, subscribers), WHOLE(R, currentState, Int),
    };
    return fields;
}

#undef TEXT
#undef WHOLE
#undef FLAG
#undef REAL
#undef IDS

namespace {

template <class R>
QStringList namesOf()
{
    QStringList names;
    for (const Field<R> &field : storedFields<R>())
        names << QLatin1String(field.name);
    return names;
}

bool isStorable(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
           || (c >= 0x10000 && c <= 0x10FFFF);
}

// The range each whole-number type holds.
struct Range
{
    qint64 lowest;
    qint64 highest;
};

Range rangeOf(FieldType type)
{
    switch (type) {
    case FieldType::Int:
        return {std::numeric_limits<int>::min(), std::numeric_limits<int>::max()};
    case FieldType::UInt:
        return {0, std::numeric_limits<unsigned int>::max()};
    case FieldType::Int8:
        return {-128, 127};
    case FieldType::UInt8:
        return {0, 255};
    case FieldType::Bool:
        return {0, 1};
    default:
        break;
    }
    return {std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()};
}

bool parseWhole(FieldType type, const QString &text, qint64 *value, QString *problem)
{
    bool ok = false;
    *value = text.toLongLong(&ok, 10);
    const Range range = rangeOf(type);
    if (!ok) {
        // A number too large for 64 bits is a number all the same, just out of range.
        const QString digits = text.trimmed();
        const bool isNumber = !digits.isEmpty()
                              && std::all_of(digits.begin() + (digits.startsWith(QLatin1Char('-')) || digits.startsWith(QLatin1Char('+'))),
                                             digits.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
        *problem = isNumber ? QStringLiteral("%1 lies outside %2 to %3").arg(digits).arg(range.lowest).arg(range.highest)
                            : QStringLiteral("%1 is not a whole number").arg(quoted(text));
        return false;
    }
    if (*value < range.lowest || *value > range.highest) {
        *problem = QStringLiteral("%1 lies outside %2 to %3").arg(*value).arg(range.lowest).arg(range.highest);
        return false;
    }
    return true;
}

bool parseReal(FieldType type, const QString &text, double *value, QString *problem)
{
    bool ok = false;
    *value = text.toDouble(&ok);
    if (!ok) {
        *problem = text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('.'))
                       ? QStringLiteral("%1 is not a number (the decimal separator is a point)").arg(quoted(text))
                       : QStringLiteral("%1 is not a number").arg(quoted(text));
        return false;
    }
    if (type == FieldType::Single) {
        const float single = float(*value);
        if (std::isinf(single) && !std::isinf(*value)) {
            *problem = QStringLiteral("%1 lies beyond the single precision the definitions file keeps (%2)")
                           .arg(text.trimmed(), singleText(double(std::numeric_limits<float>::max())));
            return false;
        }
        if (single == 0 && *value != 0) {
            *problem = QStringLiteral("%1 is too small for the single precision the definitions file keeps").arg(text.trimmed());
            return false;
        }
        *value = double(single);
    }
    return true;
}

bool parseIds(const QString &text, QList<int> *ids, QString *problem)
{
    QString inner = text.trimmed();
    if (inner.startsWith(QLatin1Char('{')) && inner.endsWith(QLatin1Char('}')))
        inner = inner.mid(1, inner.size() - 2);
    if (inner.trimmed().isEmpty())
        return true;
    for (const QString &piece : inner.split(QLatin1Char(','))) {
        qint64 id = 0;
        if (!parseWhole(FieldType::Int, piece, &id, problem)) {
            *problem = QStringLiteral("%1 is not a list of ids such as {3,17,4}: %2").arg(quoted(text), *problem);
            return false;
        }
        ids->append(int(id));
    }
    return true;
}

} // namespace

QStringList fieldNames(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Channel:
        return namesOf<pKanalDef_t>();
    case RecordKind::Tag:
        return namesOf<pEtiketDef_t>();
    case RecordKind::Alarm:
        break;
    }
    return namesOf<pAlarmItem_t>();
}

QString storableText(const QString &text)
{
    const auto keep = [&text](int i, int *length) {
        const QChar c = text.at(i);
        *length = 1;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            *length = 2;
            return true;
        }
        return !c.isSurrogate() && isStorable(c.unicode());
    };
    int length = 0;
    int i = 0;
    while (i < text.size() && keep(i, &length))
        i += length;
    if (i == text.size())
        return text; // the common case: no copy
    QString kept = text.left(i);
    for (; i < text.size(); i += length)
        if (keep(i, &length))
            kept += text.midRef(i, length);
    return kept;
}

QString realText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString singleText(double value)
{
    const float single = float(value);
    if (std::isnan(value) || std::isinf(value) || double(single) != value)
        return realText(value);
    // Singles need at most nine significant digits; the fewest that read back are shown.
    for (int digits = 1; digits < 9; ++digits) {
        const QString text = QString::number(value, 'g', digits);
        if (float(text.toDouble()) == single)
            return text;
    }
    return QString::number(value, 'g', 9);
}

QString cellText(FieldType type, const FieldValue &value)
{
    switch (type) {
    case FieldType::Text:
        return storableText(value.text);
    case FieldType::Double:
        return realText(value.real);
    case FieldType::Single:
        return singleText(value.real);
    case FieldType::IdList: {
        QString text = QStringLiteral("{");
        for (int i = 0; i < value.ids.size(); ++i) {
            if (i)
                text += QLatin1Char(',');
            text += QString::number(value.ids.at(i));
        }
        return text + QLatin1Char('}');
    }
    default:
        break;
    }
    return QString::number(value.integer);
}

bool parseCell(FieldType type, const QString &text, FieldValue *value, QString *problem)
{
    switch (type) {
    case FieldType::Text:
        value->text = storableText(text);
        return true;
    case FieldType::Bool: {
        const QString word = text.trimmed().toLower();
        if (word == QLatin1String("true") || word == QLatin1String("1")) {
            value->integer = 1;
            return true;
        }
        if (word == QLatin1String("false") || word == QLatin1String("0")) {
            value->integer = 0;
            return true;
        }
        *problem = QStringLiteral("%1 is neither 1, 0, true nor false").arg(quoted(text));
        return false;
    }
    case FieldType::Double:
    case FieldType::Single:
        return parseReal(type, text, &value->real, problem);
    case FieldType::IdList:
        return parseIds(text, &value->ids, problem);
    default:
        break;
    }
    return parseWhole(type, text, &value->integer, problem);
}
