#include "projectFiles.h"

#include "projectLock.h"
#include "quotedText.h"
#include "xmlCheck.h"
#include "xmlSource.h"

#include <zadururu/common/regularFile.h>
#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QFile>
#include <QFileInfo>

namespace {

Finding fileProblem(FindingCode code, const QString &relative, const QString &message)
{
    return Finding{code, RecordRef{relative, {}, -1, -1, 0, {}}, 0, 0, message};
}

} // namespace

bool checkWellFormed(const QString &relative, const QByteArray &bytes, QList<Finding> &problems, QString *root)
{
    const XmlCheckResult check = checkXml(bytes);
    if (check.wellFormed) {
        if (root)
            *root = check.root;
        return true;
    }
    Finding problem = fileProblem(FindingCode::NotWellFormed, relative, QStringLiteral("not well-formed XML: ") + check.message);
    problem.line = check.line;
    problem.column = check.column;
    problems.append(problem);
    return false;
}

QByteArray readProjectFile(const QString &path, const QString &relative, QList<Finding> &problems)
{
    QString error;
    const QByteArray bytes = ZadUruru::readRegularFile(path, &error);
    if (bytes.isNull())
        problems.append(fileProblem(FindingCode::Unreadable, relative, QStringLiteral("cannot be read: %1").arg(error)));
    return bytes;
}

QStringList projectPageFiles(const QDir &project)
{
    QStringList files;
    const QDir pageDir(project.filePath(QStringLiteral("pages")));
    // FIFOs, sockets and devices named like pages too, so that they are named as problems, not passed over.
    for (const QString &name : pageDir.entryList({QStringLiteral("*.xml")}, QDir::Files | QDir::System, QDir::Name))
        files << QStringLiteral("pages/") + name;
    return files;
}

// The name of the document element of well-formed @p bytes, from its start tag alone.
static QString documentElementOf(const QByteArray &bytes)
{
    const XmlSource source(bytes);
    XmlWalker walker(source);
    while (!walker.atEnd())
        if (walker.next() == XmlWalker::StartElement)
            return walker.name().toString();
    return QString();
}

QString otherLetterCase(const QDir &folder, const QString &name)
{
    if (QFileInfo::exists(folder.filePath(name)))
        return QString();
    for (const QString &entry : folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    return QString();
}

QString notAProjectReason(const QDir &folder)
{
    if (QFileInfo(folder.filePath(QStringLiteral("pages"))).isDir()
        || QFileInfo::exists(folder.filePath(QStringLiteral("definitions.xml"))))
        return QString();
    QString reason = QStringLiteral("not a project folder: it holds neither a pages folder nor definitions.xml");
    QStringList others;
    for (const QString &name : {QStringLiteral("pages"), QStringLiteral("definitions.xml")}) {
        const QString other = otherLetterCase(folder, name);
        if (!other.isEmpty())
            others << QStringLiteral("%1 (the tool reads %2)").arg(quoted(other), quoted(name));
    }
    if (!others.isEmpty())
        reason += QStringLiteral(", but %1: names are told apart by letter case").arg(others.join(QStringLiteral(" and ")));
    return reason;
}

ProjectFiles::ProjectFiles(std::unique_ptr<ProjectLock> projectLock, const ProjectReadHooks &hooks)
    : dir(projectLock->path())
    , lock(std::move(projectLock))
{
    const QDir &project = dir;
    const QStringList pageFiles = projectPageFiles(project);
    if (pageFiles.isEmpty()) {
        const QString other = otherLetterCase(project, QStringLiteral("pages"));
        problems.append(fileProblem(FindingCode::MissingFile, QStringLiteral("pages"),
                                    other.isEmpty() ? QStringLiteral("no scene pages (pages/*.xml) found")
                                                    : QStringLiteral("missing, but there is %1: the tool reads "
                                                                     "pages from \"pages\", in lower case").arg(quoted(other))));
    }
    int done = 0;
    for (const QString &relative : pageFiles) {
        const QByteArray bytes = readProjectFile(project.filePath(relative), relative, problems);
        // The page keeps the file name it records, so that a rewrite keeps it
        // too. The loader refuses what is not well-formed; the parser says why.
        ScaFileData *data = bytes.isNull() ? nullptr : ScaFileProcessor::loadFileData(bytes, QString());
        if (data) {
            pages.append({relative, data});
            if (hooks.fileRead)
                hooks.fileRead(relative, bytes);
        } else if (!bytes.isNull() && checkWellFormed(relative, bytes, problems)) {
            problems.append(fileProblem(FindingCode::WrongDocument, relative, QStringLiteral("not a scene file")));
        }
        if (hooks.pageRead)
            hooks.pageRead(++done, pageFiles.size());
    }

    const QString definitionsFile = QStringLiteral("definitions.xml");
    if (!QFile::exists(project.filePath(definitionsFile))) {
        const QString other = otherLetterCase(project, definitionsFile);
        problems.append(fileProblem(FindingCode::MissingFile, definitionsFile,
                                    other.isEmpty() ? QStringLiteral("missing: no tag bindings can be checked")
                                                    : QStringLiteral("missing, but there is %1: the tool reads "
                                                                     "\"definitions.xml\", in lower case").arg(quoted(other))));
        return;
    }
    const QByteArray bytes = readProjectFile(project.filePath(definitionsFile), definitionsFile, problems);
    if (bytes.isNull())
        return;
    // The loader reads records from a well-formed document only; one that
    // gives none is checked whole, to tell an empty file from a broken one.
    definitions.reset(TgchFileProcessor::loadFileData(bytes));
    QString root;
    if (definitions->channels.size() > 1 || !definitions->tags.isEmpty() || !definitions->alarms.isEmpty()) {
        root = documentElementOf(bytes);
    } else if (!checkWellFormed(definitionsFile, bytes, problems, &root)) {
        definitions.reset();
        return;
    } else {
        // Well-formed and no records: an empty file, or one the loader ran
        // out of memory on, which from the file's path gives no tree at all.
        definitions.reset(TgchFileProcessor::loadFileData(project.filePath(definitionsFile)));
        if (!definitions) {
            problems.append(fileProblem(FindingCode::Unreadable, definitionsFile, QStringLiteral("cannot be read: not enough memory")));
            return;
        }
    }
    if (root != QLatin1String("CTDefinitions"))
        problems.append(fileProblem(FindingCode::WrongDocument, definitionsFile,
                                    QStringLiteral("the document element is \"%1\", not \"CTDefinitions\"").arg(root)));
    else if (hooks.fileRead)
        hooks.fileRead(definitionsFile, bytes);
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
