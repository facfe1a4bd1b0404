#pragma once

#include <zadururu/scene/scaFileData.h>

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

/// Largest width and height of a rendered page; larger pages are cut to it.
constexpr int MaxRenderedPageSide = 8192;

/// Colour of the page behind its items; pages carry no colour of their own.
inline QColor pageBackgroundColour() { return QColor(0xFF, 0xFF, 0xFF); }

/**
 * The size of the image a page renders to: the page's own width and height,
 * each replaced by the scene-file default (250 by 150) when it is zero or
 * negative, and cut to MaxRenderedPageSide.
 */
QSize renderedPageSize(const PagePropertiesData_t &properties);

/**
 * Draws @p page as it appears in the editor: the page background, then every
 * item in stacking order at its geometry, rotated about its centre and
 * mirrored as its flips say. Component instances show the image that
 * @p componentImage returns for their component id, stretched into their
 * rectangle; when it returns a null image (or is empty) they show an outline
 * with their instance name. Live values are not known here, so value texts
 * show a placeholder. Schedules, chart legends and scrolling texts name each
 * tag by what @p tagName returns for its id, or as "Tag <id>" when it returns
 * an empty text (or is empty).
 *
 * Colour names that do not parse fall back to the defaults the scene file
 * uses for them. Records without their common data are skipped. The result is
 * an ARGB32 image of renderedPageSize(); it is null only when that much memory
 * cannot be had.
 */
QImage renderPage(const ScaFileData &page,
                  const std::function<QImage(const QString &componentUid)> &componentImage,
                  const std::function<QString(int tagId)> &tagName = {});

/// Draws @p page as renderPage() does, as an SVG file at @p path; false when the file cannot be written.
bool writePageSvg(const ScaFileData &page, const QString &path,
                  const std::function<QImage(const QString &componentUid)> &componentImage,
                  const std::function<QString(int tagId)> &tagName = {});
