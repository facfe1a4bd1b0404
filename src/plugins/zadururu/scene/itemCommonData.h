#pragma once

/**
 * @file itemCommonData.h
 * @brief The part every scene item shares (ItemCommonData_t) and the base of
 * every item record (ItemRecord).
 */

#include <QString>
#include <QtGlobal>

/**
 * The part every scene item shares: geometry, stacking, flips, group and the
 * kind code the host sorts items by. Each item record points to its own.
 *
 * Positions and sizes are in page units: the page is PagePropertiesData_t::W
 * by PagePropertiesData_t::H of them, with (0, 0) at its top left corner.
 * Every kind but text items stores these fields as the attributes of a
 * `Geometry` element (`X`, `Y`, `W`, `H`, `Rot`, `ZVAL`, `GZVAL`, `HFlip`,
 * `VFlip`) and the group as the `GroupId` attribute of `Properties`; text
 * items store them as elements of their own (see TextItemLoadData_t). A value
 * that is absent reads as 0 (false), one that is not a number as 0.
 */
struct ItemCommonData_t
{
    /**
     * Left edge of the item on the page. Read as a decimal number and cut
     * toward zero: 12.7 reads as 12, -0.5 as 0.
     */
    int X = 0;
    /// Top edge of the item on the page; read like #X.
    int Y = 0;
    /// Width of the item. Read as a whole number: 12.5 is not one and reads as 0.
    int W = 0;
    /// Height of the item; read like #W.
    int H = 0;
    /// Stacking value of the item among the page's items: a higher value lies above a lower one.
    int ZVAL = 0;
    /**
     * Stacking value of the item's group, for an item in a group (#GroupId).
     * A text item stores it as the `GZVAL` attribute of its `Properties`
     * element, or in a `GZVal` element in older files; see TextItemLoadData_t.
     */
    int GZVAL = 0;
    /**
     * Rotation of the item in whole degrees, as the editor applies it
     * (`zadururu render` turns the item clockwise about its centre). Any
     * value is kept; nothing reduces it to 0 to 359.
     */
    int Rot = 0;
    /// Mirrored left to right. Stored as "0" or "1"; any number but 0 reads as true. Text items keep false.
    bool HFlip = false;
    /// Mirrored top to bottom; stored and read like #HFlip.
    bool VFlip = false;
    /**
     * Id of the group the item belongs to; 0 for an item in no group. An
     * unsigned 64-bit number: the largest value is kept, a negative one reads as 0.
     */
    quint64 GroupId = 0;
    /// Instance name. Only component instances store it (attribute `Name` of `Properties`); empty for other kinds.
    QString Name;
    /**
     * The kind of the item as the host numbers it, set by the readers and
     * never stored in the file: 1 for component instances and schedules,
     * 2 for texts, 5 for real-time charts and query texts, 7 for tables.
     * Records the host creates keep 0 until the host sets it.
     */
    int itemTypeCode = 0;
};

/**
 * The base of every item record: the pointer to the record's own common
 * data. The record owns it: deleting the record deletes its common data too,
 * so a record must not share its common data with another. Records cannot be
 * copied, since a copy would delete the same common data again.
 */
struct ItemRecord
{
    /// A record without common data (#common is null); the readers always give it one.
    ItemRecord() = default;
    /// Deletes the common data.
    ~ItemRecord() { delete common; }
    /// Not copyable: both records would delete the same common data.
    ItemRecord(const ItemRecord &) = delete;
    /// Not assignable, for the same reason.
    ItemRecord &operator=(const ItemRecord &) = delete;

    /**
     * The record's geometry, stacking, flips and group, owned by the record.
     * Every record the readers return has one; a record without one is
     * saved as if all its common values were 0.
     */
    ItemCommonData_t *common = nullptr;
};
