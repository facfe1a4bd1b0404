#include "scaFileProcessor.h"

#include "sceneXml_p.h"
#include "common/wholeFileWriter_p.h"
#include "common/xmlLimits.h"
#include "common/xmlText_p.h"

#include <QApplication>
#include <QDomDocument>
#include <QFontMetrics>
#include <QIODevice>
#include <QSize>
#include <QXmlStreamWriter>

using namespace SceneXml;

namespace {

// The tag bindings of a component instance, attributes of its TagIDs element,
// in the order they are written.
struct IntField
{
    QString name;
    int ScadaObjectLoadData_t::*member;
};

const IntField tagBindings[] = {
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
const IntField trailingInts[] = {
    {QStringLiteral("eventAction"), &ScadaObjectLoadData_t::eventAction},
    {QStringLiteral("eventType"), &ScadaObjectLoadData_t::eventType},
    {QStringLiteral("userConst1"), &ScadaObjectLoadData_t::userConst1},
    {QStringLiteral("userConst2"), &ScadaObjectLoadData_t::userConst2},
};

void writeScadaObject(QXmlStreamWriter &w, const ScadaObjectLoadData_t *o)
{
    static const ItemCommonData_t noCommon;
    const ItemCommonData_t *c = o->common ? o->common : &noCommon;

    w.writeStartElement(QStringLiteral("Item"));
    w.writeTextElement(QStringLiteral("ItemType"), QStringLiteral("ScadaObject"));
    writeGeometry(w, c);
    w.writeEmptyElement(QStringLiteral("Properties"));
    w.writeAttribute(QStringLiteral("Name"), ZadUruru::xmlWritable(c->Name));
    w.writeAttribute(QStringLiteral("Uid"), QString::number(o->Uid));
    w.writeAttribute(QStringLiteral("Type"), QString::number(o->Type));
    w.writeAttribute(QStringLiteral("GroupId"), QString::number(c->GroupId));
    w.writeEmptyElement(QStringLiteral("TagIDs"));
    for (const IntField &f : tagBindings)
        w.writeAttribute(f.name, QString::number(o->*f.member));
    writeCData(w, QStringLiteral("MacroText"), o->MacroText);
    writeCData(w, QStringLiteral("Tooltip"), o->Tooltip);
    writeBool(w, QStringLiteral("weblinkActive"), o->weblinkActive);
    writeCData(w, QStringLiteral("weblink"), o->weblink);
    writeBool(w, QStringLiteral("limitsActive"), o->limitsActive);
    w.writeTextElement(QStringLiteral("lowLimit"), floatText(o->lowLimit));
    w.writeTextElement(QStringLiteral("highLimit"), floatText(o->highLimit));
    writeInt(w, QStringLiteral("lofx"), o->lofx);
    writeInt(w, QStringLiteral("lofy"), o->lofy);
    writeCData(w, QStringLiteral("labelStyleSheet"), o->labelStyleSheet);
    writeCData(w, QStringLiteral("labelText"), o->labelText);
    for (const IntField &f : trailingInts)
        writeInt(w, f.name, o->*f.member);
    writeText(w, QStringLiteral("componentUid"), o->componentUid);
    w.writeEndElement();
}

const ItemCommonData_t *commonOf(const ItemCommonData_t *c)
{
    static const ItemCommonData_t none;
    return c ? c : &none;
}

// Opens an Item of a kind whose geometry is the common Geometry element.
void startGeometryItem(QXmlStreamWriter &w, const QString &kind, const ItemCommonData_t *c)
{
    w.writeStartElement(QStringLiteral("Item"));
    w.writeTextElement(QStringLiteral("ItemType"), kind);
    writeGeometry(w, commonOf(c));
    writeGroupProperties(w, commonOf(c));
}

void writeTextItem(QXmlStreamWriter &w, const TextItemLoadData_t *t)
{
    const ItemCommonData_t *c = commonOf(t->common);
    w.writeStartElement(QStringLiteral("Item"));
    w.writeTextElement(QStringLiteral("ItemType"), QStringLiteral("TextItem"));
    writeCData(w, QStringLiteral("ItemText"), t->ItemText);
    writeText(w, QStringLiteral("TextColor"), t->TextColor);
    writeText(w, QStringLiteral("BgColor"), t->BgColor);
    writeInt(w, QStringLiteral("TextPixelSize"), t->TextPixelSize);
    writeInt(w, QStringLiteral("Alignment"), int(t->Alignment));
    writeInt(w, QStringLiteral("ZVal"), c->ZVAL);
    writeBool(w, QStringLiteral("DrawPaper"), t->DrawPaper);
    writeBool(w, QStringLiteral("IsItalic"), t->IsItalic);
    writeBool(w, QStringLiteral("IsUnderlined"), t->IsUnderlined);
    writeText(w, QStringLiteral("Family"), t->Family);
    writeBool(w, QStringLiteral("IsBold"), t->IsBold);
    writeText(w, QStringLiteral("SvgElement"), t->SvgElement);
    writeInt(w, QStringLiteral("Width"), c->W);
    writeInt(w, QStringLiteral("Height"), c->H);
    writeInt(w, QStringLiteral("Rot"), c->Rot);
    writeInt(w, QStringLiteral("ItemPosX"), c->X);
    writeInt(w, QStringLiteral("ItemPosY"), c->Y);
    w.writeEmptyElement(QStringLiteral("Properties"));
    w.writeAttribute(QStringLiteral("GroupId"), QString::number(c->GroupId));
    w.writeAttribute(QStringLiteral("GZVAL"), QString::number(c->GZVAL));
    w.writeEndElement();
}

// The fields of a database-query text, in written order, with the values an
// absent element reads as.
struct DbqText
{
    QString name;
    QString DbQueryTextItemLoadData_t::*member;
    QString absent;
};
const DbqText dbqTexts[] = {
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
const DbqInt dbqReport[] = {
    {QStringLiteral("txtPixelSize"), &DbQueryTextItemLoadData_t::txtPixelSize, 14},
    {QStringLiteral("reportUnit"), &DbQueryTextItemLoadData_t::reportUnit, 1},
    {QStringLiteral("reportType"), &DbQueryTextItemLoadData_t::reportType, 0},
    {QStringLiteral("reportTag"), &DbQueryTextItemLoadData_t::reportTag, -1},
    {QStringLiteral("updateInterval"), &DbQueryTextItemLoadData_t::updateInterval, 100},
    {QStringLiteral("timeFactor"), &DbQueryTextItemLoadData_t::timeFactor, 100},
};
const DbqText dbqStyle = {QStringLiteral("labelStyleSheet"), &DbQueryTextItemLoadData_t::labelStyleSheet,
                          QStringLiteral("font: 12px \"Arial\";")};
const DbqInt dbqOffsets[] = {
    {QStringLiteral("lofx"), &DbQueryTextItemLoadData_t::lofx, 0},
    {QStringLiteral("lofy"), &DbQueryTextItemLoadData_t::lofy, 0},
};

void writeDbqTextItem(QXmlStreamWriter &w, const DbQueryTextItemLoadData_t *d)
{
    startGeometryItem(w, QStringLiteral("DbqTextItem"), d->common);
    for (const DbqText &f : dbqTexts)
        writeText(w, f.name, d->*f.member);
    for (const DbqInt &f : dbqReport)
        writeInt(w, f.name, d->*f.member);
    writeText(w, dbqStyle.name, d->*dbqStyle.member);
    for (const DbqInt &f : dbqOffsets)
        writeInt(w, f.name, d->*f.member);
    w.writeEndElement();
}

void writeScheduleItem(QXmlStreamWriter &w, const ScheduleItemLoadData_t *s)
{
    startGeometryItem(w, QStringLiteral("ScheduleItem"), s->common);
    w.writeStartElement(QStringLiteral("TagIDs"));
    for (int tag : s->TagIDs)
        writeInt(w, QStringLiteral("Tag"), tag);
    w.writeEndElement();
    w.writeEndElement();
}

void writeChartItem(QXmlStreamWriter &w, const RealTimeChartItemLoadData_t *r)
{
    startGeometryItem(w, QStringLiteral("RTChartItem"), r->common);
    w.writeStartElement(QStringLiteral("TagIDs"));
    for (const ChartLineData &line : r->TagIDs) {
        w.writeEmptyElement(QStringLiteral("TagData"));
        w.writeAttribute(QStringLiteral("Tag"), QString::number(line.Tag));
        w.writeAttribute(QStringLiteral("LineStyle"), QString::number(line.LineStyle));
        w.writeAttribute(QStringLiteral("LineColor"), ZadUruru::xmlWritable(line.LineColor));
    }
    w.writeEndElement();
    writeText(w, QStringLiteral("BgColor"), r->BgColor);
    writeText(w, QStringLiteral("TxtColor"), r->TxtColor);
    writeBool(w, QStringLiteral("ShowLegend"), r->ShowLegend);
    writeBool(w, QStringLiteral("FollowLastVal"), r->FollowLastVal);
    writeBool(w, QStringLiteral("RescaleValAxis"), r->RescaleValAxis);
    writeInt(w, QStringLiteral("ShowLastSeconds"), r->ShowLastSeconds);
    writeInt(w, QStringLiteral("UpperLimit"), r->UpperLimit);
    writeInt(w, QStringLiteral("LowerLimit"), r->LowerLimit);
    w.writeEndElement();
}

void writeTableItem(QXmlStreamWriter &w, const TableItemLoadData_t *t)
{
    startGeometryItem(w, QStringLiteral("TableItem"), t->common);
    w.writeStartElement(QStringLiteral("TableData"));
    w.writeStartElement(QStringLiteral("ColumnGroup"));
    for (int width : t->columnWidths) {
        w.writeEmptyElement(QStringLiteral("Column"));
        w.writeAttribute(QStringLiteral("width"), QString::number(width));
    }
    w.writeEndElement();
    for (const QList<QString> &row : t->rows) {
        w.writeStartElement(QStringLiteral("Row"));
        for (const QString &cell : row)
            writeCData(w, QStringLiteral("CellText"), cell);
        w.writeEndElement();
    }
    w.writeEndElement(); // TableData
    w.writeEndElement(); // Item
}

// A new record of a kind whose geometry is the common Geometry element.
template<typename T>
T *newGeometryItem(const Children &item, int itemTypeCode)
{
    auto *record = new T;
    record->common = new ItemCommonData_t;
    readCommon(item, record->common, itemTypeCode);
    return record;
}

template<typename T, typename Write>
void writeAll(QXmlStreamWriter &w, const QList<T *> &items, Write write)
{
    for (const T *item : items) {
        if (item)
            write(w, item);
    }
}

void readPageProperties(const Children &p, PagePropertiesData_t *page)
{
    page->relativePath = childText(p, QStringLiteral("relativePath"));
    page->pageAux = -1;
    page->pageType = childInt(p, QStringLiteral("pageType"));
    page->customPageSize = childBool(p, QStringLiteral("customPageSize"));
    page->addScrollingText = childBool(p, QStringLiteral("addScrollingText"));
    page->scaleToWindow = childInt(p, QStringLiteral("scaleToWindow"));
    const QDomElement geometry = p.element(QStringLiteral("pageGeometry"));
    page->H = attrInt(geometry, QStringLiteral("H"), QStringLiteral("150"));
    page->W = attrInt(geometry, QStringLiteral("W"), QStringLiteral("250"));
    page->pageBgImage = childText(p, QStringLiteral("pageBgImage"));
    page->pageIcon = childText(p, QStringLiteral("pageIcon"));
    page->pageAccessRights = childInt64(p, QStringLiteral("pageAccessRights"));
    page->pageAccessRights2 = childInt64(p, QStringLiteral("pageAccessRights2"));
}

void writePageProperties(QXmlStreamWriter &w, const PagePropertiesData_t &page, const QString &path)
{
    w.writeStartElement(QStringLiteral("PageProperties"));
    writeText(w, QStringLiteral("pageName"), page.pageName);
    writeText(w, QStringLiteral("fileName"), path);
    writeText(w, QStringLiteral("relativePath"), page.relativePath);
    writeInt(w, QStringLiteral("pageID"), page.pageID);
    writeInt(w, QStringLiteral("pageType"), page.pageType);
    writeBool(w, QStringLiteral("customPageSize"), page.customPageSize);
    writeBool(w, QStringLiteral("addScrollingText"), page.addScrollingText);
    writeInt(w, QStringLiteral("scaleToWindow"), page.scaleToWindow);
    writeText(w, QStringLiteral("pageBgImage"), page.pageBgImage);
    writeText(w, QStringLiteral("pageIcon"), page.pageIcon);
    writeInt(w, QStringLiteral("pageAccessRights"), page.pageAccessRights);
    writeInt(w, QStringLiteral("pageAccessRights2"), page.pageAccessRights2);
    w.writeEmptyElement(QStringLiteral("pageGeometry"));
    w.writeAttribute(QStringLiteral("W"), QString::number(page.W));
    w.writeAttribute(QStringLiteral("H"), QString::number(page.H));
    w.writeStartElement(QStringLiteral("ScrollTags"));
    for (const ScrollingText &t : page.ScrollTags) {
        w.writeEmptyElement(QStringLiteral("Tag"));
        w.writeAttribute(QStringLiteral("TagID"), QString::number(t.TagID));
        w.writeAttribute(QStringLiteral("ScrollText"), ZadUruru::xmlWritable(t.ScrollText));
    }
    w.writeEndElement(); // ScrollTags
    w.writeEndElement(); // PageProperties
}

// The size a text item without a stored one gets: twice its text's width (at
// most 800) by four lines. Measuring needs the font system of a GUI
// application, and Qt crashes without one: a host with no GUI gets 0 by 0.
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

bool parse(const QByteArray &data, QDomDocument &doc)
{
    if (ZadUruru::isTooDeeplyNested(data))
        return false;
    return doc.setContent(data, false);
}

} // namespace

ScaFileProcessor::ScaFileProcessor(QObject *parent)
    : QObject(parent)
{
}

ScaFileData *ScaFileProcessor::loadFileData(const QByteArray &data, QString fileName)
{
    QDomDocument doc;
    if (!parse(data, doc))
        return nullptr;

    auto *file = new ScaFileData;
    const QDomElement root = doc.documentElement();

    const QDomElement list = root.firstChildElement(QStringLiteral("ItemList"));
    for (QDomElement item = list.firstChildElement(QStringLiteral("Item")); !item.isNull();
         item = item.nextSiblingElement(QStringLiteral("Item"))) {
        const QDomElement typeElement = item.firstChildElement(QStringLiteral("ItemType"));
        // An item without a kind is a component instance; an unknown kind is skipped.
        const QString type = typeElement.isNull() ? QStringLiteral("ScadaObject") : typeElement.text();
        if (type == QLatin1String("ScadaObject")) {
            ScadaObjectLoadData_t *object = scadaObjectFromXML(&item);
            file->scadaObjects.append(object);
            file->labelTagIds.append(object->tagID_label);
        } else if (type == QLatin1String("TextItem")) {
            file->textItems.append(textItemFromXML(&item));
        } else if (type == QLatin1String("ScheduleItem")) {
            file->scheduleItems.append(schItemFromXML(&item));
        } else if (type == QLatin1String("RTChartItem")) {
            file->rtChartItems.append(rtchartItemFromXML(&item));
        } else if (type == QLatin1String("DbqTextItem")) {
            file->dbqTextItems.append(dbqTextItemFromXML(&item));
        } else if (type == QLatin1String("TableItem")) {
            file->tableItems.append(tableItemFromXML(&item));
        }
    }

    const QDomElement properties = root.firstChildElement(QStringLiteral("PageProperties"));
    const Children p(properties);
    PagePropertiesData_t &page = file->pageProperties;
    page.pageName = childText(p, QStringLiteral("pageName"));
    page.fileName = fileName.isNull() ? childText(p, QStringLiteral("fileName")) : fileName;
    readPageProperties(p, &page);
    page.pageID = childInt(p, QStringLiteral("pageID"), -1);

    const QDomElement scroll = p.element(QStringLiteral("ScrollTags"));
    for (QDomElement tag = scroll.firstChildElement(QStringLiteral("Tag")); !tag.isNull();
         tag = tag.nextSiblingElement(QStringLiteral("Tag"))) {
        ScrollingText t;
        t.TagID = attrInt(tag, QStringLiteral("TagID"), QStringLiteral("0"));
        t.ScrollText = tag.attribute(QStringLiteral("ScrollText"), QStringLiteral("Text"));
        page.ScrollTags.append(t);
    }
    return file;
}

PagePropertiesData_t *ScaFileProcessor::loadSceneData(const QByteArray &data)
{
    QDomDocument doc;
    if (!parse(data, doc))
        return nullptr;

    auto *page = new PagePropertiesData_t;
    const Children p(doc.documentElement().firstChildElement(QStringLiteral("PageProperties")));
    page->pageName = childText(p, QStringLiteral("pageName"));
    page->pageID = childInt(p, QStringLiteral("pageID"), -1);
    page->fileName = childText(p, QStringLiteral("fileName"));
    readPageProperties(p, page);
    return page;
}

bool ScaFileProcessor::saveFileData(ScaFileData *data, QString path)
{
    return ZadUruru::writeWholeFile(path, [&](QIODevice *device) {
        QXmlStreamWriter w(device);
        w.setAutoFormatting(true);
        w.writeStartDocument();
        w.writeStartElement(QStringLiteral("ScadaFile"));
        w.writeStartElement(QStringLiteral("ItemList"));
        // Items go out grouped by kind, in this fixed order.
        writeAll(w, data->scadaObjects, writeScadaObject);
        writeAll(w, data->textItems, writeTextItem);
        writeAll(w, data->scheduleItems, writeScheduleItem);
        writeAll(w, data->rtChartItems, writeChartItem);
        writeAll(w, data->dbqTextItems, writeDbqTextItem);
        writeAll(w, data->tableItems, writeTableItem);
        w.writeEndElement(); // ItemList
        writePageProperties(w, data->pageProperties, path);
        w.writeEndElement(); // ScadaFile
        w.writeEndDocument();
        return !w.hasError();
    });
}

ScadaObjectLoadData_t *ScaFileProcessor::scadaObjectFromXML(QDomElement *itemElement)
{
    const Children item(*itemElement);
    auto *o = newGeometryItem<ScadaObjectLoadData_t>(item, 1);

    const QDomElement props = item.element(QStringLiteral("Properties"));
    o->common->Name = props.attribute(QStringLiteral("Name"));
    o->Uid = attrInt(props, QStringLiteral("Uid"), QStringLiteral("0"));
    o->Type = attrInt(props, QStringLiteral("Type"), QStringLiteral("0"));

    const QDomElement tags = item.element(QStringLiteral("TagIDs"));
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

TextItemLoadData_t *ScaFileProcessor::textItemFromXML(QDomElement *itemElement)
{
    const Children item(*itemElement);
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
    c->GZVAL = childInt(item, QStringLiteral("GZVal"));
    t->SvgElement = childText(item, QStringLiteral("SvgElement"));
    const int oldSize = childInt(item, QStringLiteral("TextSize"));
    const int pixelSize = childInt(item, QStringLiteral("TextPixelSize"));
    t->TextPixelSize = (pixelSize == 0 || pixelSize == -1) ? oldSize : pixelSize;
    t->Family = childTextOr(item, QStringLiteral("Family"), QStringLiteral("Arial"));
    t->IsBold = childBool(item, QStringLiteral("IsBold"));
    t->IsItalic = childBool(item, QStringLiteral("IsItalic"));
    t->IsUnderlined = childBool(item, QStringLiteral("IsUnderlined"));

    const QDomElement width = item.element(QStringLiteral("Width"));
    const QDomElement height = item.element(QStringLiteral("Height"));
    QSize measured;
    if (width.isNull() || height.isNull())
        measured = measuredTextSize(*t);
    c->W = width.isNull() ? measured.width() : toInt(width.text());
    c->H = height.isNull() ? measured.height() : toInt(height.text());
    c->Rot = childInt(item, QStringLiteral("Rot"));
    c->GroupId = attrUInt64(item.element(QStringLiteral("Properties")), QStringLiteral("GroupId"));
    c->itemTypeCode = 2;
    return t;
}

DbQueryTextItemLoadData_t *ScaFileProcessor::dbqTextItemFromXML(QDomElement *itemElement)
{
    const Children item(*itemElement);
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

ScheduleItemLoadData_t *ScaFileProcessor::schItemFromXML(QDomElement *itemElement)
{
    const Children item(*itemElement);
    auto *s = newGeometryItem<ScheduleItemLoadData_t>(item, 1);
    const QDomElement tags = item.element(QStringLiteral("TagIDs"));
    for (QDomElement tag = tags.firstChildElement(QStringLiteral("Tag")); !tag.isNull();
         tag = tag.nextSiblingElement(QStringLiteral("Tag")))
        s->TagIDs.append(toInt(tag.text()));
    return s;
}

RealTimeChartItemLoadData_t *ScaFileProcessor::rtchartItemFromXML(QDomElement *itemElement)
{
    const Children item(*itemElement);
    auto *r = newGeometryItem<RealTimeChartItemLoadData_t>(item, 5);

    const QDomElement tags = item.element(QStringLiteral("TagIDs"));
    for (QDomElement e = tags.firstChildElement(QStringLiteral("TagData")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("TagData"))) {
        ChartLineData line;
        line.Tag = attrInt(e, QStringLiteral("Tag"), QStringLiteral("-1"));
        line.LineStyle = attrInt(e, QStringLiteral("LineStyle"), QStringLiteral("0"));
        line.LineColor = e.attribute(QStringLiteral("LineColor"), QStringLiteral("#FF0000"));
        r->TagIDs.append(line);
    }
    // Older files list bare tag ids; they become lines of the default look.
    for (QDomElement e = tags.firstChildElement(QStringLiteral("Tag")); !e.isNull();
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

TableItemLoadData_t *ScaFileProcessor::tableItemFromXML(QDomElement *itemElement)
{
    const Children item(*itemElement);
    auto *t = newGeometryItem<TableItemLoadData_t>(item, 7);

    const QDomElement table = item.element(QStringLiteral("TableData"));
    const QDomElement columns = table.firstChildElement(QStringLiteral("ColumnGroup"));
    for (QDomElement col = columns.firstChildElement(QStringLiteral("Column")); !col.isNull();
         col = col.nextSiblingElement(QStringLiteral("Column")))
        t->columnWidths.append(attrInt(col, QStringLiteral("width"), QStringLiteral("30")));
    for (QDomElement row = table.firstChildElement(QStringLiteral("Row")); !row.isNull();
         row = row.nextSiblingElement(QStringLiteral("Row"))) {
        QList<QString> cells;
        for (QDomElement cell = row.firstChildElement(QStringLiteral("CellText")); !cell.isNull();
             cell = cell.nextSiblingElement(QStringLiteral("CellText")))
            cells.append(cell.text());
        t->rows.append(cells);
    }
    return t;
}
