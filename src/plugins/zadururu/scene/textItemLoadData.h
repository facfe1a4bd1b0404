#pragma once

#include <zadururu/scene/itemCommonData.h>

#include <QString>
#include <Qt>

/// A free text on a page, with its font, colours and paper. The record owns its common data and frees it with itself.
struct TextItemLoadData_t
{
    TextItemLoadData_t() = default;
    ~TextItemLoadData_t() { delete common; }
    TextItemLoadData_t(const TextItemLoadData_t &) = delete;
    TextItemLoadData_t &operator=(const TextItemLoadData_t &) = delete;

    ItemCommonData_t *common = nullptr;
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
