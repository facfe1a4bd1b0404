#pragma once

/**
 * @file pKanalDef.h
 * @brief A communication channel of the definitions file (pKanalDef_t).
 */

#include <QList>
#include <QString>

struct pEtiketDef_t;

/**
 * One communication channel of the installation: a network connection and a
 * serial line setting, time-outs, a group, a station and an enabled flag. A
 * `Channel` element of the definitions file's `ChannelList`, with one child
 * element per field, named like it.
 *
 * Tags refer to a channel by its #Id (pEtiketDef_t::Kanal_Id) and its #Name
 * (pEtiketDef_t::KanalName); nothing in the library resolves them. The codes
 * and the units of the numbers are the editor's; the library stores them.
 *
 * The values below are those of a new record. A `Channel` element read from
 * a file takes, for every element it lacks, the empty text, 0 or false, not
 * these values; only #Id and #GroupID read as -1 when absent. Unsigned
 * fields read a negative number as 0.
 */
struct pKanalDef_t
{
    QString Name = QStringLiteral("Channel0"); ///< channel name; the loader drops a channel named exactly "None" (see TgchFileProcessor::loadFileData())
    int Id = -1;                     ///< channel id; -1 when the element is absent
    int MediaType = 0;               ///< media type code
    int SocketType = 0;              ///< socket type code
    int ProtokolType = 0;            ///< protocol type code
    QString ServerIP = QStringLiteral("127.0.0.1"); ///< server address, as text (not checked)
    unsigned int ServerPORT = 1080;  ///< server port, 0 to 4294967295 (not checked against 65535)
    unsigned int ListenPORT = 1081;  ///< listening port, as #ServerPORT
    QString FilterIP = QStringLiteral("0.0.0.0"); ///< address filter, as text
    unsigned int Comport = 11;       ///< number of the serial port
    unsigned int Baudrate = 115200;  ///< baud rate of the serial line
    unsigned int Databit = 8;        ///< data bits of the serial line
    unsigned int Stopbit = 1;        ///< stop bits of the serial line
    int Paritybit = 0;               ///< parity code of the serial line; negative values are kept
    unsigned int ResponseTimeout = 6000;   ///< response time-out, in the editor's unit
    unsigned int ConnectionTimeout = 6000; ///< connection time-out, in the editor's unit
    unsigned int FrameTimeout = 3000;      ///< frame time-out, in the editor's unit
    int GroupID = -1;                ///< channel group id; -1 when the element is absent
    QString Station = QStringLiteral(" "); ///< station text (one space in a new record)
    bool Enabled = true;             ///< channel enabled; stored as "1" or "0", any number but 0 reads as true (the word "true" does not)
    QString LogicProPath;            ///< a path carried for the editor
    QString Description;             ///< free text
    /**
     * Tags of this channel, for the host: not owned (they belong to the tag
     * list of the same tree), and never filled, read or stored by the library.
     */
    QList<pEtiketDef_t *> channelTags;
};
