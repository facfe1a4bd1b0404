#include "definitionsFile.h"

#include "canonicalForm.h"
#include "projectJournal.h"
#include "xmlCheck.h"

#include <zadururu/definitions/tgchFileProcessor.h>

#include <QDir>
#include <QFileInfo>

bool DefinitionsFile::open(const QString &path, ProjectAccess access, bool mayBeMissing)
{
    m_path = path;
    if (!lockProjectOf(path, access, &m_lock))
        return false;
    if (m_lock)
        m_relative = QDir(QFileInfo(m_lock->path()).absoluteFilePath()).relativeFilePath(QFileInfo(path).absoluteFilePath());
    if (!QFileInfo::exists(path) && mayBeMissing) {
        m_tree = TreePointer(TgchFileProcessor::loadFileData(QByteArray()), destroyFileDataTree);
        return true;
    }
    QByteArray bytes;
    if (!readXml(path, &bytes))
        return false;
    const QString root = documentElementName(bytes);
    if (root != QLatin1String("CTDefinitions")) {
        reportFileError(path, QStringLiteral("not a definitions file: its document element is \"%1\", not \"CTDefinitions\"").arg(root));
        return false;
    }
    m_tree = TreePointer(loadDefinitionsFile(path, bytes), destroyFileDataTree);
    if (!m_tree) {
        reportFileError(path, QStringLiteral("cannot be read: not enough memory"));
        return false;
    }
    return true;
}

bool DefinitionsFile::write(const QString &description, QString *error)
{
    if (!m_lock) {
        if (TgchFileProcessor::writeToFile(m_tree.get(), m_path))
            return true;
        *error = m_path + QStringLiteral(": cannot be written; it is unchanged");
        return false;
    }
    const QByteArray bytes = canonicalDefinitionsBytes(m_tree.get());
    if (bytes.isNull()) {
        *error = m_path + QStringLiteral(": its new version cannot be written in a scratch folder; nothing was changed");
        return false;
    }
    // The journal's messages name its files within the project: the file as
    // the user named it comes first.
    QString journalError;
    ProjectTransaction transaction(*m_lock, description);
    if (transaction.stage(m_relative, bytes, &journalError) && transaction.commit(&journalError))
        return true;
    *error = m_path + QStringLiteral(": cannot be written: ") + journalError;
    if (!transaction.committed())
        *error += QStringLiteral("; nothing was changed");
    return false;
}
