#pragma once

/**
 * @file textItemLoadData.h
 * @brief A free text on a page (TextItemLoadData_t).
 */

#include <zadururu/scene/itemCommonData.h>

#include <QString>
#include <Qt>

/**
 * A free text on a page, with its font, colours and paper: an `Item` whose
 * `ItemType` is "TextItem".
 *
 * Unlike every other kind, a text item keeps its geometry in elements of its
 * own: `ItemPosX` and `ItemPosY` (ItemCommonData_t::X and ItemCommonData_t::Y,
 * read like those), `Width`, `Height`, `Rot`, `ZVal`, and the group in the
 * `GroupId` attribute of `Properties`. It has no flips and no name.
 *
 * Without a `Width` element the reader gives twice the width of the text in
 * its font, but at most 800; without a `Height` element four times the
 * font's line height. Measuring needs the font system of a GUI application
 * (QApplication); without one a missing width or height reads as 0.
 *
 * The group's stacking value (ItemCommonData_t::GZVAL) is written as the
 * `GZVAL` attribute of `Properties`. The reader takes a `GZVal` element when
 * the item has one (older files store it so) and the attribute otherwise.
 *
 * Colours are texts, carried unchanged: nothing checks or normalises them.
 */
struct TextItemLoadData_t : ItemRecord
{
    QString ItemText;            ///< the text shown, stored as CDATA (spaces and markup characters survive)
    /// Colour of the text, as a colour name. Read: "#000000" when absent or empty.
    QString TextColor;
    /// Colour of the paper behind the text (drawn when #DrawPaper is set). Read: "#FFFFFF" when absent or empty.
    QString BgColor;
    QString SvgElement;          ///< name of an element of an SVG picture, carried unchanged for the host
    /// Alignment of the text in its rectangle, stored as the number of Qt's alignment flags. Read: none (0).
    Qt::Alignment Alignment;
    /**
     * Size of the font in pixels. The reader takes `TextPixelSize`, or the
     * older `TextSize` element when that is 0 or -1 (or absent); 0 when
     * neither gives one. The writer writes `TextPixelSize` only.
     */
    int TextPixelSize = 0;
    /// Font family. Read: "Arial" when the element is absent, but empty for an empty element.
    QString Family;
    bool IsBold = false;         ///< bold font; stored as "0" or "1", any number but 0 reads as true
    bool IsItalic = false;       ///< italic font; stored like #IsBold
    bool IsUnderlined = false;   ///< underlined font; stored like #IsBold
    bool DrawPaper = false;      ///< the paper (#BgColor) is drawn behind the text; stored like #IsBold
};
