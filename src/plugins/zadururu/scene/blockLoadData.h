#pragma once

/**
 * @file blockLoadData.h
 * @brief A record kept for the editor (BlockLoadData_t).
 */

#include <zadururu/zadururu_export.h>

#include <QString>
#include <QtGlobal>

/**
 * A record the library only constructs and initialises for the editor;
 * nothing in the library reads it and no file stores it.
 */
struct ZADURURU_EXPORT BlockLoadData_t
{
    /// Every member at the value given below.
    BlockLoadData_t();
    /// Sets #initDone (it stays set when it already was).
    void init();

    void *hostSlot = nullptr;    ///< host
    QString hostText1;           ///< host
    QString hostText2;           ///< host
    QString hostText3;           ///< host
    QString hostText4;           ///< host
    QString hostText5;           ///< host
    QString hostText6;           ///< host
    quint64 hostWords[3] = {0, 0, 0}; ///< host
    bool initDone = false;       ///< whether init() was called
};
