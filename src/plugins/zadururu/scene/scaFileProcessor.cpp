#include "scaFileProcessor.h"

#include "sceneItems_p.h"
#include "sceneLoad_p.h"
#include "common/regularFile.h"
#include "common/wholeFileWriter_p.h"
#include "common/xmlParser_p.h"
#include "common/xmlText_p.h"

#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QXmlStreamWriter>

#include <new>

using namespace SceneXml;

namespace {


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


template<typename T, typename Write>
void writeAll(QXmlStreamWriter &w, const QList<T *> &items, Write write)
{
    for (const T *item : items) {
        if (item)
            write(w, item);
    }
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


// The document tree of the references: the byte overload drops text that is only whitespace.
bool parse(const QByteArray &data, QDomDocument &doc)
{
    return ZadUruru::parseDocumentTree(data, doc, ZadUruru::SpaceOnlyText::Dropped);
}

} // namespace

ScaFileProcessor::ScaFileProcessor(QObject *parent)
    : QObject(parent)
{
}

// A page too large for the memory left is refused like a malformed one.
ScaFileData *ScaFileProcessor::loadFileData(const QByteArray &data, QString fileName)
{
    try {
        return ZadUruru::readScene(data, fileName);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

ScaFileData *ScaFileProcessor::loadFileData(const QString &path)
{
    const QByteArray bytes = ZadUruru::readRegularFile(path);
    if (bytes.isNull())
        return nullptr;
    // The page is known by its file's name, as the project tree keys it.
    return loadFileData(bytes, QFileInfo(path).fileName());
}

ScaFileData *ScaFileProcessor::loadFileData(const char *path)
{
    return loadFileData(QFile::decodeName(path));
}

PagePropertiesData_t *ScaFileProcessor::loadSceneData(const QByteArray &data)
{
    try {
        return ZadUruru::readSceneProperties(data);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
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

ScadaObjectLoadData_t *ScaFileProcessor::scadaObjectFromXML(QDomElement *item)
{
    return readScadaObject(*item);
}

TextItemLoadData_t *ScaFileProcessor::textItemFromXML(QDomElement *item)
{
    return readTextItem(*item);
}

DbQueryTextItemLoadData_t *ScaFileProcessor::dbqTextItemFromXML(QDomElement *item)
{
    return readDbqTextItem(*item);
}

ScheduleItemLoadData_t *ScaFileProcessor::schItemFromXML(QDomElement *item)
{
    return readScheduleItem(*item);
}

RealTimeChartItemLoadData_t *ScaFileProcessor::rtchartItemFromXML(QDomElement *item)
{
    return readChartItem(*item);
}

TableItemLoadData_t *ScaFileProcessor::tableItemFromXML(QDomElement *item)
{
    return readTableItem(*item);
}

ScaFileData *ZadUruru::readSceneThroughDom(const QByteArray &data, const QString &fileName)
{
    QDomDocument doc;
    if (!parse(data, doc))
        return nullptr;
    auto *file = new ScaFileData;
    const QDomElement root = doc.documentElement();
    const QDomElement list = root.firstChildElement(QStringLiteral("ItemList"));
    for (QDomElement item = list.firstChildElement(QStringLiteral("Item")); !item.isNull();
         item = item.nextSiblingElement(QStringLiteral("Item")))
        readItem(item, file);
    readPage(root.firstChildElement(QStringLiteral("PageProperties")), &file->pageProperties, fileName,
             PageRead::WithScrollingTexts);
    return file;
}

PagePropertiesData_t *ZadUruru::readScenePropertiesThroughDom(const QByteArray &data)
{
    QDomDocument doc;
    if (!parse(data, doc))
        return nullptr;
    auto *page = new PagePropertiesData_t;
    readPage(doc.documentElement().firstChildElement(QStringLiteral("PageProperties")), page, QString(),
             PageRead::Summary);
    return page;
}
