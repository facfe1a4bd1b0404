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
