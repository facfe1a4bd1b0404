#include "scaFileProcessor.h"

#include "sceneXml_p.h"
#include "common/wholeFileWriter_p.h"

#include <QDomDocument>
#include <QIODevice>
#include <QXmlStreamWriter>

using namespace SceneXml;

namespace {

// The tag bindings of a component instance, attributes of its TagIDs element,
// in the order they are written.
struct IntField
{
    const char *name;
    int ScadaObjectLoadData_t::*member;
};

const IntField tagBindings[] = {
    {"tagID_image", &ScadaObjectLoadData_t::tagID_image},
    {"tagID_label", &ScadaObjectLoadData_t::tagID_label},
    {"tagID_width", &ScadaObjectLoadData_t::tagID_width},
    {"tagID_height", &ScadaObjectLoadData_t::tagID_height},
    {"tagID_posx", &ScadaObjectLoadData_t::tagID_posx},
    {"tagID_posy", &ScadaObjectLoadData_t::tagID_posy},
    {"tagID_rotAng", &ScadaObjectLoadData_t::tagID_rotAng},
    {"tagID_txtColor", &ScadaObjectLoadData_t::tagID_txtColor},
    {"tagID_maskColor", &ScadaObjectLoadData_t::tagID_maskColor},
    {"tagID_maskOpac", &ScadaObjectLoadData_t::tagID_maskOpac},
    {"tagID_eventTarget", &ScadaObjectLoadData_t::tagID_eventTarget},
    {"tagID_cusProp1", &ScadaObjectLoadData_t::tagID_cusProp1},
    {"tagID_cusProp2", &ScadaObjectLoadData_t::tagID_cusProp2},
    {"tagID_cusProp3", &ScadaObjectLoadData_t::tagID_cusProp3},
    {"tagID_cusProp4", &ScadaObjectLoadData_t::tagID_cusProp4},
    {"tagID_cusProp5", &ScadaObjectLoadData_t::tagID_cusProp5},
    {"tagID_cusProp6", &ScadaObjectLoadData_t::tagID_cusProp6},
    {"tagID_cusProp7", &ScadaObjectLoadData_t::tagID_cusProp7},
};

// Integer child elements that follow the label texts, in written order.
const IntField trailingInts[] = {
    {"eventAction", &ScadaObjectLoadData_t::eventAction},
    {"eventType", &ScadaObjectLoadData_t::eventType},
    {"userConst1", &ScadaObjectLoadData_t::userConst1},
    {"userConst2", &ScadaObjectLoadData_t::userConst2},
};

void writeScadaObject(QXmlStreamWriter &w, const ScadaObjectLoadData_t *o)
{
    static const ItemCommonData_t noCommon;
    const ItemCommonData_t *c = o->common ? o->common : &noCommon;

    w.writeStartElement(QStringLiteral("Item"));
    w.writeTextElement(QStringLiteral("ItemType"), QStringLiteral("ScadaObject"));
    writeGeometry(w, c);
    w.writeEmptyElement(QStringLiteral("Properties"));
    w.writeAttribute(QStringLiteral("Name"), c->Name);
    w.writeAttribute(QStringLiteral("Uid"), QString::number(o->Uid));
    w.writeAttribute(QStringLiteral("Type"), QString::number(o->Type));
    w.writeAttribute(QStringLiteral("GroupId"), QString::number(c->GroupId));
    w.writeEmptyElement(QStringLiteral("TagIDs"));
    for (const IntField &f : tagBindings)
        w.writeAttribute(QLatin1String(f.name), QString::number(o->*f.member));
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
        writeInt(w, QLatin1String(f.name), o->*f.member);
    w.writeTextElement(QStringLiteral("componentUid"), o->componentUid);
    w.writeEndElement();
}

void readPageProperties(const QDomElement &p, PagePropertiesData_t *page)
{
    page->relativePath = childText(p, QStringLiteral("relativePath"));
    page->pageAux = -1;
    page->pageType = childInt(p, QStringLiteral("pageType"));
    page->customPageSize = childBool(p, QStringLiteral("customPageSize"));
    page->addScrollingText = childBool(p, QStringLiteral("addScrollingText"));
    page->scaleToWindow = childInt(p, QStringLiteral("scaleToWindow"));
    const QDomElement geometry = p.firstChildElement(QStringLiteral("pageGeometry"));
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
    w.writeTextElement(QStringLiteral("pageName"), page.pageName);
    w.writeTextElement(QStringLiteral("fileName"), path);
    w.writeTextElement(QStringLiteral("relativePath"), page.relativePath);
    writeInt(w, QStringLiteral("pageID"), page.pageID);
    writeInt(w, QStringLiteral("pageType"), page.pageType);
    writeBool(w, QStringLiteral("customPageSize"), page.customPageSize);
    writeBool(w, QStringLiteral("addScrollingText"), page.addScrollingText);
    writeInt(w, QStringLiteral("scaleToWindow"), page.scaleToWindow);
    w.writeTextElement(QStringLiteral("pageBgImage"), page.pageBgImage);
    w.writeTextElement(QStringLiteral("pageIcon"), page.pageIcon);
    writeInt(w, QStringLiteral("pageAccessRights"), page.pageAccessRights);
    writeInt(w, QStringLiteral("pageAccessRights2"), page.pageAccessRights2);
    w.writeEmptyElement(QStringLiteral("pageGeometry"));
    w.writeAttribute(QStringLiteral("W"), QString::number(page.W));
    w.writeAttribute(QStringLiteral("H"), QString::number(page.H));
    w.writeStartElement(QStringLiteral("ScrollTags"));
    for (const ScrollingText &t : page.ScrollTags) {
        w.writeEmptyElement(QStringLiteral("Tag"));
        w.writeAttribute(QStringLiteral("TagID"), QString::number(t.TagID));
        w.writeAttribute(QStringLiteral("ScrollText"), t.ScrollText);
    }
    w.writeEndElement(); // ScrollTags
    w.writeEndElement(); // PageProperties
}

bool parse(const QByteArray &data, QDomDocument &doc)
{
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
        const QDomElement type = item.firstChildElement(QStringLiteral("ItemType"));
        // An item without a kind is a component instance; the other kinds'
        // readers are not part of this library yet, so they are skipped like
        // any unknown kind.
        if (type.isNull() || type.text() == QLatin1String("ScadaObject")) {
            ScadaObjectLoadData_t *object = scadaObjectFromXML(&item);
            file->scadaObjects.append(object);
            file->labelTagIds.append(object->tagID_label);
        }
    }

    const QDomElement p = root.firstChildElement(QStringLiteral("PageProperties"));
    PagePropertiesData_t &page = file->pageProperties;
    page.pageName = childText(p, QStringLiteral("pageName"));
    page.fileName = fileName.isNull() ? childText(p, QStringLiteral("fileName")) : fileName;
    readPageProperties(p, &page);
    page.pageID = childInt(p, QStringLiteral("pageID"), -1);

    const QDomElement scroll = p.firstChildElement(QStringLiteral("ScrollTags"));
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
    const QDomElement p = doc.documentElement().firstChildElement(QStringLiteral("PageProperties"));
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
        for (const ScadaObjectLoadData_t *object : qAsConst(data->scadaObjects)) {
            if (object)
                writeScadaObject(w, object);
        }
        w.writeEndElement(); // ItemList
        writePageProperties(w, data->pageProperties, path);
        w.writeEndElement(); // ScadaFile
        w.writeEndDocument();
        return !w.hasError();
    });
}

ScadaObjectLoadData_t *ScaFileProcessor::scadaObjectFromXML(QDomElement *itemElement)
{
    const QDomElement &item = *itemElement;
    auto *o = new ScadaObjectLoadData_t;
    o->common = new ItemCommonData_t;
    readCommon(item, o->common, 1);

    const QDomElement props = item.firstChildElement(QStringLiteral("Properties"));
    o->common->Name = props.attribute(QStringLiteral("Name"));
    o->Uid = attrInt(props, QStringLiteral("Uid"), QStringLiteral("0"));
    o->Type = attrInt(props, QStringLiteral("Type"), QStringLiteral("0"));

    const QDomElement tags = item.firstChildElement(QStringLiteral("TagIDs"));
    for (const IntField &f : tagBindings)
        o->*f.member = attrInt(tags, QLatin1String(f.name), QStringLiteral("-1"));

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
        o->*f.member = childInt(item, QLatin1String(f.name));
    o->componentUid = childText(item, QStringLiteral("componentUid"));
    return o;
}
