#pragma once

/**
 * @file pAlarmItem.h
 * @brief An alarm of the definitions file (pAlarmItem_t).
 */

#include <QList>
#include <QString>
#include <QtGlobal>

/**
 * One alarm watching a tag (#tagID): comparison, limit and check values, up
 * to two limit tags, type, level, class, switches, read rights, subscriber
 * ids and the current state. An `Alarm` element of the definitions file's
 * `AlarmList`, with one child element per field, named exactly like it.
 *
 * The library stores the codes and numbers; it evaluates nothing, and the
 * editor's table writer (TgchFileProcessor::writeToFile(QStandardItemModel *,
 * QStandardItemModel *, QString)) writes no alarms at all.
 *
 * The values below are those of a new record. An `Alarm` element read from a
 * file takes, for every element it lacks, the empty text, 0 or false, not
 * these values: a missing #tagID reads as 0, a missing #ackrequired as 0.
 */
struct pAlarmItem_t
{
    int Id = -1;                     ///< alarm id
    QString alarm_name;              ///< alarm name, stored as CDATA
    QString alarm_desc;              ///< alarm description
    QString alarm_class = QStringLiteral("General"); ///< name of the alarm's class
    qint8 enabled = 0;               ///< alarm enabled, as a number from -128 to 127: the lowest 8 bits of the stored number, signed (255 reads as -1)
    qint8 ackrequired = 1;           ///< the alarm must be acknowledged; stored like #enabled
    qint8 islogging = 1;             ///< the alarm is logged; stored like #enabled
    int tagID = -1;                  ///< the pEtiketDef_t::Id of the watched tag
    qint8 alarm_type = 0;            ///< alarm type code, -128 to 127, stored like #enabled
    qint8 alarm_level = 0;           ///< alarm level, -128 to 127, stored like #enabled
    qint8 comp_type = 0;             ///< comparison type code, -128 to 127, stored like #enabled
    /**
     * Limit value. Read in single precision (a value beyond it reads as 0)
     * and written with six significant digits, although the field is double.
     */
    double limitVal = 0.0;
    double checkVal1 = 0.0;          ///< first check value, stored like #limitVal
    double checkVal2 = 0.0;          ///< second check value, stored like #limitVal
    int limit_tag_id = -1;           ///< the pEtiketDef_t::Id of the first limit tag
    int limit_tag2_id = -1;          ///< the pEtiketDef_t::Id of the second limit tag
    qint64 readRight1 = 0;           ///< read rights, first 64-bit word (element `readRight1`, unlike a tag's `ReadRight1`)
    qint64 readRight2 = 0;           ///< read rights, second word
    /**
     * Subscriber ids, in order, stored as "{3,17,4}". The reader drops the
     * braces, splits at the commas and skips what is not a number.
     */
    QList<int> subscribers;
    int currentState = 0;            ///< current state code
};
