#include "reportFolder.h"

#include "quotedText.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const QString ReportFolder::markerName = QStringLiteral(".zadururu-report");

namespace {

// What the top of a report holds; a previous report with anything else in it
// is not replaced, since that would remove what someone put there.
const QSet<QString> reportEntries{QStringLiteral("index.html"),
                                  QStringLiteral("channels.html"), QStringLiteral("tags.html"),
                                  QStringLiteral("alarms.html"),   QStringLiteral("library.html"),
                                  QStringLiteral("findings.html"), QStringLiteral("pages"),
                                  QStringLiteral("data"),          QStringLiteral("assets"),
                                  QStringLiteral("library"),       ReportFolder::markerName};

const char stagingInfix[] = ".report-staging-";

QString errnoText()
{
    return QString::fromLocal8Bit(strerror(errno));
}

// Swaps two paths in one step where the file system can; elsewhere the target
// is moved aside first (a moment without it, never a half-written report).
bool exchange(const QByteArray &from, const QByteArray &to, bool targetExists)
{
    if (!targetExists)
        return ::rename(from.constData(), to.constData()) == 0;
#ifdef RENAME_EXCHANGE
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
#endif
    const QByteArray aside = from + ".old";
    if (::rename(to.constData(), aside.constData()) != 0)
        return false;
    if (::rename(from.constData(), to.constData()) != 0) {
        ::rename(aside.constData(), to.constData());
        return false;
    }
    return ::rename(aside.constData(), from.constData()) == 0;
}

} // namespace

ReportFolder::ReportFolder(const QString &target)
    : m_target(QDir::cleanPath(QDir(target).absolutePath()))
{
}

ReportFolder::~ReportFolder()
{
    if (!m_staging.isEmpty())
        QDir(m_staging).removeRecursively(); // removes links, never what they point to
}

bool ReportFolder::fail(const QString &message)
{
    m_error = message;
    return false;
}

bool ReportFolder::prepare()
{
    const QFileInfo info(m_target);
    const QDir parent = info.dir();
    if (info.isSymLink())
        return fail(QStringLiteral("is a symbolic link; name the folder it leads to, or a new one"));
    if (!parent.exists())
        return fail(QStringLiteral("its parent folder %1 does not exist").arg(parent.path()));
    if (info.exists()) {
        if (!info.isDir())
            return fail(QStringLiteral("exists and is not a folder"));
        const QStringList entries = QDir(m_target).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                             | QDir::NoDotAndDotDot);
        if (!entries.isEmpty()) {
            if (!entries.contains(markerName))
                return fail(QStringLiteral("is not empty and holds no report (no %1 in it); name a new or empty "
                                           "folder, or a previous report")
                                .arg(markerName));
            for (const QString &entry : entries)
                if (!reportEntries.contains(entry))
                    return fail(QStringLiteral("holds a previous report and %1, which a report does not write; "
                                               "move that away first")
                                    .arg(quoted(entry)));
            m_replaces = true;
        }
    }

    // Staging folders of runs that were killed: their process is gone.
    const QString prefix = QLatin1Char('.') + info.fileName() + QLatin1String(stagingInfix);
    for (const QFileInfo &left : parent.entryInfoList({prefix + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden)) {
        bool number = false;
        const int pid = left.fileName().mid(prefix.size()).section(QLatin1Char('.'), 0, 0).toInt(&number);
        if (number && pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH && !left.isSymLink())
            QDir(left.filePath()).removeRecursively();
    }

    m_staging = parent.filePath(prefix + QString::number(::getpid()));
    QDir(m_staging).removeRecursively();
    if (::mkdir(QFile::encodeName(m_staging).constData(), 0755) != 0) {
        const QString why = errnoText();
        m_staging.clear();
        return fail(QStringLiteral("cannot create a folder beside it: %1").arg(why));
    }
    return true;
}

bool ReportFolder::commit()
{
    QFile marker(QDir(m_staging).filePath(markerName));
    if (!marker.open(QIODevice::WriteOnly)
        || marker.write("A report written by zadururu report; running it again replaces this folder.\n") < 0) {
        return fail(QStringLiteral("cannot write in %1: %2").arg(m_staging, marker.errorString()));
    }
    marker.close();

    // Every file of the report reaches the disk before the report takes the
    // target's place: a crash then leaves the old report or the new one.
    const int fd = ::open(QFile::encodeName(m_staging).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::syncfs(fd) != 0) {
        const QString why = errnoText();
        if (fd >= 0)
            ::close(fd);
        return fail(QStringLiteral("cannot flush %1 to the disk: %2").arg(m_staging, why));
    }
    ::close(fd);

    // Checked again at the last moment: another run may have put something there meanwhile.
    const QFileInfo now(m_target);
    if (now.isSymLink() || (now.exists() && !now.isDir()))
        return fail(QStringLiteral("changed while the report was written"));
    const bool exists = now.exists();
    if (exists && !m_replaces
        && !QDir(m_target).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).isEmpty())
        return fail(QStringLiteral("changed while the report was written"));
    if (!exchange(QFile::encodeName(m_staging), QFile::encodeName(m_target), exists))
        return fail(QStringLiteral("cannot move the report into place: %1").arg(errnoText()));
    // The staging name now holds the previous report (or the empty folder), removed by the destructor.
    const int parentFd = ::open(QFile::encodeName(QFileInfo(m_target).path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd >= 0) {
        ::fsync(parentFd);
        ::close(parentFd);
    }
    return true;
}
