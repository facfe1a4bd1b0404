#include "projectFiles.h"

#include "projectLock.h"
#include "xmlCheck.h"

#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QFile>

bool checkWellFormed(const QString &relative, const QByteArray &bytes, QList<Problem> &problems, QString *root)
{
    QString problem;
    if (isWellFormedXml(bytes, &problem, root))
        return true;
    problems.append({relative, QString(), QStringLiteral("not well-formed XML: %1").arg(problem)});
    return false;
}

QByteArray readProjectFile(const QString &path, const QString &relative, QList<Problem> &problems)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problems.append({relative, QString(), QStringLiteral("cannot be read: %1").arg(file.errorString())});
        return QByteArray();
    }
    QByteArray bytes = file.readAll();
    if (bytes.isNull())
        bytes = QByteArray(""); // an empty file was read all the same
    return bytes;
}

QStringList projectPageFiles(const QDir &project)
{
    QStringList files;
    const QDir pageDir(project.filePath(QStringLiteral("pages")));
    for (const QString &name : pageDir.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name))
        files << QStringLiteral("pages/") + name;
    return files;
}

ProjectFiles::ProjectFiles(std::unique_ptr<ProjectLock> projectLock)
    : dir(projectLock->path())
    , lock(std::move(projectLock))
{
    const QDir &project = dir;
    const QStringList pageFiles = projectPageFiles(project);
    if (pageFiles.isEmpty())
        problems.append({QStringLiteral("pages"), QString(), QStringLiteral("no scene pages (*.xml) found")});
    for (const QString &relative : pageFiles) {
        const QByteArray bytes = readProjectFile(project.filePath(relative), relative, problems);
        if (bytes.isNull())
            continue;
        // The page keeps the file name it records, so that a rewrite keeps it
        // too. The loader refuses what is not well-formed; the parser says why.
        if (ScaFileData *data = ScaFileProcessor::loadFileData(bytes, QString()))
            pages.append({relative, data});
        else if (checkWellFormed(relative, bytes, problems))
            problems.append({relative, QString(), QStringLiteral("not a scene file")});
    }

    const QString definitionsFile = QStringLiteral("definitions.xml");
    if (!QFile::exists(project.filePath(definitionsFile))) {
        problems.append({definitionsFile, QString(), QStringLiteral("missing: no tag bindings can be checked")});
        return;
    }
    const QByteArray bytes = readProjectFile(project.filePath(definitionsFile), definitionsFile, problems);
    QString root;
    if (bytes.isNull() || !checkWellFormed(definitionsFile, bytes, problems, &root))
        return;
    if (root != QLatin1String("CTDefinitions"))
        problems.append({definitionsFile, QString(),
                         QStringLiteral("the document element is \"%1\", not \"CTDefinitions\"").arg(root)});
    definitions.reset(TgchFileProcessor::loadFileData(bytes));
}

ProjectFiles::~ProjectFiles()
{
    for (const ProjectPage &page : qAsConst(pages))
        destroyScaFileData(page.data);
}

const pEtiketDef_t *ProjectFiles::tag(int id) const
{
    if (!definitions)
        return nullptr;
    if (m_tags.isEmpty())
        for (const pEtiketDef_t *tag : definitions->tags)
            if (!m_tags.contains(tag->Id))
                m_tags.insert(tag->Id, tag);
    return m_tags.value(id);
}
