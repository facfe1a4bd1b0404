#include "pageRenderer.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>
#include <QStringList>
#include <QTransform>
#include <QSvgGenerator>
#include <QVector>

#include <algorithm>
#include <cmath>

namespace {

// Item coordinates beyond this cannot reach a page of at most
// MaxRenderedPageSide pixels at any rotation, and keep the arithmetic far from
// the limits of int and of the painter's fixed-point paths.
constexpr int MaxItemCoordinate = 1 << 20;

// The sizes a page file falls back to when its geometry is absent.
constexpr int DefaultPageWidth = 250;
constexpr int DefaultPageHeight = 150;

// Fonts larger than this only waste time laying out glyphs nobody can read.
constexpr int MaxFontPixelSize = 1000;

const QString ValuePlaceholder = QStringLiteral("---");

QColor colourOr(const QString &name, const QColor &fallback)
{
    const QColor c(name.trimmed());
    return c.isValid() ? c : fallback;
}

int clampCoordinate(int v)
{
    return qBound(-MaxItemCoordinate, v, MaxItemCoordinate);
}

int clampPixelSize(int size, int fallback)
{
    return size > 0 ? std::min(size, MaxFontPixelSize) : fallback;
}

QFont baseFont(const QString &family, int pixelSize)
{
    // Without a family of its own, the generic one, which an SVG viewer knows too.
    QFont font(family.isEmpty() ? QStringLiteral("sans-serif") : family);
    font.setPixelSize(pixelSize);
    return font;
}

// The font and colour a label's Qt style sheet asks for. Only the parts a
// label uses are understood: the font shorthand, font-size, font-family,
// font-weight, font-style and color; anything else is ignored.
struct LabelStyle
{
    QFont font;
    QColor colour;
};

LabelStyle labelStyle(const QString &styleSheet, int defaultPixelSize, const QColor &defaultColour)
{
    int pixelSize = defaultPixelSize;
    QString family;
    bool bold = false;
    bool italic = false;
    QColor colour = defaultColour;

    for (const QString &declaration : styleSheet.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int colon = declaration.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        const QString property = declaration.left(colon).trimmed().toLower();
        const QString value = declaration.mid(colon + 1).trimmed();
        static thread_local const QRegularExpression sizeRe(QStringLiteral("(\\d+)\\s*px"));
        static thread_local const QRegularExpression quotedRe(QStringLiteral("[\"']([^\"']*)[\"']"));
        if (property == QLatin1String("font") || property == QLatin1String("font-size")) {
            const auto m = sizeRe.match(value);
            if (m.hasMatch())
                pixelSize = clampPixelSize(m.captured(1).toInt(), defaultPixelSize);
        }
        if (property == QLatin1String("font")) {
            const auto q = quotedRe.match(value);
            if (q.hasMatch()) {
                family = q.captured(1);
            } else {
                // Unquoted: the family is whatever follows the size.
                const auto m = sizeRe.match(value);
                if (m.hasMatch())
                    family = value.mid(m.capturedEnd()).trimmed();
            }
            bold = value.contains(QLatin1String("bold"), Qt::CaseInsensitive);
            italic = value.contains(QLatin1String("italic"), Qt::CaseInsensitive);
        } else if (property == QLatin1String("font-family")) {
            const auto q = quotedRe.match(value);
            family = q.hasMatch() ? q.captured(1) : value;
        } else if (property == QLatin1String("font-weight")) {
            bold = value.contains(QLatin1String("bold"), Qt::CaseInsensitive) || value.toInt() >= 600;
        } else if (property == QLatin1String("font-style")) {
            italic = value.contains(QLatin1String("italic"), Qt::CaseInsensitive);
        } else if (property == QLatin1String("color")) {
            colour = colourOr(value, defaultColour);
        }
    }

    LabelStyle style{baseFont(family, pixelSize), colour};
    style.font.setBold(bold);
    style.font.setItalic(italic);
    return style;
}

// One item to draw, with the key that puts it in stacking order.
struct Entry
{
    const ItemCommonData_t *common;
    std::function<void(QPainter &, const QRectF &)> draw;
};

// Grouped items stack with their group; within a group, and among ungrouped
// items, the item's own value decides. Equal keys keep the file's order.
int stackKey(const ItemCommonData_t &c)
{
    return c.GroupId != 0 ? c.GZVAL : c.ZVAL;
}

// From the item's own coordinates, where the item occupies (0, 0, W, H), to
// the page's: mirrored within its rectangle, then rotated about its centre.
QTransform itemTransform(const ItemCommonData_t &c, QRectF *local)
{
    const qreal w = std::max(0, std::min(c.W, MaxItemCoordinate));
    const qreal h = std::max(0, std::min(c.H, MaxItemCoordinate));
    const qreal x = clampCoordinate(c.X);
    const qreal y = clampCoordinate(c.Y);
    QTransform t;
    t.translate(x + w / 2, y + h / 2);
    t.rotate(c.Rot % 360);
    t.scale(c.HFlip ? -1 : 1, c.VFlip ? -1 : 1);
    t.translate(-w / 2, -h / 2);
    *local = QRectF(0, 0, w, h);
    return t;
}

// Moves the painter into the item's own coordinates.
void enterItem(QPainter &p, const ItemCommonData_t &c, QRectF *local)
{
    p.setTransform(itemTransform(c, local), true);
}

void drawText(QPainter &p, const QRectF &r, const TextItemLoadData_t &t)
{
    if (t.DrawPaper)
        p.fillRect(r, colourOr(t.BgColor, Qt::white));
    QFont font = baseFont(t.Family, clampPixelSize(t.TextPixelSize, 14));
    font.setBold(t.IsBold);
    font.setItalic(t.IsItalic);
    font.setUnderline(t.IsUnderlined);
    p.setFont(font);
    p.setPen(colourOr(t.TextColor, Qt::black));
    const int flags = int(t.Alignment & (Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask));
    p.drawText(r, flags | Qt::TextWordWrap, t.ItemText);
}

// A label sits at its offset from the item's corner, inside or outside the
// item's rectangle; it is not clipped to it.
void drawLabel(QPainter &p, const QString &text, const LabelStyle &style, int lofx, int lofy)
{
    if (text.isEmpty())
        return;
    p.setFont(style.font);
    p.setPen(style.colour);
    const QFontMetrics fm(style.font);
    const QPointF at(clampCoordinate(lofx), clampCoordinate(lofy));
    p.drawText(QRectF(at, QSizeF(fm.horizontalAdvance(text) + 2, fm.height())), Qt::AlignLeft | Qt::AlignTop, text);
}

void drawDbQuery(QPainter &p, const QRectF &r, const DbQueryTextItemLoadData_t &d)
{
    const QColor text = colourOr(d.txtColor, Qt::white);
    p.fillRect(r, colourOr(d.bgColor, Qt::black));
    p.setFont(baseFont(QString(), clampPixelSize(d.txtPixelSize, 14)));
    p.setPen(text);
    p.drawText(r.adjusted(4, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, ValuePlaceholder);

    drawLabel(p, d.labelText, labelStyle(d.labelStyleSheet, 12, text), d.lofx, d.lofy);
}

using TagLabel = std::function<QString(int)>;

void drawSchedule(QPainter &p, const QRectF &r, const ScheduleItemLoadData_t &s, const TagLabel &label)
{
    p.fillRect(r, QColor(0xF4, 0xF4, 0xF4));
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    const QFont font = baseFont(QString(), 12);
    p.setFont(font);
    const qreal line = QFontMetrics(font).height();
    qreal y = 2;
    for (int tag : s.TagIDs) {
        if (y + line > r.height())
            break;
        p.drawText(QRectF(4, y, r.width() - 8, line), Qt::AlignLeft | Qt::AlignVCenter, label(tag));
        y += line;
    }
}

void drawChart(QPainter &p, const QRectF &r, const RealTimeChartItemLoadData_t &c, const TagLabel &label)
{
    const QColor text = colourOr(c.TxtColor, Qt::white);
    p.fillRect(r, colourOr(c.BgColor, Qt::black));
    p.setPen(text);
    p.drawRect(r.adjusted(0, 0, -1, -1));

    const QFont font = baseFont(QString(), 11);
    const QFontMetrics fm(font);
    p.setFont(font);
    const qreal line = fm.height() + 2;
    const qreal legendWidth = (c.ShowLegend && !c.TagIDs.isEmpty()) ? std::min(r.width() / 3, 120.0) : 0;

    // The plot area: axes and a light grid; no values are known here.
    const QRectF plot = r.adjusted(28, 8, -8 - legendWidth, -8 - line);
    if (plot.width() > 4 && plot.height() > 4) {
        QColor grid = text;
        grid.setAlpha(60);
        p.setPen(grid);
        for (int i = 1; i < 5; ++i) {
            const qreal gx = plot.left() + plot.width() * i / 5;
            const qreal gy = plot.top() + plot.height() * i / 5;
            p.drawLine(QPointF(gx, plot.top()), QPointF(gx, plot.bottom()));
            p.drawLine(QPointF(plot.left(), gy), QPointF(plot.right(), gy));
        }
        p.setPen(text);
        p.drawLine(plot.bottomLeft(), plot.topLeft());
        p.drawLine(plot.bottomLeft(), plot.bottomRight());
        p.drawText(QRectF(plot.left(), plot.bottom() + 1, plot.width(), line), Qt::AlignRight | Qt::AlignTop,
                   QStringLiteral("%1 s").arg(c.ShowLastSeconds));
    }

    if (legendWidth <= 0)
        return;
    // One entry per line: a swatch of the line's colour and its tag.
    const qreal left = r.right() - legendWidth;
    qreal y = 8;
    for (const ChartLineData &l : c.TagIDs) {
        if (y + line > r.height() - 4)
            break;
        p.fillRect(QRectF(left, y + (line - 10) / 2, 10, 10), colourOr(l.LineColor, QColor(0xFF, 0, 0)));
        p.setPen(text);
        p.drawText(QRectF(left + 14, y, legendWidth - 18, line), Qt::AlignLeft | Qt::AlignVCenter, label(l.Tag));
        y += line;
    }
}

void drawTable(QPainter &p, const QRectF &r, const TableItemLoadData_t &t)
{
    const QColor gridColour(0x40, 0x40, 0x40);
    p.fillRect(r, Qt::white);
    int columns = t.columnWidths.size();
    for (const QList<QString> &row : t.rows)
        columns = std::max(columns, row.size());
    const int rows = t.rows.size();

    // Columns without a width of their own get the width a table column
    // defaults to; the edges stop where the table's rectangle ends.
    QVector<qreal> edges{0};
    for (int i = 0; i < columns && edges.last() < r.width(); ++i) {
        const int w = i < t.columnWidths.size() ? t.columnWidths.at(i) : 30;
        edges.append(edges.last() + std::max(0, std::min(w, MaxItemCoordinate)));
    }
    const qreal rowHeight = rows > 0 ? std::max<qreal>(r.height() / rows, 1) : r.height();

    const QFont font = baseFont(QString(), std::max(6, std::min(14, int(rowHeight * 0.6))));
    p.setFont(font);
    p.setPen(Qt::black);
    for (int ri = 0; ri < rows && ri * rowHeight < r.height(); ++ri) {
        const QList<QString> &row = t.rows.at(ri);
        for (int ci = 0; ci < row.size() && ci + 1 < edges.size(); ++ci) {
            const QRectF cell(edges.at(ci) + 3, ri * rowHeight, edges.at(ci + 1) - edges.at(ci) - 6, rowHeight);
            if (cell.width() > 0)
                p.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, row.at(ci));
        }
    }

    // Inner lines end on the outer frame, which is drawn one pixel inside.
    p.setPen(gridColour);
    for (qreal x : edges)
        if (x > 0 && x < r.width() - 1)
            p.drawLine(QPointF(x, 0), QPointF(x, r.height() - 1));
    for (int ri = 1; ri < rows && ri * rowHeight < r.height() - 1; ++ri)
        p.drawLine(QPointF(0, ri * rowHeight), QPointF(r.width() - 1, ri * rowHeight));
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

void drawComponent(QPainter &p, const QRectF &r, const ScadaObjectLoadData_t &o,
                   const std::function<QImage(const QString &)> &componentImage)
{
    QImage image;
    if (componentImage)
        image = componentImage(o.componentUid);
    if (!image.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(r, image);
    } else {
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1, Qt::DashLine));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        const QFont font = baseFont(QString(), 11);
        p.setFont(font);
        p.setPen(QColor(0x30, 0x30, 0x30));
        p.drawText(r.adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap,
                   o.common->Name.isEmpty() ? o.componentUid : o.common->Name);
    }
    drawLabel(p, componentLabelText(o.labelText), labelStyle(o.labelStyleSheet, 14, Qt::black), o.lofx, o.lofy);
}

// The page's scrolling texts, one after the other along its bottom edge,
// each with its tag; the line does not move in a picture.
void drawScrollingTexts(QPainter &p, const QSize &size, const PagePropertiesData_t &properties, const TagLabel &label)
{
    if (!properties.addScrollingText || properties.ScrollTags.isEmpty())
        return;
    QStringList entries;
    for (const ScrollingText &entry : properties.ScrollTags)
        entries << QStringLiteral("%1: %2").arg(entry.ScrollText, label(entry.TagID));
    const QFont font = baseFont(QString(), 12);
    p.setFont(font);
    p.setPen(QColor(0x30, 0x30, 0x30));
    const qreal line = QFontMetrics(font).height();
    p.drawText(QRectF(4, size.height() - line - 2, size.width() - 8, line), Qt::AlignLeft | Qt::AlignVCenter,
               entries.join(QStringLiteral("     ")));
}

template<typename Record, typename Draw>
void collect(QVector<Entry> *entries, const QList<Record *> &records, Draw draw)
{
    for (const Record *record : records) {
        if (!record || !record->common)
            continue;
        entries->append({record->common, [record, draw](QPainter &p, const QRectF &r) { draw(p, r, *record); }});
    }
}

} // namespace

QSize pageSize(const PagePropertiesData_t &properties)
{
    return QSize(properties.W > 0 ? properties.W : DefaultPageWidth, properties.H > 0 ? properties.H : DefaultPageHeight);
}

QSize renderedPageSize(const PagePropertiesData_t &properties)
{
    const QSize own = pageSize(properties);
    const int longest = std::max(own.width(), own.height());
    if (longest <= MaxRenderedPageSide)
        return own;
    const double scale = double(MaxRenderedPageSide) / longest;
    const auto side = [scale](int length) {
        return std::min(MaxRenderedPageSide, std::max(1, int(std::lround(length * scale))));
    };
    return QSize(side(own.width()), side(own.height()));
}

QPolygonF itemOutline(const ItemCommonData_t &common, const PagePropertiesData_t &properties)
{
    QRectF local;
    const QTransform toPage = itemTransform(common, &local);
    const QSize own = pageSize(properties);
    const QSize rendered = renderedPageSize(properties);
    const QTransform toPicture = QTransform::fromScale(qreal(rendered.width()) / own.width(),
                                                       qreal(rendered.height()) / own.height());
    const QTransform t = toPage * toPicture;
    return QPolygonF({t.map(local.topLeft()), t.map(local.topRight()), t.map(local.bottomRight()), t.map(local.bottomLeft())});
}

bool isPageScaled(const PagePropertiesData_t &properties)
{
    return renderedPageSize(properties) != pageSize(properties);
}

QString componentLabelText(const QString &labelText)
{
    // A conversion: '%', flags, width, precision, length modifiers, then the
    // conversion letter. What does not end in a letter is kept as it is.
    static thread_local const QRegularExpression conversion(
        QStringLiteral("%(?:%|[-+ #0']*(?:\\d+|\\*)?(?:\\.(?:\\d+|\\*)?)?(?:hh|h|ll|l|L|q|j|z|t)?[diouxXeEfFgGaAcspn])"));
    QString text;
    int at = 0;
    for (auto it = conversion.globalMatch(labelText); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        text += labelText.midRef(at, m.capturedStart() - at);
        text += m.capturedRef() == QLatin1String("%%") ? QStringLiteral("%") : ValuePlaceholder;
        at = m.capturedEnd();
    }
    return text + labelText.midRef(at);
}

namespace {

void paintPage(QPainter &painter, const ScaFileData &page,
               const std::function<QImage(const QString &componentUid)> &componentImage,
               const std::function<QString(int tagId)> &tagName, const QImage &background)
{
    const TagLabel label = [&tagName](int tag) {
        const QString name = tagName ? tagName(tag) : QString();
        return name.isEmpty() ? QStringLiteral("Tag %1").arg(tag) : name;
    };
    const QSize rendered = renderedPageSize(page.pageProperties);
    painter.fillRect(QRect(QPoint(0, 0), rendered), pageBackgroundColour());
    // From here on in scene units; a page too large for the picture is drawn scaled down whole.
    const QSize size = pageSize(page.pageProperties);
    painter.scale(qreal(rendered.width()) / size.width(), qreal(rendered.height()) / size.height());
    if (!background.isNull()) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint(0, 0), size), background);
        painter.restore();
    }

    QVector<Entry> entries;
    collect(&entries, page.scadaObjects, [&componentImage](QPainter &p, const QRectF &r, const ScadaObjectLoadData_t &o) {
        drawComponent(p, r, o, componentImage);
    });
    collect(&entries, page.textItems, drawText);
    collect(&entries, page.scheduleItems, [&label](QPainter &p, const QRectF &r, const ScheduleItemLoadData_t &s) {
        drawSchedule(p, r, s, label);
    });
    collect(&entries, page.rtChartItems, [&label](QPainter &p, const QRectF &r, const RealTimeChartItemLoadData_t &c) {
        drawChart(p, r, c, label);
    });
    collect(&entries, page.dbqTextItems, drawDbQuery);
    collect(&entries, page.tableItems, drawTable);
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        const int ka = stackKey(*a.common), kb = stackKey(*b.common);
        return ka != kb ? ka < kb : a.common->ZVAL < b.common->ZVAL;
    });

    painter.setClipRect(QRect(QPoint(0, 0), size));
    for (const Entry &entry : entries) {
        if (entry.common->W <= 0 || entry.common->H <= 0)
            continue;
        painter.save();
        painter.setRenderHint(QPainter::TextAntialiasing);
        QRectF local;
        enterItem(painter, *entry.common, &local);
        entry.draw(painter, local);
        painter.restore();
    }
    drawScrollingTexts(painter, size, page.pageProperties, label);
}

// @p text without the characters an XML document cannot hold.
QString xmlText(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            kept += c;
            kept += text.at(++i);
        } else if (!c.isSurrogate() && (c.unicode() >= 0x20 || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
                   && c.unicode() != 0xFFFE && c.unicode() != 0xFFFF) {
            kept += c;
        }
    }
    return kept;
}

} // namespace

QImage renderPage(const ScaFileData &page,
                  const std::function<QImage(const QString &componentUid)> &componentImage,
                  const std::function<QString(int tagId)> &tagName, const QImage &background)
{
    QImage image(renderedPageSize(page.pageProperties), QImage::Format_ARGB32);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    paintPage(painter, page, componentImage, tagName, background);
    painter.end();
    return image;
}

bool writePageSvg(const ScaFileData &page, QIODevice *device,
                  const std::function<QImage(const QString &componentUid)> &componentImage,
                  const std::function<QString(int tagId)> &tagName, const QImage &background)
{
    QSvgGenerator svg;
    const QSize size = renderedPageSize(page.pageProperties);
    svg.setOutputDevice(device);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    // The generator writes the title as it is given: as XML text here, of
    // the characters XML can hold.
    svg.setTitle(xmlText(page.pageProperties.pageName).toHtmlEscaped());
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    paintPage(painter, page, componentImage, tagName, background);
    return painter.end();
}
