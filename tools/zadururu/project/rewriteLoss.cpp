#include "rewriteLoss.h"

#include <zadururu/scene/scaFileData.h>
#include <zadururu/scene/textItemLoadData.h>

#include <QApplication>
#include <QFontInfo>
#include <QJsonValue>

#include <algorithm>

namespace {

// The font the reader measures a text item's missing size in, and what this
// machine matched to it: the reader's font, built as the reader builds it.
MeasuredSize measuredSize(const TextItemLoadData_t &item)
{
    MeasuredSize size;
    if (item.common) {
        size.width = item.common->W;
        size.height = item.common->H;
    }
    size.family = item.Family;
    size.pixelSize = item.TextPixelSize;
    size.bold = item.IsBold;
    size.italic = item.IsItalic;
    QFont font = QApplication::font();
    font.setFamily(item.Family);
    font.setStyleHint(QFont::Decorative, QFont::PreferDefault);
    if (item.TextPixelSize > 0)
        font.setPixelSize(item.TextPixelSize);
    font.setWeight(item.IsBold ? QFont::Bold : QFont::Normal);
    font.setItalic(item.IsItalic);
    font.setUnderline(item.IsUnderlined);
    const QFontInfo matched(font);
    size.matchedFamily = matched.family();
    size.matchedPixelSize = matched.pixelSize();
    return size;
}

QString styled(const QString &family, bool bold, bool italic)
{
    return QLatin1Char('"') + family + QLatin1Char('"') + QLatin1String(bold ? " bold" : "") + QLatin1String(italic ? " italic" : "");
}

} // namespace

QString MeasuredSize::fontText() const
{
    const QString asked = pixelSize > 0 ? QStringLiteral("%1 px").arg(pixelSize) : QStringLiteral("no size of its own");
    return QStringLiteral("%1 at %2, which this machine draws in %3 at %4 px")
        .arg(styled(family, bold, italic), asked, styled(matchedFamily, bold, italic))
        .arg(matchedPixelSize);
}

QString RewriteLoss::text() const
{
    QString place = record.file;
    if (line > 0)
        place += QStringLiteral(":%1:%2").arg(line).arg(column);
    QString text = place + QStringLiteral(": ") + rewriteEffectName(effect) + QStringLiteral(": ");
    if (!record.isFile())
        text += record.text() + QStringLiteral(": ");
    text += message;
    if (measured)
        text += QStringLiteral("; here it measures %1 by %2 in %3").arg(measured->width).arg(measured->height).arg(measured->fontText());
    return text;
}

QJsonObject RewriteLoss::toJson() const
{
    QJsonObject object{
        {QStringLiteral("effect"), rewriteEffectName(effect)},
        {QStringLiteral("code"), code ? QJsonValue(QLatin1String(findingCodeInfo(*code).id)) : QJsonValue()},
        {QStringLiteral("line"), line},
        {QStringLiteral("column"), column},
        {QStringLiteral("record"), record.isFile() ? QJsonValue() : QJsonValue(record.toJson())},
        {QStringLiteral("message"), message},
    };
    if (measured)
        object.insert(QStringLiteral("measured"),
                      QJsonObject{{QStringLiteral("width"), measured->width},
                                  {QStringLiteral("height"), measured->height},
                                  {QStringLiteral("family"), measured->family},
                                  {QStringLiteral("pixelSize"), measured->pixelSize},
                                  {QStringLiteral("bold"), measured->bold},
                                  {QStringLiteral("italic"), measured->italic},
                                  {QStringLiteral("matchedFamily"), measured->matchedFamily},
                                  {QStringLiteral("matchedPixelSize"), measured->matchedPixelSize}});
    return object;
}

QList<RewriteLoss> rewriteLosses(const FileLint &lint, const QString &file, const ScaFileData *page)
{
    QList<RewriteLoss> losses;
    for (const Finding &finding : lint.findings) {
        if (finding.rewrite == RewriteEffect::Kept)
            continue;
        RewriteLoss loss{finding.rewrite, finding.code, finding.record, finding.line, finding.column, finding.message, {}};
        // The lint names text items by their place among the page's, as the reader lists them.
        const int text = finding.record.index - 1;
        if (finding.code == FindingCode::MeasuredSize && page && text >= 0 && text < page->textItems.size())
            loss.measured = measuredSize(*page->textItems.at(text));
        losses.append(loss);
    }
    for (const UnreadMarkup &markup : lint.markup)
        losses.append(RewriteLoss{RewriteEffect::Dropped, std::nullopt, RecordRef{file, {}, -1, -1, 0, {}}, markup.line,
                                  markup.column, markup.what + QStringLiteral(": no reader reads it and no writer writes it"), {}});
    std::stable_sort(losses.begin(), losses.end(), [](const RewriteLoss &a, const RewriteLoss &b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    return losses;
}

QString rewriteLossSummary(const QList<RewriteLoss> &losses)
{
    QStringList parts;
    for (const RewriteEffect effect : {RewriteEffect::Dropped, RewriteEffect::Invented, RewriteEffect::Changed}) {
        const auto count = std::count_if(losses.begin(), losses.end(), [effect](const RewriteLoss &l) { return l.effect == effect; });
        if (count > 0)
            parts << QStringLiteral("%1 %2").arg(count).arg(rewriteEffectName(effect));
    }
    return parts.join(QStringLiteral(", "));
}
