#pragma once

#include <zadururu/scene/itemCommonData.h>

#include <QString>
#include <Qt>

/// A free text on a page, with its font, colours and paper.
struct TextItemLoadData_t : ItemRecord
{
    QString ItemText;
    QString TextColor;
    QString BgColor;
    QString SvgElement;          ///< carried unchanged for the host
    Qt::Alignment Alignment;
    int TextPixelSize = 0;
    QString Family;
    bool IsBold = false;
    bool IsItalic = false;
    bool IsUnderlined = false;
    bool DrawPaper = false;
};
