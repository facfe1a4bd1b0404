#pragma once

#include <zadururu/scene/scaFileData.h>

#include <QColor>
#include <QImage>
#include <QPolygonF>
#include <QSize>
#include <QString>

#include <functional>

QT_BEGIN_NAMESPACE
class QIODevice;
QT_END_NAMESPACE

/// Largest width and height of a rendered page; larger pages are drawn scaled down to fit it.
constexpr int MaxRenderedPageSide = 8192;

/// Colour of the page behind its items; pages carry no colour of their own.
inline QColor pageBackgroundColour() { return QColor(0xFF, 0xFF, 0xFF); }

/**
 * The page's own size in scene units: its width and height, each replaced by
 * the scene-file default (250 by 150) when it is zero or negative.
 */
QSize pageSize(const PagePropertiesData_t &properties);

/**
 * The size of the image a page renders to: pageSize(), or, when a side of it
 * is longer than MaxRenderedPageSide, pageSize() scaled down (keeping its
 * proportions, at least one pixel a side) until the longer side is
 * MaxRenderedPageSide long.
 */
QSize renderedPageSize(const PagePropertiesData_t &properties);

/// Whether the page is drawn smaller than its own size (see renderedPageSize()).
bool isPageScaled(const PagePropertiesData_t &properties);

/**
 * The four corners of the rectangle an item of @p properties' page covers in
 * the picture (in the pixels of renderedPageSize()), turned and mirrored as
 * the item is drawn. Geometry is clamped as the drawing clamps it.
 */
QPolygonF itemOutline(const ItemCommonData_t &common, const PagePropertiesData_t &properties);

/**
 * The text a component's value label shows in a picture: its printf-style
 * pattern @p labelText with each conversion (%.1f, %d, %s...) replaced by the
 * placeholder of unknown values ("---") and each "%%" by "%".
 */
QString componentLabelText(const QString &labelText);

/**
 * Draws @p page as it appears in the editor: the page colour, the page's
 * background image @p background (when not null) stretched over the whole
 * page, then every item in stacking order at its geometry, rotated about its
 * centre and mirrored as its flips say. Component instances show the image
 * that @p componentImage returns for their component id, stretched into their
 * rectangle; when it returns a null image (or is empty) they show an outline
 * with their instance name. Each component's value label (componentLabelText()
 * of its labelText, in the font and colour of its labelStyleSheet) sits at
 * (lofx, lofy) from the component's corner. Live values are not known here, so
 * value texts show a placeholder. Schedules, chart legends and scrolling texts name each
 * tag by what @p tagName returns for its id, or as "Tag <id>" when it returns
 * an empty text (or is empty).
 *
 * Colour names that do not parse fall back to the defaults the scene file
 * uses for them. Records without their common data are skipped. A page larger
 * than MaxRenderedPageSide is drawn whole, scaled down to renderedPageSize().
 * The result is an ARGB32 image of renderedPageSize(); it is null only when
 * that much memory cannot be had.
 */
QImage renderPage(const ScaFileData &page,
                  const std::function<QImage(const QString &componentUid)> &componentImage,
                  const std::function<QString(int tagId)> &tagName = {}, const QImage &background = QImage());

/**
 * Draws @p page as renderPage() does, as an SVG document written to
 * @p device (open for writing), whose view box is renderedPageSize(); false
 * when it cannot be written.
 */
bool writePageSvg(const ScaFileData &page, QIODevice *device,
                  const std::function<QImage(const QString &componentUid)> &componentImage,
                  const std::function<QString(int tagId)> &tagName = {}, const QImage &background = QImage());
