#pragma once

#include <zadururu/scene/itemCommonData.h>

#include <QList>
#include <QString>

/**
 * A component instance: a library component placed on a page, with the tag
 * bindings that drive it (-1: not bound) and its behaviour.
 */
struct ScadaObjectLoadData_t : ItemRecord
{
    void *hostSlot = nullptr;        ///< host; never stored
    int Type = 0;
    int Uid = 0;
    quint32 hostWords[3] = {0, 0, 0}; ///< host; never stored
    int tagID_image = -1;
    int tagID_label = -1;
    int tagID_posx = -1;
    int tagID_posy = -1;
    int tagID_width = -1;
    int tagID_height = -1;
    int tagID_rotAng = -1;
    int tagID_txtColor = -1;
    int tagID_maskColor = -1;
    int tagID_maskOpac = -1;
    int tagID_cusProp1 = -1;
    int tagID_cusProp2 = -1;
    int tagID_cusProp3 = -1;
    int tagID_cusProp4 = -1;
    int tagID_cusProp5 = -1;
    int tagID_cusProp6 = -1;
    int tagID_cusProp7 = -1;
    int tagID_eventTarget = -1;
    int eventType = 0;
    int eventAction = 0;
    int lofx = 0;
    int lofy = 0;
    QString labelText = QStringLiteral("%.3f");
    QString labelStyleSheet = QStringLiteral("font: 22px \"Arial\";");
    int userConst1 = 0;
    int userConst2 = 0;
    QString hostText;                ///< host; never stored
    QString MacroText;
    QString Tooltip;
    bool weblinkActive = false;
    QString weblink;
    bool limitsActive = false;
    float lowLimit = 0.0f;
    float highLimit = 100.0f;
    QList<int> hostList;             ///< host; never stored
    QString componentUid;            ///< the library component it was made from
};
