#include "recordRef.h"

#include "pageTags.h"

#include "quotedText.h"

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
    // Records of the kinds that have names always give one, empty if need be.
    if (!name.isNull() || kind == QLatin1String("component") || kind == QLatin1String("channel")
        || kind == QLatin1String("tag") || kind == QLatin1String("alarm") || kind == QLatin1String("library component"))
        o.insert(QStringLiteral("name"), name.isNull() ? QString(QLatin1String("")) : name);
    return o;
}

QString RecordRef::text() const
{
    if (isFile())
        return QString();
    QString text = kind;
    if (!name.isNull() && index == 0)
        text += QLatin1Char(' ') + quoted(name);
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

RecordRef bindingRecord(const QString &file, const TagBinding &binding)
{
    RecordRef record{file, binding.kind, -1, -1, 0, {}};
    if (binding.kind == QLatin1String("component")) {
        record.uid = binding.uid;
        record.name = binding.name;
    } else if (binding.kind == QLatin1String("alarm")) {
        record.id = binding.uid;
        record.name = binding.name;
    } else {
        record.index = binding.index;
    }
    return record;
}
