#include "inputs.h"

#include <QFile>
#include <QStandardItemModel>
#include <QXmlStreamWriter>

#include <random>

namespace Bench {

namespace {

class Random
{
public:
    explicit Random(unsigned seed)
        : m_engine(seed)
    {
    }
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_engine); }
    bool chance(int percent) { return between(0, 99) < percent; }
    template <std::size_t N>
    QString pick(const char *const (&words)[N])
    {
        return QString::fromUtf8(words[between(0, int(N) - 1)]);
    }

private:
    std::mt19937 m_engine;
};

const char *const equipment[] = {"Pump", "Valve", "Tank", "Motor", "Mixer", "Heater", "Fan", "Compressor"};
const char *const areas[] = {"Inlet", "Outlet", "Filter", "Boiler", "Cooling", "Dosing", "Storage"};
const char *const colours[] = {"#000000", "#FFFFFF", "#FF0000", "#00A000", "#2050C0", "#C0C0C0", "#FFD700"};
const char *const families[] = {"DejaVu Sans", "DejaVu Serif", "Arial", "Liberation Sans"};
const char *const units[] = {"bar", "m3/h", "degC", "%", "rpm", "kW"};

QString label(Random &r)
{
    return r.pick(areas) + QLatin1Char(' ') + r.pick(equipment) + QLatin1Char(' ') + QString::number(r.between(1, 99));
}

ItemCommonData_t *common(Random &r)
{
    auto *c = new ItemCommonData_t;
    c->X = r.between(0, 1900);
    c->Y = r.between(0, 1000);
    c->W = r.between(20, 400);
    c->H = r.between(20, 300);
    c->ZVAL = r.between(0, 50);
    c->GZVAL = r.between(0, 5);
    c->Rot = r.chance(10) ? 90 * r.between(1, 3) : 0;
    c->HFlip = r.chance(5);
    c->VFlip = r.chance(5);
    c->GroupId = r.chance(20) ? quint64(r.between(1, 1 << 30)) * 4096u : 0;
    return c;
}

int tagOrNone(Random &r, int percentBound)
{
    return r.chance(percentBound) ? r.between(0, 99999) : -1;
}

ScadaObjectLoadData_t *scadaObject(Random &r, int uid)
{
    auto *o = new ScadaObjectLoadData_t;
    o->common = common(r);
    o->common->Name = r.pick(equipment) + QLatin1Char('_') + QString::number(uid);
    o->common->itemTypeCode = 1;
    o->Uid = uid;
    o->Type = r.between(0, 12);
    o->tagID_image = tagOrNone(r, 80);
    o->tagID_label = tagOrNone(r, 60);
    o->tagID_posx = tagOrNone(r, 5);
    o->tagID_posy = tagOrNone(r, 5);
    o->tagID_width = tagOrNone(r, 5);
    o->tagID_height = tagOrNone(r, 5);
    o->tagID_rotAng = tagOrNone(r, 5);
    o->tagID_txtColor = tagOrNone(r, 20);
    o->tagID_maskColor = tagOrNone(r, 20);
    o->tagID_maskOpac = tagOrNone(r, 10);
    o->tagID_eventTarget = tagOrNone(r, 30);
    o->tagID_cusProp1 = tagOrNone(r, 10);
    o->MacroText = r.chance(30) ? QStringLiteral("if (value > limit) { blink(); } // <alarm> & \"hold\"") : QString();
    o->Tooltip = label(r);
    o->weblinkActive = r.chance(5);
    o->weblink = o->weblinkActive ? QStringLiteral("http://hmi.local/docs?page=") + QString::number(uid) : QString();
    o->limitsActive = r.chance(40);
    o->lowLimit = float(r.between(-100, 0)) / 4;
    o->highLimit = float(r.between(10, 1000)) / 4;
    o->lofx = r.between(-20, 20);
    o->lofy = r.between(-20, 20);
    o->labelText = QStringLiteral("%.2f ") + r.pick(units);
    o->labelStyleSheet = QStringLiteral("font: 14px \"") + r.pick(families) + QStringLiteral("\"; color: ") + r.pick(colours) + QLatin1Char(';');
    o->eventAction = r.between(0, 4);
    o->eventType = r.between(0, 3);
    o->componentUid = QString::number(r.between(0, 500));
    return o;
}

TextItemLoadData_t *textItem(Random &r)
{
    auto *t = new TextItemLoadData_t;
    t->common = common(r);
    t->common->itemTypeCode = 2;
    t->ItemText = label(r) + (r.chance(30) ? QStringLiteral(" - flow <high> & rising") : QString());
    t->TextColor = r.pick(colours);
    t->BgColor = r.pick(colours);
    t->TextPixelSize = r.between(10, 32);
    t->Alignment = Qt::Alignment(r.chance(50) ? Qt::AlignLeft : Qt::AlignCenter);
    t->DrawPaper = r.chance(30);
    t->IsBold = r.chance(20);
    t->IsItalic = r.chance(10);
    t->Family = r.pick(families);
    return t;
}

DbQueryTextItemLoadData_t *dbqTextItem(Random &r)
{
    auto *d = new DbQueryTextItemLoadData_t;
    d->common = common(r);
    d->common->itemTypeCode = 5;
    d->bgColor = r.pick(colours);
    d->txtColor = r.pick(colours);
    d->labelText = QStringLiteral("Daily total ") + r.pick(units);
    d->labelStyleSheet = QStringLiteral("font: 12px \"Arial\";");
    d->reportUnit = r.between(0, 3);
    d->reportType = r.between(0, 5);
    d->reportTag = r.between(0, 99999);
    d->updateInterval = 1000 * r.between(1, 60);
    return d;
}

RealTimeChartItemLoadData_t *chartItem(Random &r)
{
    auto *c = new RealTimeChartItemLoadData_t;
    c->common = common(r);
    c->common->itemTypeCode = 5;
    for (int i = r.between(1, 6); i > 0; --i) {
        ChartLineData line;
        line.Tag = r.between(0, 99999);
        line.LineColor = r.pick(colours);
        line.LineStyle = r.between(0, 3);
        c->TagIDs.append(line);
    }
    c->BgColor = QStringLiteral("#000");
    c->TxtColor = QStringLiteral("#FFF");
    c->ShowLastSeconds = 60 * r.between(1, 30);
    c->UpperLimit = r.between(100, 1000);
    return c;
}

ScheduleItemLoadData_t *scheduleItem(Random &r)
{
    auto *s = new ScheduleItemLoadData_t;
    s->common = common(r);
    s->common->itemTypeCode = 1;
    for (int i = r.between(2, 12); i > 0; --i)
        s->TagIDs.append(r.between(0, 99999));
    return s;
}

TableItemLoadData_t *tableItem(Random &r)
{
    auto *t = new TableItemLoadData_t;
    t->common = common(r);
    t->common->itemTypeCode = 7;
    const int columns = r.between(2, 6);
    for (int c = 0; c < columns; ++c)
        t->columnWidths.append(r.between(30, 160));
    for (int row = r.between(2, 8); row > 0; --row) {
        QList<QString> cells;
        for (int c = 0; c < columns; ++c)
            cells.append(c == 0 ? label(r) : QString::number(r.between(0, 10000) / 10.0));
        t->rows.append(cells);
    }
    return t;
}

} // namespace

SceneMix sceneMix(int items)
{
    SceneMix mix;
    mix.texts = items * 20 / 100;
    mix.dbqTexts = items * 6 / 100;
    mix.charts = items * 5 / 100;
    mix.schedules = items * 4 / 100;
    mix.tables = items * 5 / 100;
    mix.scadaObjects = items - mix.texts - mix.dbqTexts - mix.charts - mix.schedules - mix.tables;
    return mix;
}

ScaFileData *makeScene(int items, int pageId, int firstUid, unsigned seed)
{
    Random r(seed);
    const SceneMix mix = sceneMix(items);
    auto *file = new ScaFileData;
    for (int i = 0; i < mix.scadaObjects; ++i)
        file->scadaObjects.append(scadaObject(r, firstUid + i));
    for (int i = 0; i < mix.texts; ++i)
        file->textItems.append(textItem(r));
    for (int i = 0; i < mix.dbqTexts; ++i)
        file->dbqTextItems.append(dbqTextItem(r));
    for (int i = 0; i < mix.charts; ++i)
        file->rtChartItems.append(chartItem(r));
    for (int i = 0; i < mix.schedules; ++i)
        file->scheduleItems.append(scheduleItem(r));
    for (int i = 0; i < mix.tables; ++i)
        file->tableItems.append(tableItem(r));

    PagePropertiesData_t &p = file->pageProperties;
    p.pageName = QStringLiteral("Page ") + QString::number(pageId);
    p.fileName = QStringLiteral("page%1.xml").arg(pageId);
    p.relativePath = QStringLiteral("pages/") + p.fileName;
    p.pageID = pageId;
    p.W = 1920;
    p.H = 1080;
    p.pageBgImage = QStringLiteral("images/background.png");
    p.pageType = 1;
    p.customPageSize = true;
    p.addScrollingText = true;
    p.pageAccessRights = Q_INT64_C(0x00ff00ff00ff00ff);
    for (int i = 0; i < 4; ++i) {
        ScrollingText t;
        t.TagID = r.between(0, 99999);
        t.ScrollText = label(r) + QStringLiteral(" alarm");
        p.ScrollTags.append(t);
    }
    return file;
}

FileDataTree *makeDefinitions(int tags, unsigned seed)
{
    Random r(seed);
    auto *tree = new FileDataTree;
    auto *none = new pKanalDef_t;
    none->Name = QStringLiteral("None");
    tree->channels.append(none);

    const int channels = qMax(1, tags / 100);
    for (int i = 0; i < channels; ++i) {
        auto *c = new pKanalDef_t;
        c->Name = QStringLiteral("Line %1 PLC").arg(i + 1);
        c->Id = i + 1;
        c->MediaType = r.between(0, 2);
        c->ProtokolType = r.between(0, 4);
        c->ServerIP = QStringLiteral("192.168.%1.%2").arg(i / 250).arg(i % 250 + 1);
        c->ServerPORT = 502;
        c->Comport = r.between(1, 8);
        c->GroupID = i / 10;
        c->Station = QString::number(r.between(1, 247));
        c->Enabled = r.chance(90);
        c->Description = QStringLiteral("Controller of ") + label(r);
        tree->channels.append(c);
    }
    for (int i = 0; i < tags; ++i) {
        auto *t = new pEtiketDef_t;
        const int channel = r.between(1, channels);
        t->Name = label(r).replace(QLatin1Char(' '), QLatin1Char('_')) + QLatin1Char('_') + QString::number(i);
        t->Id = i;
        t->PollFrequency = 100 * r.between(1, 50);
        t->KanalName = QStringLiteral("Line %1 PLC").arg(channel);
        t->Kanal_Id = channel;
        t->DeviceAddress = QString::number(r.between(1, 247));
        t->VariableAddress = QStringLiteral("%MW") + QString::number(r.between(0, 65535));
        t->VariableSize = 2 << r.between(0, 2);
        t->VariableType = r.between(1, 16);
        t->Macro = r.chance(10) ? QStringLiteral("value * 0.1 + offset") : QString();
        t->IsLogging = quint8(r.between(0, 1));
        t->PriLevel = quint8(r.between(0, 9));
        t->TagType = qint8(r.between(0, 3));
        t->LoggingFreq = r.between(1, 600) / 10.0;
        t->LoggingMethod = r.between(0, 2);
        t->ReadRight1 = r.between(0, 1 << 30);
        t->WriteRight1 = r.between(0, 1 << 20);
        t->Keywords = r.pick(areas) + QLatin1Char(',') + r.pick(equipment);
        t->Enabled = r.chance(95);
        t->Description = label(r);
        t->UnitName = r.pick(units);
        tree->tags.append(t);
    }
    for (int i = 0; i < tags / 10; ++i) {
        auto *a = new pAlarmItem_t;
        a->Id = i;
        a->alarm_name = label(r) + QStringLiteral(" high");
        a->alarm_desc = QStringLiteral("Value above its limit");
        a->alarm_class = r.chance(70) ? QStringLiteral("General") : QStringLiteral("Process");
        a->enabled = 1;
        a->tagID = r.between(0, tags - 1);
        a->alarm_type = qint8(r.between(0, 3));
        a->alarm_level = qint8(r.between(0, 5));
        a->comp_type = qint8(r.between(0, 4));
        a->limitVal = r.between(0, 10000) / 8.0;
        a->checkVal1 = r.between(0, 100) / 4.0;
        for (int s = r.between(0, 4); s > 0; --s)
            a->subscribers.append(r.between(1, 200));
        tree->alarms.append(a);
    }
    return tree;
}

QByteArray makeAttributePage(int attributes, bool forParser)
{
    QByteArray page = forParser ? "<!-- the parser reads this page -->\n" : "";
    page += "<ScadaFile>\n    <ItemList>\n        <Item>\n            <ItemType>ScadaObject</ItemType>\n"
            "            <Geometry X=\"1\"";
    for (int i = 0; i < attributes; ++i)
        page += " a" + QByteArray::number(i) + "=\"" + QByteArray::number(i % 1000) + '"';
    page += " X=\"7\"/>\n        </Item>\n    </ItemList>\n</ScadaFile>\n";
    return page;
}

QByteArray makeCsv(int lines, unsigned seed)
{
    static const char *const types[] = {"LOGIC", "WORD", "FLOAT", "LONG", "REAL (FLOAT)", "DWORD"};
    Random r(seed);
    QByteArray csv;
    csv.reserve(lines * 48);
    for (int i = 0; i < lines; ++i) {
        csv += QByteArray::number(i + 1) + ';' + "%MW" + QByteArray::number(r.between(0, 65535)) + ';'
                + label(r).replace(QLatin1Char(' '), QLatin1Char('_')).toUtf8() + '_' + QByteArray::number(i)
                + ';' + types[r.between(0, 5)] + "\r\n";
    }
    return csv;
}

EditingTables::EditingTables() = default;
EditingTables::EditingTables(EditingTables &&) noexcept = default;
EditingTables &EditingTables::operator=(EditingTables &&) noexcept = default;
EditingTables::~EditingTables() = default;

EditingTables makeEditingTables(const FileDataTree &tree)
{
    EditingTables tables;
    // Column numbers as the definitions editor lays them out.
    tables.channels = std::make_unique<QStandardItemModel>(tree.channels.size(), 22);
    int row = 0;
    for (const pKanalDef_t *c : tree.channels) {
        const QString cells[22] = {
            QString::number(c->Id), c->Name, QString::number(c->MediaType), QString::number(c->SocketType),
            QString::number(c->ProtokolType), c->ServerIP, QString::number(c->ServerPORT),
            QString::number(c->ListenPORT), c->FilterIP, QString::number(c->Comport),
            QString::number(c->Baudrate), QString::number(c->Databit), QString::number(c->Stopbit),
            QString::number(c->Paritybit), QString::number(c->ResponseTimeout),
            QString::number(c->ConnectionTimeout), QString::number(c->FrameTimeout),
            QString::number(c->GroupID), c->Station, QString::number(int(c->Enabled)), c->LogicProPath,
            c->Description};
        for (int column = 0; column < 22; ++column)
            tables.channels->setItem(row, column, new QStandardItem(cells[column]));
        ++row;
    }
    tables.tags = std::make_unique<QStandardItemModel>(tree.tags.size(), 25);
    row = 0;
    for (const pEtiketDef_t *t : tree.tags) {
        const QString cells[25] = {
            QString::number(t->Id), t->Name, QString::number(t->PollFrequency), t->KanalName,
            t->DeviceAddress, t->VariableAddress, QString::number(t->VariableSize),
            QString::number(t->VariableType), t->Macro, QString::number(t->Kanal_Id),
            QString::number(t->IsLogging), QString::number(t->PriLevel), QString::number(t->TagType),
            QString::number(t->SchedulerIndex), QString::number(t->LoggingFreq),
            QString::number(t->LoggingMethod), QString::number(t->ReadRight1),
            QString::number(t->ReadRight2), QString::number(t->WriteRight1),
            QString::number(t->WriteRight2), t->Keywords, QString::number(int(t->Enabled)),
            t->Description, t->UnitName, QString::number(t->Protocolobjecttype)};
        for (int column = 0; column < 25; ++column)
            tables.tags->setItem(row, column, new QStandardItem(cells[column]));
        ++row;
    }
    return tables;
}

namespace {

QByteArray library(int components, int firstId, bool full, unsigned seed)
{
    Random r(seed);
    QByteArray bytes;
    QXmlStreamWriter w(&bytes);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("scadaObjectTypes"));
    for (int i = 0; i < components; ++i) {
        const QString name = r.pick(equipment) + QString::number(i);
        w.writeStartElement(QStringLiteral("object"));
        w.writeAttribute(QStringLiteral("name"), name);
        w.writeTextElement(QStringLiteral("objectCategory"), r.pick(areas));
        w.writeTextElement(QStringLiteral("objectUID"), QString::number(firstId + 2 * i));
        if (full) {
            w.writeTextElement(QStringLiteral("objectType"), QString::number(r.between(0, 12)));
            w.writeTextElement(QStringLiteral("rtuID"), QString::number(r.between(0, 32)));
            w.writeTextElement(QStringLiteral("registerID"), QString::number(r.between(0, 4096)));
            w.writeTextElement(QStringLiteral("width"), QString::number(r.between(16, 256)));
            w.writeTextElement(QStringLiteral("height"), QString::number(r.between(16, 256)));
            w.writeTextElement(QStringLiteral("lofX"), QString::number(r.between(-8, 8)));
            w.writeTextElement(QStringLiteral("lofY"), QString::number(r.between(-8, 8)));
            w.writeTextElement(QStringLiteral("m_val"), QString::number(r.between(0, 100)));
            w.writeTextElement(QStringLiteral("a_val"), QString::number(r.between(0, 100)));
        }
        for (int k = 1, images = r.between(1, 3); k <= images; ++k)
            w.writeTextElement(QStringLiteral("image") + QString::number(k),
                               name.toLower() + QLatin1Char('_') + QString::number(k) + QStringLiteral(".png"));
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    return bytes;
}

} // namespace

QByteArray makeComponentLibrary(int components, unsigned seed)
{
    return library(components, 0, true, seed);
}

QByteArray makeUserLibrary(int components, unsigned seed)
{
    return library(components, 1, false, seed);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace Bench
