#include "definitionsFile.h"

#include "projectJournal.h"
#include "xmlCheck.h"

#include <zadururu/definitions/tgchFileProcessor.h>

#include <QFileInfo>

namespace {

const QString definitionsName = QStringLiteral("definitions.xml");

} // namespace

bool DefinitionsFile::open(const QString &path, bool mayBeMissing)
{
    m_path = path;
    const QFileInfo info(path);
    m_project = info.absoluteDir();
    m_inProject = info.fileName() == definitionsName && QFileInfo(m_project.filePath(QStringLiteral("pages"))).isDir();
    if (m_inProject) {
        QString error;
        if (!finishInterruptedRename(m_project, &error)) {
            reportFileError(m_project.path(), error);
            return false;
        }
    }
    if (!info.exists() && mayBeMissing) {
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
    m_tree = TreePointer(TgchFileProcessor::loadFileData(bytes), destroyFileDataTree);
    return true;
}

bool DefinitionsFile::write(const QString &description, QString *error)
{
    FileDataTree *tree = m_tree.get();
    if (!m_inProject) {
        if (TgchFileProcessor::writeToFile(tree, m_path))
            return true;
        *error = m_path + QStringLiteral(": cannot be written; it is unchanged");
        return false;
    }
    ProjectTransaction transaction(m_project, description);
    if (transaction.stage(definitionsName, [tree](const QString &path) { return TgchFileProcessor::writeToFile(tree, path); }, error)
        && transaction.commit(error))
        return true;
    if (!transaction.committed())
        *error += QStringLiteral("; nothing was changed");
    return false;
}
