#include "wholeFileWriter_p.h"

#include <QFileInfo>
#include <QSaveFile>

namespace ZadUruru {

bool writeWholeFile(const QString &path, const std::function<bool(QIODevice *)> &produce)
{
    // A target we may not write is not replaced behind its owner's back,
    // even though its directory would let us rename a new file over it.
    const QFileInfo target(path);
    if (target.exists() && (!target.isFile() || !target.isWritable()))
        return false;

    QSaveFile file(path);
    // A directory we may not create files in, holding a target we may write:
    // writing in place is then the only way to save at all.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() flushes the last buffered bytes itself, but Qt loses an error
    // of that flush and would rename a cut file over the target: flush first.
    if (!produce(&file) || !file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace ZadUruru
