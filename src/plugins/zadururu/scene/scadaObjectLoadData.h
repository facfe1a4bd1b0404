#pragma once

/**
 * @file scadaObjectLoadData.h
 * @brief A component instance on a page (ScadaObjectLoadData_t).
 */

#include <zadururu/scene/itemCommonData.h>

#include <QList>
#include <QString>

/**
 * A component instance: a component of the component library placed on a
 * page, with the tag bindings that drive it and its behaviour. An `Item`
 * whose `ItemType` is "ScadaObject", or that has no `ItemType` at all.
 *
 * Every `tagID_` field holds the id of a tag of the definitions file
 * (pEtiketDef_t::Id), or -1 when nothing is bound; all of them are attributes
 * of the `TagIDs` element and read as -1 when absent. The other fields are
 * child elements of the same name; a field marked "host" is never stored.
 * Where a value read from a file differs from that of a new record it says so.
 */
struct ScadaObjectLoadData_t : ItemRecord
{
    void *hostSlot = nullptr;        ///< host
    int Type = 0;                    ///< the component's type code, as the editor numbers it
    /**
     * The instance's id, unique in the project: ProjectDataTree finds
     * instances by it and hands out new ones (ProjectDataTree::requestUniqueId()).
     * Not the library component's id: that is #componentUid.
     */
    int Uid = 0;
    quint32 hostWords[3] = {0, 0, 0}; ///< host
    int tagID_image = -1;            ///< tag whose value selects the image shown
    /**
     * Tag whose value the value label shows (#labelText, #lofx, #lofy). The
     * loader also collects it in ScaFileData::labelTagIds.
     */
    int tagID_label = -1;
    int tagID_posx = -1;             ///< tag that drives the x position
    int tagID_posy = -1;             ///< tag that drives the y position
    int tagID_width = -1;            ///< tag that drives the width
    int tagID_height = -1;           ///< tag that drives the height
    int tagID_rotAng = -1;           ///< tag that drives the rotation angle
    int tagID_txtColor = -1;         ///< tag that drives the text colour
    int tagID_maskColor = -1;        ///< tag that drives the mask colour
    int tagID_maskOpac = -1;         ///< tag that drives the mask opacity
    int tagID_cusProp1 = -1;         ///< tag bound to the component's custom property 1
    int tagID_cusProp2 = -1;         ///< tag bound to custom property 2
    int tagID_cusProp3 = -1;         ///< tag bound to custom property 3
    int tagID_cusProp4 = -1;         ///< tag bound to custom property 4
    int tagID_cusProp5 = -1;         ///< tag bound to custom property 5
    int tagID_cusProp6 = -1;         ///< tag bound to custom property 6
    int tagID_cusProp7 = -1;         ///< tag bound to custom property 7
    int tagID_eventTarget = -1;      ///< tag that the instance's event acts on
    int eventType = 0;               ///< the kind of event, as the editor numbers it
    int eventAction = 0;             ///< the action taken on the event, as the editor numbers it
    /// Horizontal offset of the value label from the instance's top left corner, in page units.
    int lofx = 0;
    /// Vertical offset of the value label, in page units.
    int lofy = 0;
    /**
     * How the value label formats the tag's value: a printf pattern
     * ("%.3f": three decimals). New: "%.3f"; read: empty when the element is
     * absent, so a file without it shows no value.
     */
    QString labelText = QStringLiteral("%.3f");
    /// Qt style sheet of the value label. New: `font: 22px "Arial";`; read: empty when absent.
    QString labelStyleSheet = QStringLiteral("font: 22px \"Arial\";");
    int userConst1 = 0;              ///< first user constant, for the editor's scripts
    int userConst2 = 0;              ///< second user constant
    QString hostText;                ///< host
    QString MacroText;               ///< the instance's macro text, stored as CDATA
    QString Tooltip;                 ///< tooltip text, stored as CDATA
    bool weblinkActive = false;      ///< the instance opens #weblink; any number but 0 reads as true, written as "1"
    QString weblink;                 ///< the web link, stored as CDATA
    bool limitsActive = false;       ///< #lowLimit and #highLimit apply; read like #weblinkActive
    /**
     * Low value limit. Stored with six significant digits (1234567 as
     * 1.23457e+06), so more digits are lost on a save. Read: 0 when absent,
     * and 0 for an empty element too.
     */
    float lowLimit = 0.0f;
    /// High value limit; stored like #lowLimit. Read: 100 when absent, but 0 for an empty element.
    float highLimit = 100.0f;
    QList<int> hostList;             ///< host
    /**
     * The text that names the library component the instance was made from:
     * its ScadaLibObject::name or its ScadaLibObject::objectUID as decimal
     * text (`zadururu check` takes either). Stored as plain text.
     */
    QString componentUid;
};
