#include "projectLibrary.h"

#include <zadururu/library/scadaEngine.h>

#include <QDir>
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
