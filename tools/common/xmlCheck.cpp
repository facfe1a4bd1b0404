#include "xmlCheck.h"

#include <zadururu/common/wellFormed.h>

bool isWellFormedXml(const QByteArray &bytes, QString *problem)
{
    return isWellFormedXml(bytes, problem, nullptr);
}

bool isWellFormedXml(const QByteArray &bytes, QString *problem, QString *root)
{
    const ZadUruru::WellFormedness check = ZadUruru::checkWellFormed(bytes);
    if (check.wellFormed) {
        if (root)
            *root = check.root;
        return true;
    }
    if (problem) {
        if (bytes.trimmed().isEmpty())
            *problem = QStringLiteral("empty file");
        else if (check.line > 0)
            *problem = QStringLiteral("line %1, column %2: %3").arg(check.line).arg(check.column).arg(check.message);
        else
            *problem = check.message; // a limit judged before parsing, or the memory
    }
    return false;
}

QString documentElementName(const QByteArray &bytes)
{
    QString root;
    return isWellFormedXml(bytes, nullptr, &root) ? root : QString();
}
