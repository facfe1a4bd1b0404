#include "scaFileData.h"

ScaFileData::ScaFileData() = default;

ScadaObjectLoadData_t *ScaFileData::getBlock(int uid) const
{
    for (ScadaObjectLoadData_t *object : scadaObjects) {
        if (object && object->Uid == uid)
            return object;
    }
    return nullptr;
}

void ScaFileData::clear()
{
    scadaObjects.clear();
}

void ScaFileData::erase()
{
    while (!scadaObjects.isEmpty())
        delete scadaObjects.takeFirst();
}

void destroyScaFileData(ScaFileData *file)
{
    if (!file)
        return;
    file->erase();
    qDeleteAll(file->textItems);
    qDeleteAll(file->scheduleItems);
    qDeleteAll(file->rtChartItems);
    qDeleteAll(file->dbqTextItems);
    qDeleteAll(file->tableItems);
    delete file;
}
