#pragma once

// Every field a library reader sets, as one line per record.

#include <zadururu/library/scadaLibObject.h>

#include <QStringList>

inline QStringList libraryRecords(const QList<ScadaLibObject *> &objects)
{
    QStringList out;
    for (const ScadaLibObject *o : objects) {
        out << QStringList{o->name, o->objectCategory, QString::number(o->objectUID), QString::number(o->rtuID),
                           QString::number(o->registerID), QString::number(o->objectType), o->images.join('/'),
                           QString::number(o->width), QString::number(o->height), QString::number(double(o->m_val), 'g', 9),
                           QString::number(double(o->a_val), 'g', 9), QString::number(o->lofX), QString::number(o->lofY)}
                   .join('|');
    }
    return out;
}
