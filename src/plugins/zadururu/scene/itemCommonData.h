#pragma once

#include <QString>
#include <QtGlobal>

/// The part every scene item shares: geometry, stacking, flips, group and the
/// kind code the host sorts items by. Each item record owns one.
struct ItemCommonData_t
{
    int X = 0;
    int Y = 0;
    int W = 0;
    int H = 0;
    int ZVAL = 0;
    int GZVAL = 0;
    int Rot = 0;
    bool HFlip = false;
    bool VFlip = false;
    quint64 GroupId = 0;
    QString Name;          ///< instance name; only component instances store it
    int itemTypeCode = 0;  ///< kind code for the host; never stored in the file
};

/**
 * The base of every item record: the pointer to the record's own common
 * data, which the record owns and frees with itself. Records are not copied.
 */
struct ItemRecord
{
    ItemRecord() = default;
    ~ItemRecord() { delete common; }
    ItemRecord(const ItemRecord &) = delete;
    ItemRecord &operator=(const ItemRecord &) = delete;

    ItemCommonData_t *common = nullptr;
};
