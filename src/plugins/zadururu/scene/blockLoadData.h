#pragma once

#include <zadururu/zadururu_export.h>

#include <QString>
#include <QtGlobal>

/// A record the library only constructs and initialises for the host editor.
struct ZADURURU_EXPORT BlockLoadData_t
{
    BlockLoadData_t();
    void init();

    void *hostSlot = nullptr;
    QString hostText1;
    QString hostText2;
    QString hostText3;
    QString hostText4;
    QString hostText5;
    QString hostText6;
    quint64 hostWords[3] = {0, 0, 0};
    bool initDone = false;
};
