#include "projectImages.h"

#include <zadururu/library/scadaLibObject.h>

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool readRegularFile(const QString &path, qint64 maxBytes, QByteArray *bytes, QString *problem)
{
    const auto fail = [problem](const QString &why) {
        if (problem)
            *problem = why;
        return false;
    };
    // O_NONBLOCK: opening a FIFO must not wait for a writer; O_NOFOLLOW: the
    // name was checked, the link it might have become since is not followed.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(errno == ELOOP ? QStringLiteral("is a symbolic link") : QString::fromLocal8Bit(strerror(errno)));
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(QStringLiteral("not a regular file"));
    }
    if (st.st_size > maxBytes) {
        ::close(fd);
        return fail(QStringLiteral("larger than %1 MiB").arg(maxBytes / (1024 * 1024)));
    }
    QByteArray data;
    data.resize(int(st.st_size));
    qint64 have = 0;
    while (have < data.size()) {
        const ssize_t n = ::read(fd, data.data() + have, size_t(data.size() - have));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const QString why = QString::fromLocal8Bit(strerror(errno));
            ::close(fd);
            return fail(why);
        }
        if (n == 0)
            break; // it shrank meanwhile: what is there is all there is
        have += n;
    }
    ::close(fd);
    data.truncate(int(have));
    *bytes = data;
    return true;
}

ProjectImages::ProjectImages(const QDir &project)
    : m_root(QFileInfo(project.path()).canonicalFilePath())
{
    if (!m_root.isEmpty() && !m_root.endsWith(QLatin1Char('/')))
        m_root += QLatin1Char('/');
}

QString ProjectImages::resolve(const QString &name, const QDir &base, QString *problem) const
{
    const auto fail = [problem](const QString &why) {
        if (problem)
            *problem = why;
        return QString();
    };
    if (name.isEmpty() || name.contains(QChar(0)))
        return fail(QStringLiteral("no file named"));
    if (m_root.isEmpty())
        return fail(QStringLiteral("the project folder cannot be found"));
    const QString candidate = QDir::isAbsolutePath(name) ? name : base.absoluteFilePath(name);
    const QFileInfo info(candidate);
    // The canonical path resolves every link and "..": whatever it leads to
    // must still lie inside the project.
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty())
        return fail(QStringLiteral("no such file"));
    if (!canonical.startsWith(m_root))
        return fail(QStringLiteral("lies outside the project folder"));
    return canonical;
}

QImage ProjectImages::image(const QString &name, const QDir &base, QString *problem)
{
    QString why;
    const QString path = resolve(name, base, &why);
    if (path.isEmpty()) {
        if (problem)
            *problem = why;
        return QImage();
    }
    const auto cached = m_images.constFind(path);
    if (cached != m_images.constEnd()) {
        if (problem)
            *problem = m_problems.value(path);
        return *cached;
    }
    QByteArray bytes;
    QImage image;
    if (readRegularFile(path, maxImageFileBytes, &bytes, &why)) {
        image = QImage::fromData(bytes);
        if (image.isNull())
            why = QStringLiteral("not an image Qt can read");
    }
    m_images.insert(path, image);
    m_problems.insert(path, why);
    if (problem)
        *problem = why;
    return image;
}

QImage ProjectImages::background(const QString &pageBgImage, const QDir &project, const QDir &pageFolder,
                                 QString *problem)
{
    if (problem)
        problem->clear();
    if (pageBgImage.trimmed().isEmpty())
        return QImage();
    QString why;
    QImage found = image(pageBgImage, project, &why);
    if (found.isNull() && !QDir::isAbsolutePath(pageBgImage)) {
        QString inPageFolder;
        found = image(pageBgImage, pageFolder, &inPageFolder);
        // "no such file" in both places says least; another reason says more.
        if (found.isNull() && why == QLatin1String("no such file"))
            why = inPageFolder;
    }
    if (found.isNull() && problem)
        *problem = why;
    return found;
}

QHash<QString, QString> componentImageNames(const QList<ScadaLibObject *> &library)
{
    QHash<QString, QString> names;
    for (const ScadaLibObject *object : library) {
        if (object->images.isEmpty())
            continue;
        // The first component of an id or a name is the one an instance shows.
        const QString id = QString::number(object->objectUID);
        if (!names.contains(id))
            names.insert(id, object->images.first());
        if (!object->name.isEmpty() && !names.contains(object->name))
            names.insert(object->name, object->images.first());
    }
    return names;
}
