#include "recordRef.h"

QJsonObject RecordRef::toJson() const
{
    QJsonObject o{{QStringLiteral("file"), file}};
    if (isFile())
        return o;
    o.insert(QStringLiteral("kind"), kind);
    if (uid != -1 || kind == QLatin1String("component"))
        o.insert(QStringLiteral("uid"), double(uid));
    if (id != -1 || kind == QLatin1String("channel") || kind == QLatin1String("tag") || kind == QLatin1String("alarm")
        || kind == QLatin1String("library component"))
        o.insert(QStringLiteral("id"), double(id));
    if (index > 0)
        o.insert(QStringLiteral("index"), index);
    if (!name.isNull())
        o.insert(QStringLiteral("name"), name);
    return o;
}

QString RecordRef::text() const
{
    if (isFile())
        return QString();
    QString text = kind;
    if (!name.isNull() && index == 0)
        text += QStringLiteral(" \"%1\"").arg(name);
    if (kind == QLatin1String("component"))
        return text + QStringLiteral(" (Uid %1)").arg(uid);
    if (kind == QLatin1String("library component"))
        return text + QStringLiteral(" (objectUID %1)").arg(id);
    if (id != -1 || kind == QLatin1String("channel") || kind == QLatin1String("tag") || kind == QLatin1String("alarm"))
        return text + QStringLiteral(" (Id %1)").arg(id);
    if (index > 0)
        return text + QLatin1Char(' ') + QString::number(index);
    return text;
}
