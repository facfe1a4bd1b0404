#include "sceneItems_p.h"

#include <QApplication>
#include <QFontMetrics>

namespace SceneXml {

void writeGroupProperties(QXmlStreamWriter &w, const ItemCommonData_t *c)
{
    w.writeEmptyElement(QStringLiteral("Properties"));
    w.writeAttribute(QStringLiteral("GroupId"), QString::number(c->GroupId));
}

void writeGeometry(QXmlStreamWriter &w, const ItemCommonData_t *c)
{
    w.writeEmptyElement(QStringLiteral("Geometry"));
    w.writeAttribute(QStringLiteral("X"), QString::number(c->X));
    w.writeAttribute(QStringLiteral("Y"), QString::number(c->Y));
    w.writeAttribute(QStringLiteral("W"), QString::number(c->W));
    w.writeAttribute(QStringLiteral("H"), QString::number(c->H));
    w.writeAttribute(QStringLiteral("Rot"), QString::number(c->Rot));
    w.writeAttribute(QStringLiteral("ZVAL"), QString::number(c->ZVAL));
    w.writeAttribute(QStringLiteral("GZVAL"), QString::number(c->GZVAL));
    w.writeAttribute(QStringLiteral("HFlip"), c->HFlip ? QStringLiteral("1") : QStringLiteral("0"));
    w.writeAttribute(QStringLiteral("VFlip"), c->VFlip ? QStringLiteral("1") : QStringLiteral("0"));
}

QSize measuredTextSize(const TextItemLoadData_t &t)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        qWarning("ScaFileProcessor: no GUI application to measure a text item; its missing size is 0");
        return QSize(0, 0);
    }
    QFont font = QApplication::font();
    font.setFamily(t.Family);
    font.setStyleHint(QFont::Decorative, QFont::PreferDefault);
    font.setPixelSize(t.TextPixelSize); // a size below 1 is ignored by Qt
    font.setWeight(t.IsBold ? QFont::Bold : QFont::Normal);
    font.setItalic(t.IsItalic);
    font.setUnderline(t.IsUnderlined);
    const QFontMetrics metrics(font);
    return QSize(qMin(2 * metrics.width(t.ItemText), 800), 4 * metrics.height());
}

} // namespace SceneXml
