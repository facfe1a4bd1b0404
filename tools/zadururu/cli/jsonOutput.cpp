#include "cli/jsonOutput.h"

#include "cli/commandLine.h"

#include <QJsonDocument>
#include <QTextStream>

QJsonObject jsonReport(const char *command)
{
    return QJsonObject{{QStringLiteral("schemaVersion"), jsonSchemaVersion},
                       {QStringLiteral("command"), QLatin1String(command)}};
}

void printJson(const QJsonObject &report)
{
    out() << QJsonDocument(report).toJson(QJsonDocument::Indented);
    out().flush();
}
