#include "regularFile.h"

#include <QFile>
#include <QLocale>

#include <new>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ZadUruru {

namespace {

QString tooLarge(qint64 limit)
{
    return QStringLiteral("is larger than %1").arg(QLocale::c().formattedDataSize(limit, 0));
}

// Why the file that @p status describes is not read; empty when it is.
QString refusal(const struct stat &status, qint64 limit)
{
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("is a folder, not a regular file");
    if (S_ISFIFO(status.st_mode))
        return QStringLiteral("is a FIFO, not a regular file");
    if (S_ISSOCK(status.st_mode))
        return QStringLiteral("is a socket, not a regular file");
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("is a device, not a regular file");
    if (status.st_size > limit)
        return tooLarge(limit);
    return QString();
}

void setError(QString *error, const QString &why)
{
    if (error)
        *error = why;
}

} // namespace

QByteArray readRegularFile(const QString &path, QString *error, qint64 limit)
{
    limit = qMin(limit, maxFileSize);
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    // Looked at first, so that a device is never opened nor a FIFO waited on
    // (and the open does not wait either); then again once open, since the
    // path may have changed in between.
    if (::stat(name.constData(), &status) != 0) {
        setError(error, QString::fromLocal8Bit(std::strerror(errno)));
        return QByteArray();
    }
    QString why = refusal(status, limit);
    if (!why.isEmpty()) {
        setError(error, why);
        return QByteArray();
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        setError(error, QString::fromLocal8Bit(std::strerror(errno)));
        return QByteArray();
    }
    QFile file; // closes the descriptor when it goes
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        setError(error, file.errorString());
        return QByteArray();
    }
    why = ::fstat(fd, &status) == 0 ? refusal(status, limit) : QString::fromLocal8Bit(std::strerror(errno));
    QByteArray bytes;
    if (why.isEmpty()) {
        try {
            bytes = file.readAll();
            // A file that grows as it is read, or that tells no size (as those
            // of /proc do), is judged by what it gave.
            if (file.error() != QFileDevice::NoError)
                why = file.errorString();
            else if (bytes.size() > limit)
                why = tooLarge(limit);
        } catch (const std::bad_alloc &) {
            why = QStringLiteral("is too large for the memory left");
        }
    }
    if (!why.isEmpty()) {
        setError(error, why);
        return QByteArray();
    }
    // An empty file was read all the same.
    return bytes.isNull() ? QByteArray("") : bytes;
}

} // namespace ZadUruru
