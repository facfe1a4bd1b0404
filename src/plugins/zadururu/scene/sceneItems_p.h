#pragma once

// The readers of the scene file's records, one per item kind and one for the
// page properties, written once for every element tree they read from:
// QDomElement, or the light TreeElement. The field tables are shared with
// the writers, which put the fields out in the same order.

#include "sceneXml_p.h"

#include <zadururu/scene/pagePropertiesData.h>
#include <zadururu/scene/scaFileData.h>

#include <QSize>

namespace SceneXml {

// The tag bindings of a component instance, attributes of its TagIDs element,
// in the order they are written.
struct IntField
{
    QString name;
    int ScadaObjectLoadData_t::*member;
};

inline const IntField tagBindings[] = {
    {QStringLiteral("tagID_image"), &ScadaObjectLoadData_t::tagID_image},
    {QStringLiteral("tagID_label"), &ScadaObjectLoadData_t::tagID_label},
    {QStringLiteral("tagID_width"), &ScadaObjectLoadData_t::tagID_width},
    {QStringLiteral("tagID_height"), &ScadaObjectLoadData_t::tagID_height},
    {QStringLiteral("tagID_posx"), &ScadaObjectLoadData_t::tagID_posx},
    {QStringLiteral("tagID_posy"), &ScadaObjectLoadData_t::tagID_posy},
    {QStringLiteral("tagID_rotAng"), &ScadaObjectLoadData_t::tagID_rotAng},
    {QStringLiteral("tagID_txtColor"), &ScadaObjectLoadData_t::tagID_txtColor},
    {QStringLiteral("tagID_maskColor"), &ScadaObjectLoadData_t::tagID_maskColor},
    {QStringLiteral("tagID_maskOpac"), &ScadaObjectLoadData_t::tagID_maskOpac},
    {QStringLiteral("tagID_eventTarget"), &ScadaObjectLoadData_t::tagID_eventTarget},
    {QStringLiteral("tagID_cusProp1"), &ScadaObjectLoadData_t::tagID_cusProp1},
    {QStringLiteral("tagID_cusProp2"), &ScadaObjectLoadData_t::tagID_cusProp2},
    {QStringLiteral("tagID_cusProp3"), &ScadaObjectLoadData_t::tagID_cusProp3},
    {QStringLiteral("tagID_cusProp4"), &ScadaObjectLoadData_t::tagID_cusProp4},
    {QStringLiteral("tagID_cusProp5"), &ScadaObjectLoadData_t::tagID_cusProp5},
    {QStringLiteral("tagID_cusProp6"), &ScadaObjectLoadData_t::tagID_cusProp6},
    {QStringLiteral("tagID_cusProp7"), &ScadaObjectLoadData_t::tagID_cusProp7},
};

// Integer child elements that follow the label texts, in written order.
inline const IntField trailingInts[] = {
    {QStringLiteral("eventAction"), &ScadaObjectLoadData_t::eventAction},
    {QStringLiteral("eventType"), &ScadaObjectLoadData_t::eventType},
    {QStringLiteral("userConst1"), &ScadaObjectLoadData_t::userConst1},
    {QStringLiteral("userConst2"), &ScadaObjectLoadData_t::userConst2},
};

// The fields of a database-query text, in written order, with the values an
// absent element reads as.
struct DbqText
{
    QString name;
    QString DbQueryTextItemLoadData_t::*member;
    QString absent;
};
inline const DbqText dbqTexts[] = {
    {QStringLiteral("bgColor"), &DbQueryTextItemLoadData_t::bgColor, QStringLiteral("#000")},
    {QStringLiteral("txtColor"), &DbQueryTextItemLoadData_t::txtColor, QStringLiteral("#FFF")},
    {QStringLiteral("labelText"), &DbQueryTextItemLoadData_t::labelText, QStringLiteral("Val is ")},
};
struct DbqInt
{
    QString name;
    int DbQueryTextItemLoadData_t::*member;
    int absent;
};
inline const DbqInt dbqReport[] = {
    {QStringLiteral("txtPixelSize"), &DbQueryTextItemLoadData_t::txtPixelSize, 14},
    {QStringLiteral("reportUnit"), &DbQueryTextItemLoadData_t::reportUnit, 1},
    {QStringLiteral("reportType"), &DbQueryTextItemLoadData_t::reportType, 0},
    {QStringLiteral("reportTag"), &DbQueryTextItemLoadData_t::reportTag, -1},
    {QStringLiteral("updateInterval"), &DbQueryTextItemLoadData_t::updateInterval, 100},
    {QStringLiteral("timeFactor"), &DbQueryTextItemLoadData_t::timeFactor, 100},
};
inline const DbqText dbqStyle = {QStringLiteral("labelStyleSheet"), &DbQueryTextItemLoadData_t::labelStyleSheet,
                                 QStringLiteral("font: 12px \"Arial\";")};
inline const DbqInt dbqOffsets[] = {
    {QStringLiteral("lofx"), &DbQueryTextItemLoadData_t::lofx, 0},
    {QStringLiteral("lofy"), &DbQueryTextItemLoadData_t::lofy, 0},
};

// A new record of a kind whose geometry is the common Geometry element.
template <typename T, class E>
T *newGeometryItem(const Children<E> &item, int itemTypeCode)
{
    auto *record = new T;
    record->common = new ItemCommonData_t;
    readCommon(item, record->common, itemTypeCode);
    return record;
}

/**
 * The size a text item without a stored one gets: twice its text's width (at
 * most 800) by four lines. Measuring needs the font system of a GUI
 * application, and Qt crashes without one: a host with no GUI gets 0 by 0.
 */
QSize measuredTextSize(const TextItemLoadData_t &t);

template <class E>
void readPageProperties(const Children<E> &p, PagePropertiesData_t *page)
{
    page->relativePath = childText(p, QStringLiteral("relativePath"));
    page->pageAux = -1;
    page->pageType = childInt(p, QStringLiteral("pageType"));
    page->customPageSize = childBool(p, QStringLiteral("customPageSize"));
    page->addScrollingText = childBool(p, QStringLiteral("addScrollingText"));
    page->scaleToWindow = childInt(p, QStringLiteral("scaleToWindow"));
    const E geometry = p.element(QStringLiteral("pageGeometry"));
    page->H = attrInt(geometry, QStringLiteral("H"), QStringLiteral("150"));
    page->W = attrInt(geometry, QStringLiteral("W"), QStringLiteral("250"));
    page->pageBgImage = childText(p, QStringLiteral("pageBgImage"));
    page->pageIcon = childText(p, QStringLiteral("pageIcon"));
    page->pageAccessRights = childInt64(p, QStringLiteral("pageAccessRights"));
    page->pageAccessRights2 = childInt64(p, QStringLiteral("pageAccessRights2"));
}

template <class E>
ScadaObjectLoadData_t *readScadaObject(const E &itemElement)
{
    const Children<E> item(itemElement);
    auto *o = newGeometryItem<ScadaObjectLoadData_t>(item, 1);

    const E props = item.element(QStringLiteral("Properties"));
    o->common->Name = props.attribute(QStringLiteral("Name"));
    o->Uid = attrInt(props, QStringLiteral("Uid"), QStringLiteral("0"));
    o->Type = attrInt(props, QStringLiteral("Type"), QStringLiteral("0"));

    const E tags = item.element(QStringLiteral("TagIDs"));
    for (const IntField &f : tagBindings)
        o->*f.member = attrInt(tags, f.name, QStringLiteral("-1"));

    o->MacroText = childText(item, QStringLiteral("MacroText"));
    o->Tooltip = childText(item, QStringLiteral("Tooltip"));
    o->weblinkActive = childBool(item, QStringLiteral("weblinkActive"));
    o->weblink = childText(item, QStringLiteral("weblink"));
    o->limitsActive = childBool(item, QStringLiteral("limitsActive"));
    o->lowLimit = childFloat(item, QStringLiteral("lowLimit"), 0.0f);
    o->highLimit = childFloat(item, QStringLiteral("highLimit"), 100.0f);
    o->lofx = childInt(item, QStringLiteral("lofx"));
    o->lofy = childInt(item, QStringLiteral("lofy"));
    o->labelStyleSheet = childText(item, QStringLiteral("labelStyleSheet"));
    o->labelText = childText(item, QStringLiteral("labelText"));
    for (const IntField &f : trailingInts)
        o->*f.member = childInt(item, f.name);
    o->componentUid = childText(item, QStringLiteral("componentUid"));
    return o;
}

template <class E>
TextItemLoadData_t *readTextItem(const E &itemElement)
{
    const Children<E> item(itemElement);
    auto *t = new TextItemLoadData_t;
    auto *c = new ItemCommonData_t;
    t->common = c;

    t->ItemText = childText(item, QStringLiteral("ItemText"));
    c->X = positionFromText(childText(item, QStringLiteral("ItemPosX")));
    c->Y = positionFromText(childText(item, QStringLiteral("ItemPosY")));
    // An empty colour means the default as much as a missing one.
    t->TextColor = childText(item, QStringLiteral("TextColor"));
    if (t->TextColor.isEmpty())
        t->TextColor = QStringLiteral("#000000");
    t->BgColor = childText(item, QStringLiteral("BgColor"));
    if (t->BgColor.isEmpty())
        t->BgColor = QStringLiteral("#FFFFFF");
    t->DrawPaper = childBool(item, QStringLiteral("DrawPaper"));
    t->Alignment = Qt::Alignment(childInt(item, QStringLiteral("Alignment")));
    c->ZVAL = childInt(item, QStringLiteral("ZVal"));
    // The writer stores the group Z value as the GZVAL attribute of
    // Properties; older files carry a GZVal element, which holds when present.
    const E groupZ = item.element(QStringLiteral("GZVal"));
    const E properties = item.element(QStringLiteral("Properties"));
    c->GZVAL = groupZ.isNull() ? attrInt(properties, QStringLiteral("GZVAL"), QStringLiteral("0")) : toInt(groupZ.text());
    t->SvgElement = childText(item, QStringLiteral("SvgElement"));
    const int oldSize = childInt(item, QStringLiteral("TextSize"));
    const int pixelSize = childInt(item, QStringLiteral("TextPixelSize"));
    t->TextPixelSize = (pixelSize == 0 || pixelSize == -1) ? oldSize : pixelSize;
    t->Family = childTextOr(item, QStringLiteral("Family"), QStringLiteral("Arial"));
    t->IsBold = childBool(item, QStringLiteral("IsBold"));
    t->IsItalic = childBool(item, QStringLiteral("IsItalic"));
    t->IsUnderlined = childBool(item, QStringLiteral("IsUnderlined"));

    const E width = item.element(QStringLiteral("Width"));
    const E height = item.element(QStringLiteral("Height"));
    QSize measured;
    if (width.isNull() || height.isNull())
        measured = measuredTextSize(*t);
    c->W = width.isNull() ? measured.width() : toInt(width.text());
    c->H = height.isNull() ? measured.height() : toInt(height.text());
    c->Rot = childInt(item, QStringLiteral("Rot"));
    c->GroupId = attrUInt64(properties, QStringLiteral("GroupId"));
    c->itemTypeCode = 2;
    return t;
}

template <class E>
DbQueryTextItemLoadData_t *readDbqTextItem(const E &itemElement)
{
    const Children<E> item(itemElement);
    auto *d = newGeometryItem<DbQueryTextItemLoadData_t>(item, 5);
    for (const DbqText &f : dbqTexts)
        d->*f.member = childTextOr(item, f.name, f.absent);
    for (const DbqInt &f : dbqReport)
        d->*f.member = childInt(item, f.name, f.absent);
    d->*dbqStyle.member = childTextOr(item, dbqStyle.name, dbqStyle.absent);
    for (const DbqInt &f : dbqOffsets)
        d->*f.member = childInt(item, f.name, f.absent);
    return d;
}

template <class E>
ScheduleItemLoadData_t *readScheduleItem(const E &itemElement)
{
    const Children<E> item(itemElement);
    auto *s = newGeometryItem<ScheduleItemLoadData_t>(item, 1);
    const E tags = item.element(QStringLiteral("TagIDs"));
    for (E tag = tags.firstChildElement(QStringLiteral("Tag")); !tag.isNull();
         tag = tag.nextSiblingElement(QStringLiteral("Tag")))
        s->TagIDs.append(toInt(tag.text()));
    return s;
}

template <class E>
RealTimeChartItemLoadData_t *readChartItem(const E &itemElement)
{
    const Children<E> item(itemElement);
    auto *r = newGeometryItem<RealTimeChartItemLoadData_t>(item, 5);

    const E tags = item.element(QStringLiteral("TagIDs"));
    for (E e = tags.firstChildElement(QStringLiteral("TagData")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("TagData"))) {
        ChartLineData line;
        line.Tag = attrInt(e, QStringLiteral("Tag"), QStringLiteral("-1"));
        line.LineStyle = attrInt(e, QStringLiteral("LineStyle"), QStringLiteral("0"));
        line.LineColor = e.attribute(QStringLiteral("LineColor"), QStringLiteral("#FF0000"));
        r->TagIDs.append(line);
    }
    // Older files list bare tag ids; they become lines of the default look.
    for (E e = tags.firstChildElement(QStringLiteral("Tag")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("Tag"))) {
        ChartLineData line;
        line.Tag = toInt(e.text());
        line.LineStyle = 0;
        r->TagIDs.append(line);
    }

    r->BgColor = childTextOr(item, QStringLiteral("BgColor"), QStringLiteral("#000"));
    r->TxtColor = childTextOr(item, QStringLiteral("TxtColor"), QStringLiteral("#FFF"));
    r->ShowLegend = childBoolOr(item, QStringLiteral("ShowLegend"), true);
    r->FollowLastVal = childBoolOr(item, QStringLiteral("FollowLastVal"), true);
    r->RescaleValAxis = childBoolOr(item, QStringLiteral("RescaleValAxis"), true);
    r->ShowLastSeconds = childInt(item, QStringLiteral("ShowLastSeconds"), 300);
    r->UpperLimit = childInt(item, QStringLiteral("UpperLimit"));
    r->LowerLimit = childInt(item, QStringLiteral("LowerLimit"));
    return r;
}

template <class E>
TableItemLoadData_t *readTableItem(const E &itemElement)
{
    const Children<E> item(itemElement);
    auto *t = newGeometryItem<TableItemLoadData_t>(item, 7);

    const E table = item.element(QStringLiteral("TableData"));
    const E columns = table.firstChildElement(QStringLiteral("ColumnGroup"));
    for (E col = columns.firstChildElement(QStringLiteral("Column")); !col.isNull();
         col = col.nextSiblingElement(QStringLiteral("Column")))
        t->columnWidths.append(attrInt(col, QStringLiteral("width"), QStringLiteral("30")));
    for (E row = table.firstChildElement(QStringLiteral("Row")); !row.isNull();
         row = row.nextSiblingElement(QStringLiteral("Row"))) {
        QList<QString> cells;
        for (E cell = row.firstChildElement(QStringLiteral("CellText")); !cell.isNull();
             cell = cell.nextSiblingElement(QStringLiteral("CellText")))
            cells.append(cell.text());
        t->rows.append(cells);
    }
    return t;
}

/// Reads one Item element into @p file: a component instance when it names no kind; an unknown kind is skipped.
template <class E>
void readItem(const E &item, ScaFileData *file)
{
    const E typeElement = item.firstChildElement(QStringLiteral("ItemType"));
    const QString type = typeElement.isNull() ? QStringLiteral("ScadaObject") : typeElement.text();
    if (type == QLatin1String("ScadaObject")) {
        ScadaObjectLoadData_t *object = readScadaObject(item);
        file->scadaObjects.append(object);
        file->labelTagIds.append(object->tagID_label);
    } else if (type == QLatin1String("TextItem")) {
        file->textItems.append(readTextItem(item));
    } else if (type == QLatin1String("ScheduleItem")) {
        file->scheduleItems.append(readScheduleItem(item));
    } else if (type == QLatin1String("RTChartItem")) {
        file->rtChartItems.append(readChartItem(item));
    } else if (type == QLatin1String("DbqTextItem")) {
        file->dbqTextItems.append(readDbqTextItem(item));
    } else if (type == QLatin1String("TableItem")) {
        file->tableItems.append(readTableItem(item));
    }
}

/// What a page read takes from the PageProperties element besides the common fields.
enum class PageRead { Summary, WithScrollingTexts };

/**
 * Reads the PageProperties element (null when the file has none) into @p page.
 * @p fileName is the page's file name unless it is null, when the file's own is taken.
 */
template <class E>
void readPage(const E &properties, PagePropertiesData_t *page, const QString &fileName, PageRead read)
{
    const Children<E> p(properties);
    page->pageName = childText(p, QStringLiteral("pageName"));
    page->pageID = childInt(p, QStringLiteral("pageID"), -1);
    page->fileName = fileName.isNull() ? childText(p, QStringLiteral("fileName")) : fileName;
    readPageProperties(p, page);
    if (read == PageRead::Summary)
        return;
    const E scroll = p.element(QStringLiteral("ScrollTags"));
    for (E tag = scroll.firstChildElement(QStringLiteral("Tag")); !tag.isNull();
         tag = tag.nextSiblingElement(QStringLiteral("Tag"))) {
        ScrollingText t;
        t.TagID = attrInt(tag, QStringLiteral("TagID"), QStringLiteral("0"));
        t.ScrollText = tag.attribute(QStringLiteral("ScrollText"), QStringLiteral("Text"));
        page->ScrollTags.append(t);
    }
}

} // namespace SceneXml
