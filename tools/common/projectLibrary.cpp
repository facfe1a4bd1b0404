#include "projectLibrary.h"

#include <zadururu/library/scadaEngine.h>

#include <QDir>
#include <QSet>
#include <QTextStream>

QList<ScadaLibObject *> readLibraryFile(const QString &path, bool *ok)
{
    // The engine's own paths are those of the installed editor; other files
    // are read through the same reader, by their own path. It files what it
    // reads by the file's name, as the component library or user components.
    ScadaEngine *engine = ScadaEngine::instance();
    const int library = engine->getLibraryObjectList().size();
    const int user = engine->getUserObjectList().size();
    const bool read = engine->readLibDir(path);
    if (ok)
        *ok = read;
    if (!read)
        return {};
    return engine->getLibraryObjectList().mid(library) + engine->getUserObjectList().mid(user);
}

QList<ScadaLibObject *> readProjectLibrary(const QDir &project, QTextStream &err, bool *ok)
{
    const QString path = project.filePath(QStringLiteral("library/objlib.xml"));
    bool read = false;
    const QList<ScadaLibObject *> objects = readLibraryFile(path, &read);
    if (ok)
        *ok = read;
    if (!read)
        err << path << ": cannot read the component library\n";
    return objects;
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
