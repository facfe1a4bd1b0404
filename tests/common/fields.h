#pragma once

// Records as "field=value|field=value" text, so that a test compares every
// field of a record at once and a wrong value names its field.

#include <QList>
#include <QRegularExpression>
#include <QStringList>

inline QString str(qint64 v) { return QString::number(v); }
inline QString str(int v) { return QString::number(v); }
inline QString str(quint64 v) { return QString::number(v); }
inline QString str(uint v) { return QString::number(v); }
inline QString str(bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); }
// Nine significant digits tell every two floats apart.
inline QString str(float v) { return QString::number(double(v), 'g', 9); }
inline QString str(const QString &v) { return v; }
inline QString str(const void *v) { return v ? QStringLiteral("set") : QStringLiteral("null"); }
template<typename T>
QString str(const QList<T> &v)
{
    QStringList l;
    for (const T &x : v)
        l << str(x);
    return '[' + l.join(',') + ']';
}

#define FIELD(m) QStringLiteral(#m "=") + str(r.m)

/// @p defaults with the fields named in @p changes ("field=value|...") replaced.
inline QString withChanges(const QString &defaults, const QString &changes)
{
    QStringList fields = defaults.split('|');
    for (const QString &change : changes.split('|', Qt::SkipEmptyParts)) {
        const QRegularExpression field('^' + change.section('=', 0, 0) + "=.*", QRegularExpression::DotMatchesEverythingOption);
        if (fields.indexOf(field) < 0)
            return "no field " + change;
        fields.replaceInStrings(field, change);
    }
    return fields.join('|');
}
