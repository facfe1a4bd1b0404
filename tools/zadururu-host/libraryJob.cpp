#include "libraryJob.h"

#include <zadururu/library/scadaEngine.h>

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>

QList<ScadaLibObject *> readProjectLibrary(const QDir &project, QTextStream &err, bool *ok)
{
    // The engine's own paths are those of the installed editor; the
    // project's file is read through the same reader, by its own path.
    const QString path = project.filePath(QStringLiteral("library/objlib.xml"));
    ScadaEngine *engine = ScadaEngine::instance();
    const int before = engine->getLibraryObjectList().size();
    const bool read = engine->readLibDir(path);
    if (ok)
        *ok = read;
    if (!read) {
        err << path << ": cannot read the component library\n";
        return {};
    }
    return engine->getLibraryObjectList().mid(before);
}

QStringList componentsMissingFromLibrary(const QList<ScadaLibObject *> &library, const QStringList &componentUids)
{
    QSet<QString> known;
    for (const ScadaLibObject *object : library) {
        known.insert(QString::number(object->objectUID));
        if (!object->name.isEmpty())
            known.insert(object->name);
    }
    QStringList missing;
    QSet<QString> reported;
    for (const QString &uid : componentUids) {
        if (uid.isEmpty() || known.contains(uid) || reported.contains(uid))
            continue;
        reported.insert(uid);
        missing << uid;
    }
    return missing;
}

bool runLibraryJob(const QDir &project, const QStringList &usedComponentUids, QTextStream &out, QTextStream &err)
{
    const QString path = project.filePath(QStringLiteral("library/objlib.xml"));
    if (!QFileInfo::exists(path)) {
        out << "Component library: none (" << path << ")\n\n";
        return true;
    }
    bool read = false;
    const QList<ScadaLibObject *> library = readProjectLibrary(project, err, &read);
    if (!read)
        return false;
    out << "Component library " << path << ": " << library.size() << " components\n";
    for (const ScadaLibObject *object : library) {
        out << "  " << object->objectUID << ' ' << object->name << "  [" << object->objectCategory << "] "
            << object->width << 'x' << object->height << "  rtu " << object->rtuID << " register "
            << object->registerID << '\n';
        for (const QString &image : object->images) {
            const bool present = QFileInfo::exists(project.filePath(QStringLiteral("library/") + image));
            out << "      " << image << (present ? "" : "  (missing)") << '\n';
        }
    }
    const QStringList missing = componentsMissingFromLibrary(library, usedComponentUids);
    if (!usedComponentUids.isEmpty())
        out << "  used by the pages but not in the library: "
            << (missing.isEmpty() ? QStringLiteral("none") : missing.join(QStringLiteral(", "))) << '\n';
    out << '\n';
    return true;
}
