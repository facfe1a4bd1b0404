#include "projectJournal.h"

#include "xmlCheck.h"

#include <QDirIterator>
#include <QFile>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

const QString stagingName = QStringLiteral(".zadururu-journal.new");
const QString journalName = QStringLiteral(".zadururu-journal");
const QString operationName = QStringLiteral("operation");
const QString filesName = QStringLiteral("files");

// Flushes a file or folder to the disk; a rename is only as durable as the
// folders that hold both names.
bool flushToDisk(const QString &path, bool folder = false)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | (folder ? O_DIRECTORY : 0));
    if (fd < 0)
        return false;
    const bool flushed = ::fsync(fd) == 0;
    ::close(fd);
    return flushed;
}

bool renamePath(const QString &from, const QString &to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// For the tests of a full disk: the Nth staged file is cut short after it is
// written, as a disk that fills up leaves a file whose writer did not notice.
bool cutShortForTest(int staged)
{
    static const int cut = qEnvironmentVariableIntValue("ZADURURU_SIMULATE_FULL_DISK");
    return cut > 0 && staged == cut;
}

// Moves every file of the committed journal @p journal over its project file, then removes the journal.
bool rollForward(const QDir &project, const QDir &journal, QString *error)
{
    const QDir files(journal.filePath(filesName));
    QStringList staged;
    QDirIterator it(files.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        staged << files.relativeFilePath(it.next());
    QSet<QString> folders;
    for (const QString &relative : qAsConst(staged)) {
        const QString target = project.filePath(relative);
        const QString folder = QFileInfo(target).absolutePath();
        if (!QDir().mkpath(folder) || !renamePath(files.filePath(relative), target)) {
            *error = QStringLiteral("%1: cannot be put in place from %2 (%3)")
                         .arg(relative, journal.path(), QString::fromLocal8Bit(strerror(errno)));
            return false;
        }
        folders.insert(folder);
    }
    for (const QString &folder : qAsConst(folders))
        flushToDisk(folder, true);
    if (!QDir(journal.path()).removeRecursively()) {
        *error = journal.path() + QStringLiteral(": cannot be removed");
        return false;
    }
    flushToDisk(project.path(), true);
    return true;
}

} // namespace

ProjectTransaction::ProjectTransaction(const QDir &project, const QString &description)
    : m_project(project.absolutePath())
    , m_description(description)
{
}

ProjectTransaction::~ProjectTransaction()
{
    if (m_started && !m_committed)
        QDir(m_project.filePath(stagingName)).removeRecursively();
}

bool ProjectTransaction::stage(const QString &relative, const std::function<bool(const QString &)> &write,
                               QString *error)
{
    const QDir staging(m_project.filePath(stagingName));
    if (!m_started) {
        m_started = true;
        if ((staging.exists() && !QDir(staging.path()).removeRecursively())
            || !QDir().mkpath(staging.filePath(filesName))) {
            *error = staging.path() + QStringLiteral(": cannot be created");
            return false;
        }
    }
    const QString path = staging.filePath(filesName + QLatin1Char('/') + relative);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !write(path)) {
        *error = relative + QStringLiteral(": its new version cannot be written");
        return false;
    }
    m_staged << relative;
    QFile file(path);
    if (cutShortForTest(m_staged.size()) && file.open(QIODevice::ReadWrite))
        file.resize(file.size() / 2);
    file.close();
    QString problem;
    if (!file.open(QIODevice::ReadOnly) || !isWellFormedXml(file.readAll(), &problem) || !flushToDisk(path)) {
        *error = relative + QStringLiteral(": its new version did not reach the disk whole (is the disk full?)");
        return false;
    }
    return true;
}

bool ProjectTransaction::commit(QString *error)
{
    const QDir staging(m_project.filePath(stagingName));
    QFile operation(staging.filePath(operationName));
    const QByteArray text = (m_description + QLatin1Char('\n') + m_staged.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    if (!m_started || !operation.open(QIODevice::WriteOnly) || operation.write(text) != text.size()
        || !operation.flush() || !flushToDisk(operation.fileName())) {
        *error = operation.fileName() + QStringLiteral(": cannot be written (is the disk full?)");
        return false;
    }
    operation.close();
    QSet<QString> folders{staging.path(), staging.filePath(filesName)};
    for (const QString &relative : qAsConst(m_staged))
        folders.insert(QFileInfo(staging.filePath(filesName + QLatin1Char('/') + relative)).absolutePath());
    for (const QString &folder : qAsConst(folders))
        if (!flushToDisk(folder, true)) {
            *error = folder + QStringLiteral(": cannot be flushed to the disk");
            return false;
        }
    const QString journal = m_project.filePath(journalName);
    if (!renamePath(staging.path(), journal)) {
        *error = journal + QStringLiteral(": cannot be created");
        return false;
    }
    m_committed = true;
    flushToDisk(m_project.path(), true);
    if (rollForward(m_project, QDir(journal), error))
        return true;
    *error += QStringLiteral("; the next run of zadururu on the project finishes the change");
    return false;
}

bool finishInterruptedRename(const QDir &project, QString *error)
{
    const QDir staging(project.filePath(stagingName));
    if (staging.exists() && !QDir(staging.path()).removeRecursively()) {
        *error = staging.path() + QStringLiteral(": an unfinished change cannot be removed");
        return false;
    }
    const QDir journal(project.filePath(journalName));
    if (!journal.exists())
        return true;
    QFile operation(journal.filePath(operationName));
    const QString what = operation.open(QIODevice::ReadOnly) ? QString::fromUtf8(operation.readLine()).trimmed()
                                                             : QStringLiteral("a change");
    if (!rollForward(project, journal, error))
        return false;
    fprintf(stderr, "zadururu: %s: finished an interrupted change: %s\n", qPrintable(project.path()), qPrintable(what));
    return true;
}
