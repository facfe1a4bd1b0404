#include "projectDataTree.h"

#include <QtGlobal>

ProjectDataTree::ProjectDataTree() = default;

// A single forward pass: after a collision the new candidate is compared only
// with the instances not visited yet.
int ProjectDataTree::requestUniqueId()
{
    int candidate = qrand();
    for (const ScaFileData *file : qAsConst(files)) {
        if (!file)
            continue;
        for (const ScadaObjectLoadData_t *object : file->scadaObjects) {
            if (object && object->Uid == candidate)
                candidate = qrand();
        }
    }
    return candidate;
}

bool ProjectDataTree::containsFileName(QString name)
{
    return files.contains(name);
}

ScaFileData *ProjectDataTree::getFiledataWithName(QString name)
{
    return files.value(name, nullptr);
}

ScadaObjectLoadData_t *ProjectDataTree::getBlock(int uid)
{
    for (const ScaFileData *file : qAsConst(files)) {
        if (ScadaObjectLoadData_t *object = file ? file->getBlock(uid) : nullptr)
            return object;
    }
    return nullptr;
}

QString ProjectDataTree::getFileNameContainingBlock(int uid)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (it.value() && it.value()->getBlock(uid))
            return it.key();
    }
    return QString();
}

QString ProjectDataTree::getFileNameWithPageId(int pageId)
{
    for (const ScaFileData *file : qAsConst(files)) {
        if (file && file->pageProperties.pageID == pageId)
            return file->pageProperties.fileName;
    }
    return QString();
}

QList<ScadaObjectLoadData_t *> ProjectDataTree::getAllBlocks()
{
    QList<ScadaObjectLoadData_t *> all;
    for (const ScaFileData *file : qAsConst(files)) {
        if (file)
            all += file->scadaObjects;
    }
    return all;
}

void ProjectDataTree::selfDestruct()
{
    for (ScaFileData *file : qAsConst(files)) {
        if (file) {
            file->erase();
            delete file;
        }
    }
    files.clear();
}
