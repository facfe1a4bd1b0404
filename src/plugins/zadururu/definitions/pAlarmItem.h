#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

/**
 * One alarm watching a tag (tagID): comparison, limit and check values, up to
 * two limit tags, type, level, class, switches, read rights, subscriber ids
 * and the current state. The library stores the codes; it evaluates nothing.
 */
struct pAlarmItem_t
{
    int Id = -1;
    QString alarm_name;
    QString alarm_desc;
    QString alarm_class = QStringLiteral("General");
    qint8 enabled = 0;
    qint8 ackrequired = 1;
    qint8 islogging = 1;
    int tagID = -1;
    qint8 alarm_type = 0;
    qint8 alarm_level = 0;
    qint8 comp_type = 0;
    double limitVal = 0.0;
    double checkVal1 = 0.0;
    double checkVal2 = 0.0;
    int limit_tag_id = -1;
    int limit_tag2_id = -1;
    qint64 readRight1 = 0;
    qint64 readRight2 = 0;
    QList<int> subscribers;
    int currentState = 0;
};
