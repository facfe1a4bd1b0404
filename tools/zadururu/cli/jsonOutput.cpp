#include "cli/jsonOutput.h"

#include "cli/commandLine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

QJsonObject jsonReport(const char *command)
{
    return QJsonObject{{QStringLiteral("schemaVersion"), jsonSchemaVersion},
                       {QStringLiteral("command"), QLatin1String(command)}};
}

QJsonObject jsonReport(const char *command, const QJsonObject &members)
{
    QJsonObject report = members;
    const QJsonObject envelope = jsonReport(command);
    for (auto it = envelope.begin(); it != envelope.end(); ++it)
        report.insert(it.key(), it.value());
    return report;
}

void printJson(const QJsonObject &report)
{
    // QJsonObject keeps its members in name order; the envelope's two go first.
    QJsonObject rest = report;
    rest.remove(QStringLiteral("schemaVersion"));
    rest.remove(QStringLiteral("command"));
    const QByteArray command = QJsonDocument(QJsonArray{report.value(QStringLiteral("command"))}).toJson(QJsonDocument::Compact);
    QByteArray text = "{\n    \"schemaVersion\": " + QByteArray::number(report.value(QStringLiteral("schemaVersion")).toInt())
                      + ",\n    \"command\": " + command.mid(1, command.size() - 2);
    const QByteArray members = QJsonDocument(rest).toJson(QJsonDocument::Indented);
    text += rest.isEmpty() ? QByteArray("\n}\n") : ",\n" + members.mid(2); // past the "{\n" of the others
    out() << QString::fromUtf8(text);
    out().flush();
}
