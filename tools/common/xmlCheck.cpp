#include "xmlCheck.h"

#include <zadururu/common/wellFormed.h>
#include <zadururu/common/xmlLimits.h>

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
    const ZadUruru::WellFormedness check = ZadUruru::checkWellFormed(bytes);
    if (check.wellFormed) {
        if (root)
            *root = check.root;
        return true;
    }
    if (problem) {
        if (bytes.trimmed().isEmpty())
            *problem = QStringLiteral("empty file");
        else
            *problem = QStringLiteral("line %1, column %2: %3").arg(check.line).arg(check.column).arg(check.message);
    }
    return false;
}

QString documentElementName(const QByteArray &bytes)
{
    QString root;
    return isWellFormedXml(bytes, nullptr, &root) ? root : QString();
}
