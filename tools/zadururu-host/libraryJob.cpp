#include "libraryJob.h"

#include <zadururu/library/scadaEngine.h>

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

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
