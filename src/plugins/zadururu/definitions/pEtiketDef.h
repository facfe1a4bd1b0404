#pragma once

#include <QString>
#include <QtGlobal>

/**
 * One process tag: where it lives, which channel carries it, how it is polled
 * and logged, who may read and write it, and its descriptive texts.
 * The host fields are carried for the host's plugins and never stored.
 */
struct pEtiketDef_t
{
    QString Name = QStringLiteral("Tag");
    int Id = 0;
    int PollFrequency = 1000;
    QString DeviceAddress = QStringLiteral("1");
    QString VariableAddress = QStringLiteral("0");
    QString KanalName;
    int Kanal_Id = -1;
    int VariableSize = 2;
    qint64 hostData1 = 0;
    QString Macro;
    int VariableType = 1;
    quint8 IsLogging = 0;
    quint8 PriLevel = 0;
    qint8 TagType = 0;
    qint8 SchedulerIndex = 0;
    double LoggingFreq = 0.0;
    int LoggingMethod = 0;
    qint64 ReadRight1 = 0;
    qint64 ReadRight2 = 0;
    qint64 WriteRight1 = 0;
    qint64 WriteRight2 = 0;
    qint64 hostData2 = 0;
    qint64 hostData3 = 0;
    QString hostText;
    bool hostFlag = true;
    qint64 hostData4 = 0;
    QString Keywords;
    bool Enabled = true;
    QString Description;
    QString UnitName;
    qint8 Protocolobjecttype = 0;
};
