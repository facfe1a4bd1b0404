#include "readerVocabulary.h"

namespace ReaderVocabulary {

namespace {

using K = ValueKind;

// A child element that holds one value.
Element field(const char *name, ValueKind kind, const char *absent = nullptr, const char *absentEffect = nullptr)
{
    Element e;
    e.name = QLatin1String(name);
    e.hasValue = true;
    e.value = {kind, absent, absentEffect};
    return e;
}

// A child element read for its attributes or children.
Element part(const char *name, std::vector<Attribute> attributes, std::vector<Element> children = {})
{
    Element e;
    e.name = QLatin1String(name);
    e.attributes = std::move(attributes);
    e.children = std::move(children);
    return e;
}

// Elements that a reader reads all of, in order.
Element list(Element e)
{
    e.list = true;
    return e;
}

Element record(const char *kind, Element e)
{
    e.record = QLatin1String(kind);
    return e;
}

Attribute attr(const char *name, ValueKind kind, const char *absent = nullptr)
{
    return Attribute{QLatin1String(name), Value{kind, absent, nullptr}};
}

// --- Scene files ------------------------------------------------------------

Element geometry()
{
    return part("Geometry", {attr("X", K::Coordinate), attr("Y", K::Coordinate), attr("W", K::Int), attr("H", K::Int),
                             attr("Rot", K::Int), attr("ZVAL", K::Int), attr("GZVAL", K::Int),
                             attr("HFlip", K::Bool, "0"), attr("VFlip", K::Bool, "0")});
}

Element groupProperties()
{
    return part("Properties", {attr("GroupId", K::UInt64, "0")});
}

// An Item of a kind whose geometry is the Geometry element.
Element geometryItem(const char *kind, std::vector<Element> own)
{
    Element item = part("Item", {}, {field("ItemType", K::Text), geometry(), groupProperties()});
    item.record = QLatin1String(kind);
    for (Element &e : own)
        item.children.push_back(std::move(e));
    return item;
}

Element componentItem()
{
    Element item = geometryItem("component", {});
    item.children[2] = part("Properties", {attr("Name", K::Text), attr("Uid", K::Int, "0"), attr("Type", K::Int, "0"),
                                           attr("GroupId", K::UInt64, "0")});
    std::vector<Attribute> bindings;
    for (const char *name : {"tagID_image", "tagID_label", "tagID_width", "tagID_height", "tagID_posx", "tagID_posy",
                             "tagID_rotAng", "tagID_txtColor", "tagID_maskColor", "tagID_maskOpac", "tagID_eventTarget",
                             "tagID_cusProp1", "tagID_cusProp2", "tagID_cusProp3", "tagID_cusProp4", "tagID_cusProp5",
                             "tagID_cusProp6", "tagID_cusProp7"})
        bindings.push_back(attr(name, K::Int, "-1"));
    item.children.push_back(part("TagIDs", bindings));
    for (Element e : {field("MacroText", K::Text), field("Tooltip", K::Text), field("weblinkActive", K::Bool, "0"),
                      field("weblink", K::Text), field("limitsActive", K::Bool, "0"), field("lowLimit", K::Float, "0"),
                      field("highLimit", K::Float, "100"), field("lofx", K::Int), field("lofy", K::Int),
                      field("labelStyleSheet", K::Text), field("labelText", K::Text), field("eventAction", K::Int),
                      field("eventType", K::Int), field("userConst1", K::Int), field("userConst2", K::Int),
                      field("componentUid", K::Text)})
        item.children.push_back(std::move(e));
    return item;
}

Element textItem()
{
    Element colour = field("TextColor", K::Colour, "#000000");
    colour.value.emptyReadsAsAbsent = true;
    Element paper = field("BgColor", K::Colour, "#FFFFFF");
    paper.value.emptyReadsAsAbsent = true;
    return record("text", part("Item", {},
                               {field("ItemType", K::Text), field("ItemText", K::Text), colour, paper,
                                field("TextPixelSize", K::Int), field("Alignment", K::Int), field("ZVal", K::Int),
                                field("DrawPaper", K::Bool), field("IsItalic", K::Bool), field("IsUnderlined", K::Bool),
                                field("Family", K::Text, "Arial"), field("IsBold", K::Bool),
                                field("SvgElement", K::Text), field("Width", K::Int, "(measured)"),
                                field("Height", K::Int, "(measured)"), field("Rot", K::Int),
                                field("ItemPosX", K::Coordinate), field("ItemPosY", K::Coordinate),
                                // The group's Z value: the GZVal element, else the GZVAL attribute.
                                part("Properties", {attr("GroupId", K::UInt64, "0"), attr("GZVAL", K::Int)}),
                                // Older files: a font size, and the group's Z value as an element.
                                field("TextSize", K::Int), field("GZVal", K::Int)}));
}

Element queryTextItem()
{
    return geometryItem("query text",
                        {field("bgColor", K::Colour, "#000"), field("txtColor", K::Colour, "#FFF"),
                         field("labelText", K::Text, "Val is "), field("txtPixelSize", K::Int, "14"),
                         field("reportUnit", K::Int, "1"), field("reportType", K::Int, "0"),
                         field("reportTag", K::Int, "-1"), field("updateInterval", K::Int, "100"),
                         field("timeFactor", K::Int, "100"), field("labelStyleSheet", K::Text, "font: 12px \"Arial\";"),
                         field("lofx", K::Int, "0"), field("lofy", K::Int, "0")});
}

Element scheduleItem()
{
    return geometryItem("schedule", {part("TagIDs", {}, {list(field("Tag", K::Int))})});
}

Element chartItem()
{
    return geometryItem(
        "chart",
        {part("TagIDs", {},
              {list(part("TagData", {attr("Tag", K::Int, "-1"), attr("LineStyle", K::Int, "0"),
                                     attr("LineColor", K::Colour, "#FF0000")})),
               // Older files list bare tag ids.
               list(field("Tag", K::Int))}),
         field("BgColor", K::Colour, "#000"), field("TxtColor", K::Colour, "#FFF"), field("ShowLegend", K::Bool, "1"),
         field("FollowLastVal", K::Bool, "1"), field("RescaleValAxis", K::Bool, "1"),
         field("ShowLastSeconds", K::Int, "300"), field("UpperLimit", K::Int, "0"), field("LowerLimit", K::Int, "0")});
}

Element tableItem()
{
    return geometryItem(
        "table", {part("TableData", {},
                       {part("ColumnGroup", {}, {list(part("Column", {attr("width", K::Int, "30")}))}),
                        list(part("Row", {}, {list(field("CellText", K::Text))}))})});
}

Element sceneDocument()
{
    // The Item element of the list stands for every kind: the walk takes
    // the kind's own from itemKinds() once it knows the ItemType.
    Element page = record("page",
                          part("PageProperties", {},
                               {field("pageName", K::Text), field("fileName", K::Text), field("relativePath", K::Text),
                                field("pageID", K::Int, "-1"), field("pageType", K::Int, "0"),
                                field("customPageSize", K::Bool, "0"), field("addScrollingText", K::Bool, "0"),
                                field("scaleToWindow", K::Int, "0"), field("pageBgImage", K::Text),
                                field("pageIcon", K::Text), field("pageAccessRights", K::Int64, "0"),
                                field("pageAccessRights2", K::Int64, "0"),
                                part("pageGeometry", {attr("W", K::Int, "250"), attr("H", K::Int, "150")}),
                                part("ScrollTags", {},
                                     {list(record("scrolling text",
                                                  part("Tag", {attr("TagID", K::Int, "0"),
                                                               attr("ScrollText", K::Text, "Text")})))})}));
    return part("ScadaFile", {}, {part("ItemList", {}, {list(part("Item", {}))}), page});
}

// --- The definitions file -----------------------------------------------------

Element channel()
{
    return list(record(
        "channel",
        part("Channel", {},
             {field("Name", K::Text), field("Id", K::Int, "-1"), field("MediaType", K::Int), field("SocketType", K::Int),
              field("ProtokolType", K::Int), field("ServerIP", K::Text), field("ServerPORT", K::UInt),
              field("ListenPORT", K::UInt), field("FilterIP", K::Text), field("Comport", K::UInt),
              field("Baudrate", K::UInt, nullptr, "the baud rate is 0"), field("Databit", K::UInt),
              field("Stopbit", K::UInt), field("Paritybit", K::Int),
              field("ResponseTimeout", K::UInt, nullptr, "the response time-out is 0"),
              field("ConnectionTimeout", K::UInt, nullptr, "the connection time-out is 0"),
              field("FrameTimeout", K::UInt, nullptr, "the frame time-out is 0"), field("GroupID", K::Int, "-1"),
              field("Station", K::Text), field("Enabled", K::Bool, nullptr, "the channel loads disabled"),
              field("LogicProPath", K::Text), field("Description", K::Text)})));
}

Element tag()
{
    return list(record(
        "tag", part("Tag", {},
                    {field("Name", K::Text), field("PollFrequency", K::UInt), field("KanalName", K::Text),
                     field("Kanal_Id", K::Int, "-1"), field("DeviceAddress", K::Text),
                     field("VariableAddress", K::Text), field("VariableSize", K::UInt), field("VariableType", K::Int),
                     field("Id", K::Int, nullptr, "the tag's id is 0"), field("Macro", K::Text),
                     field("IsLogging", K::UInt8), field("PriLevel", K::UInt8), field("TagType", K::Int8),
                     field("SchedulerIndex", K::Int8), field("LoggingFreq", K::Double),
                     field("LoggingMethod", K::Int), field("ReadRight1", K::Int64), field("ReadRight2", K::Int64),
                     field("WriteRight1", K::Int64), field("WriteRight2", K::Int64), field("Keywords", K::Text),
                     field("Enabled", K::Bool, nullptr, "the tag loads disabled"), field("Description", K::Text),
                     field("UnitName", K::Text), field("Protocolobjecttype", K::Int8)})));
}

Element alarm()
{
    return list(record(
        "alarm",
        part("Alarm", {},
             {field("Id", K::Int, nullptr, "the alarm's id is 0"), field("alarm_name", K::Text),
              field("alarm_desc", K::Text), field("alarm_class", K::Text), field("enabled", K::Int8),
              field("ackrequired", K::Int8, nullptr, "the alarm needs no acknowledgement"),
              field("islogging", K::Int8, nullptr, "the alarm is not logged"),
              field("tagID", K::Int, nullptr, "the alarm watches tag 0"), field("alarm_type", K::Int8),
              field("alarm_level", K::Int8), field("comp_type", K::Int8), field("limitVal", K::Float),
              field("checkVal1", K::Float), field("checkVal2", K::Float),
              field("limit_tag_id", K::Int, nullptr, "its first limit tag is tag 0"),
              field("limit_tag2_id", K::Int, nullptr, "its second limit tag is tag 0"), field("readRight1", K::Int64),
              field("readRight2", K::Int64), field("subscribers", K::IdList), field("currentState", K::Int)})));
}

Element definitionsDocument()
{
    return part("CTDefinitions", {},
                {part("ChannelList", {}, {channel()}), part("TagList", {}, {tag()}), part("AlarmList", {}, {alarm()})});
}

// --- Component library files --------------------------------------------------

Element libraryDocument()
{
    Element images = field("image", K::Text);
    images.numbered = true; // image1, image2...
    Element object = list(record(
        "library component",
        part("object", {attr("name", K::Text)},
             {field("objectCategory", K::Text), field("objectUID", K::Int), field("objectType", K::Int),
              field("rtuID", K::Int), field("registerID", K::Int), field("width", K::Int), field("height", K::Int),
              field("lofX", K::Int), field("lofY", K::Int), field("m_val", K::Int), field("a_val", K::Int), images})));
    return part("scadaObjectTypes", {}, {object});
}

} // namespace

QLatin1String valueKindName(ValueKind kind)
{
    switch (kind) {
    case ValueKind::Text: return QLatin1String("text");
    case ValueKind::Colour: return QLatin1String("colour");
    case ValueKind::Int: return QLatin1String("int");
    case ValueKind::UInt: return QLatin1String("uint");
    case ValueKind::Int64: return QLatin1String("int64");
    case ValueKind::UInt64: return QLatin1String("uint64");
    case ValueKind::Int8: return QLatin1String("int8");
    case ValueKind::UInt8: return QLatin1String("uint8");
    case ValueKind::Float: return QLatin1String("float");
    case ValueKind::Coordinate: return QLatin1String("coordinate");
    case ValueKind::Double: return QLatin1String("double");
    case ValueKind::Bool: return QLatin1String("bool");
    case ValueKind::IdList: return QLatin1String("id list");
    }
    return QLatin1String("text");
}

const Element *Element::child(QLatin1String childName) const
{
    for (const Element &e : children)
        if (e.name == childName)
            return &e;
    return nullptr;
}

const Attribute *Element::attribute(QLatin1String attributeName) const
{
    for (const Attribute &a : attributes)
        if (a.name == attributeName)
            return &a;
    return nullptr;
}

QString fileKindName(FileKind kind)
{
    switch (kind) {
    case FileKind::Scene:
        return QStringLiteral("scene page");
    case FileKind::Definitions:
        return QStringLiteral("definitions file");
    case FileKind::Library:
        break;
    }
    return QStringLiteral("component library");
}

const Element &document(FileKind kind)
{
    static const Element scene = sceneDocument();
    static const Element definitions = definitionsDocument();
    static const Element library = libraryDocument();
    switch (kind) {
    case FileKind::Scene:
        return scene;
    case FileKind::Definitions:
        return definitions;
    case FileKind::Library:
        break;
    }
    return library;
}

const std::vector<ItemKind> &itemKinds()
{
    static const Element items[] = {componentItem(), textItem(), scheduleItem(), chartItem(), queryTextItem(), tableItem()};
    static const std::vector<ItemKind> kinds{
        {QLatin1String("ScadaObject"), &items[0]}, {QLatin1String("TextItem"), &items[1]},
        {QLatin1String("ScheduleItem"), &items[2]}, {QLatin1String("RTChartItem"), &items[3]},
        {QLatin1String("DbqTextItem"), &items[4]}, {QLatin1String("TableItem"), &items[5]},
    };
    return kinds;
}

const ItemKind *itemKind(const QString &itemType)
{
    for (const ItemKind &kind : itemKinds())
        if (itemType == kind.itemType)
            return &kind;
    return nullptr;
}

bool dropsWhitespaceText(FileKind kind)
{
    return kind != FileKind::Definitions;
}

} // namespace ReaderVocabulary
