#include "xmlCheck.h"

#include <zadururu/common/wellFormed.h>
#include <zadururu/definitions/tgchFileProcessor.h>

XmlCheckResult checkXml(const QByteArray &bytes)
{
    XmlCheckResult result;
    // A document past a limit of the library's readers is refused too, with
    // the limit's message: at the element too deep, or for the whole document.
    const ZadUruru::WellFormedness check = ZadUruru::checkWellFormed(bytes);
    result.wellFormed = check.wellFormed;
    if (check.wellFormed) {
        result.root = check.root;
    } else if (bytes.trimmed().isEmpty()) {
        result.message = QStringLiteral("empty file");
    } else {
        result.message = check.message;
        result.line = check.line;
        result.column = check.column;
    }
    return result;
}

bool isWellFormedXml(const QByteArray &bytes, QString *problem)
{
    return isWellFormedXml(bytes, problem, nullptr);
}

bool isWellFormedXml(const QByteArray &bytes, QString *problem, QString *root)
{
    const XmlCheckResult check = checkXml(bytes);
    if (check.wellFormed) {
        if (root)
            *root = check.root;
        return true;
    }
    if (problem)
        *problem = check.line > 0 ? QStringLiteral("line %1, column %2: %3").arg(check.line).arg(check.column).arg(check.message)
                                  : check.message;
    return false;
}

QString documentElementName(const QByteArray &bytes)
{
    QString root;
    return isWellFormedXml(bytes, nullptr, &root) ? root : QString();
}

FileDataTree *loadDefinitionsFile(const QString &path, const QByteArray &bytes)
{
    FileDataTree *tree = TgchFileProcessor::loadFileData(bytes);
    if (tree->channels.size() > 1 || !tree->tags.isEmpty() || !tree->alarms.isEmpty())
        return tree;
    destroyFileDataTree(tree);
    return TgchFileProcessor::loadFileData(path);
}
