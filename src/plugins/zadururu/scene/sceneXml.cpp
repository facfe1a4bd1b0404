#include "sceneXml_p.h"

#include "itemCommonData.h"

namespace SceneXml {

void readCommon(const Children &item, ItemCommonData_t *common, int itemTypeCode)
{
    const QDomElement g = item.element(QStringLiteral("Geometry"));
    // Positions may be stored with fractions; they are cut toward zero.
    common->X = positionFromText(g.attribute(QStringLiteral("X")));
    common->Y = positionFromText(g.attribute(QStringLiteral("Y")));
    common->W = toInt(g.attribute(QStringLiteral("W")));
    common->H = toInt(g.attribute(QStringLiteral("H")));
    common->Rot = toInt(g.attribute(QStringLiteral("Rot")));
    common->ZVAL = toInt(g.attribute(QStringLiteral("ZVAL")));
    common->GZVAL = toInt(g.attribute(QStringLiteral("GZVAL")));
    common->HFlip = attrInt(g, QStringLiteral("HFlip"), QStringLiteral("0")) != 0;
    common->VFlip = attrInt(g, QStringLiteral("VFlip"), QStringLiteral("0")) != 0;
    common->itemTypeCode = itemTypeCode;
    common->GroupId = attrUInt64(item.element(QStringLiteral("Properties")), QStringLiteral("GroupId"));
}

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

} // namespace SceneXml
