#pragma once

#include <QList>
#include <QString>

struct pEtiketDef_t;

/**
 * One communication channel of the installation: a network connection and a
 * serial line setting, time-outs, a group, a station and an enabled flag.
 * Tags refer to a channel by its Id (Kanal_Id) and its Name (KanalName).
 */
struct pKanalDef_t
{
    QString Name = QStringLiteral("Channel0");
    int Id = -1;
    int MediaType = 0;
    int SocketType = 0;
    int ProtokolType = 0;
    QString ServerIP = QStringLiteral("127.0.0.1");
    unsigned int ServerPORT = 1080;
    unsigned int ListenPORT = 1081;
    QString FilterIP = QStringLiteral("0.0.0.0");
    unsigned int Comport = 11;
    unsigned int Baudrate = 115200;
    unsigned int Databit = 8;
    unsigned int Stopbit = 1;
    int Paritybit = 0;
    unsigned int ResponseTimeout = 6000;
    unsigned int ConnectionTimeout = 6000;
    unsigned int FrameTimeout = 3000;
    int GroupID = -1;
    QString Station = QStringLiteral(" ");
    bool Enabled = true;
    QString LogicProPath;
    QString Description;
    /// Tags of this channel, for the host. Not owned, never filled or stored by the library.
    QList<pEtiketDef_t *> channelTags;
};
