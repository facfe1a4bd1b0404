#include "xmlCheck.h"

#include <zadururu/common/xmlLimits.h>

#include <QDomDocument>

bool isWellFormedXml(const QByteArray &bytes, QString *problem)
{
    return isWellFormedXml(bytes, problem, nullptr);
}

bool isWellFormedXml(const QByteArray &bytes, QString *problem, QString *root)
{
    if (ZadUruru::isTooDeeplyNested(bytes)) {
        if (problem)
            *problem = QStringLiteral("elements nested more than %1 levels deep").arg(ZadUruru::maxXmlNestingDepth);
        return false;
    }
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    if (document.setContent(bytes, &message, &line, &column)) {
        if (root)
            *root = document.documentElement().tagName();
        return true;
    }
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
    if (ZadUruru::isTooDeeplyNested(bytes) || !document.setContent(bytes))
        return QString();
    return document.documentElement().tagName();
}
