#include "xmlCheck.h"

#include <QDomDocument>

bool isWellFormedXml(const QByteArray &bytes, QString *problem)
{
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    if (document.setContent(bytes, &message, &line, &column))
        return true;
    if (problem) {
        if (bytes.trimmed().isEmpty())
            *problem = QStringLiteral("empty file");
        else
            *problem = QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(message);
    }
    return false;
}

QString documentElementName(const QByteArray &bytes)
{
    QDomDocument document;
    if (!document.setContent(bytes))
        return QString();
    return document.documentElement().tagName();
}
