#pragma once

/**
 * @file pEtiketDef.h
 * @brief A process tag of the definitions file (pEtiketDef_t).
 */

#include <QString>
#include <QtGlobal>

/**
 * One process tag: where it lives (device and variable address, size and
 * type), which channel carries it, how it is polled and logged, who may read
 * and write it, and its descriptive texts. A `Tag` element of the definitions
 * file's `TagList`, with one child element per stored field, named like it.
 *
 * Scene items and alarms refer to a tag by its #Id. The codes and the units
 * of the numbers are the editor's; the library stores them.
 *
 * The values below are those of a new record (the CSV import keeps them but
 * for its own fields, see TgchFileProcessor::loadTagsFromCSV()). A `Tag`
 * element read from a file takes, for every element it lacks, the empty
 * text, 0 or false, not these values; only #Kanal_Id reads as -1 when
 * absent. The host fields are carried for the editor's plugins and never
 * stored.
 */
struct pEtiketDef_t
{
    QString Name = QStringLiteral("Tag"); ///< tag name, stored as CDATA
    int Id = 0;                      ///< tag id, by which pages and alarms bind the tag; 0 when the element is absent
    /**
     * How often the tag is polled, in the editor's unit (1000 in a new
     * record, 3 for an imported tag). Read as an unsigned number: a negative
     * value is written as it is but reads back as 0.
     */
    int PollFrequency = 1000;
    QString DeviceAddress = QStringLiteral("1"); ///< address of the device, as text
    QString VariableAddress = QStringLiteral("0"); ///< address of the variable within the device, as text
    QString KanalName;               ///< the pKanalDef_t::Name of the tag's channel
    int Kanal_Id = -1;               ///< the pKanalDef_t::Id of the tag's channel; -1 when the element is absent, 0 when empty
    int VariableSize = 2;            ///< size of the variable; read like #PollFrequency (a negative value reads back as 0)
    qint64 hostData1 = 0;            ///< host
    QString Macro;                   ///< macro text, stored as CDATA
    /// Variable type code; the CSV import sets 16 (LOGIC), 9 (WORD), 14 (FLOAT), 13 (LONG) or 1.
    int VariableType = 1;
    quint8 IsLogging = 0;            ///< logging switch as a number, 0 to 255: the lowest 8 bits of the stored number (-1 reads as 255, 2 stays 2)
    quint8 PriLevel = 0;             ///< priority level, 0 to 255, read like #IsLogging (300 reads as 44)
    qint8 TagType = 0;               ///< tag type code, -128 to 127: the lowest 8 bits, signed (200 reads as -56)
    qint8 SchedulerIndex = 0;        ///< scheduler index, -128 to 127, read like #TagType
    /// Logging frequency. Stored with six significant digits (1234567 as 1.23457e+06), so more are lost on a save.
    double LoggingFreq = 0.0;
    int LoggingMethod = 0;           ///< logging method code
    qint64 ReadRight1 = 0;           ///< read rights, first 64-bit word; the bits are the editor's
    qint64 ReadRight2 = 0;           ///< read rights, second word
    qint64 WriteRight1 = 0;          ///< write rights, first word
    qint64 WriteRight2 = 0;          ///< write rights, second word
    qint64 hostData2 = 0;            ///< host
    qint64 hostData3 = 0;            ///< host
    QString hostText;                ///< host
    bool hostFlag = true;            ///< host
    qint64 hostData4 = 0;            ///< host
    QString Keywords;                ///< keywords text
    bool Enabled = true;             ///< tag enabled; stored as "1" or "0", any number but 0 reads as true
    QString Description;             ///< free text
    QString UnitName;                ///< name of the engineering unit of the value
    qint8 Protocolobjecttype = 0;    ///< protocol object type code, -128 to 127, read like #TagType
};
