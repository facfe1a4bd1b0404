#include "canonicalForm.h"

#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QBuffer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QXmlStreamWriter>

#include <functional>

namespace {

// What @p write writes to a file in a scratch folder of its own, named @p name.
QByteArray writtenInScratch(const std::function<bool(const QString &path)> &write, QString *path)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return QByteArray();
    *path = scratch.filePath(QStringLiteral("file.xml"));
    QFile file(*path);
    if (!write(*path) || !file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// @p text as the stream writer writes character data.
QByteArray characterData(const QString &text)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&buffer);
    writer.writeTextElement(QStringLiteral("x"), text);
    return bytes.mid(3, bytes.size() - 3 - 4);
}

} // namespace

QByteArray canonicalPageBytes(ScaFileData *page, const QString &fileName)
{
    QString path;
    QByteArray bytes = writtenInScratch([page](const QString &p) { return ScaFileProcessor::saveFileData(page, p); }, &path);
    const QByteArray written = "<fileName>" + characterData(path) + "</fileName>";
    const int at = bytes.indexOf(written);
    if (bytes.isNull() || at < 0)
        return QByteArray();
    return bytes.replace(at, written.size(), "<fileName>" + characterData(fileName) + "</fileName>");
}

QByteArray canonicalDefinitionsBytes(FileDataTree *definitions)
{
    QString path;
    return writtenInScratch([definitions](const QString &p) { return TgchFileProcessor::writeToFile(definitions, p); }, &path);
}

bool replaceFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    // Never in place: a cut write would leave a cut file.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
