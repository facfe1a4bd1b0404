#include "records.h"

#include "projectLibrary.h"
#include "xmlCheck.h"

#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/library/scadaLibObject.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>
#include <QStringList>

#include <cmath>
#include <memory>

namespace {

QString text(const QString &value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"))
        .replace(QLatin1Char('\r'), QLatin1String("\\r"))
        .replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}
QString text(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }
QString text(int value) { return QString::number(value); }
QString text(unsigned value) { return QString::number(value); }
QString text(qint64 value) { return QString::number(value); }
QString text(quint64 value) { return QString::number(value); }
QString text(qint8 value) { return QString::number(int(value)); }
QString text(quint8 value) { return QString::number(int(value)); }
// The fewest digits that read back as the same single-precision value.
QString text(float value)
{
    for (int digits = 6; digits < 9; ++digits) {
        const QString shown = QString::number(double(value), 'g', digits);
        if (shown.toFloat() == value)
            return shown;
    }
    return QString::number(double(value), 'g', 9);
}
// Values read in single precision (the alarm limits) show as such.
QString text(double value)
{
    if (double(float(value)) == value)
        return text(float(value));
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}
QString text(const QList<int> &values)
{
    QStringList parts;
    for (int value : values)
        parts << QString::number(value);
    return QLatin1Char('{') + parts.join(QLatin1Char(',')) + QLatin1Char('}');
}
QString text(const QList<QString> &values)
{
    QStringList parts;
    for (const QString &value : values)
        parts << text(value);
    return QLatin1Char('{') + parts.join(QLatin1Char(',')) + QLatin1Char('}');
}

QJsonValue json(const QString &value) { return value; }
QJsonValue json(bool value) { return value; }
QJsonValue json(int value) { return value; }
QJsonValue json(unsigned value) { return double(value); }
QJsonValue json(qint8 value) { return int(value); }
QJsonValue json(quint8 value) { return int(value); }
// A JSON reader holds numbers as doubles: beyond 2^53 a whole number is given as its digits.
QJsonValue json(qint64 value)
{
    return value >= -(qint64(1) << 53) && value <= (qint64(1) << 53) ? QJsonValue(double(value)) : QJsonValue(text(value));
}
QJsonValue json(quint64 value)
{
    return value <= (quint64(1) << 53) ? QJsonValue(double(value)) : QJsonValue(text(value));
}
// The shortest text that reads back as the value, as a number; JSON has no infinity.
QJsonValue json(float value)
{
    return std::isfinite(value) ? QJsonValue(text(value).toDouble()) : QJsonValue(text(value));
}
QJsonValue json(double value)
{
    return std::isfinite(value) ? QJsonValue(text(value).toDouble()) : QJsonValue(text(value));
}
QJsonValue json(const QList<int> &values)
{
    QJsonArray array;
    for (int value : values)
        array.append(value);
    return array;
}
QJsonValue json(const QList<QString> &values)
{
    return QJsonArray::fromStringList(values);
}

// Appends fields to a record, each named after the member that holds it.
struct Fields
{
    Record &record;
    template <class T>
    Fields &operator()(const char *name, const T &value)
    {
        record.fields.append({QLatin1String(name), text(value), json(value)});
        return *this;
    }
};
#define F(object, member) (#member, (object).member)

void addCommon(Record &r, const ItemCommonData_t *c, bool named = false)
{
    if (!c)
        return;
    Fields f{r};
    if (named)
        f F(*c, Name);
    f F(*c, X) F(*c, Y) F(*c, W) F(*c, H) F(*c, Rot) F(*c, ZVAL) F(*c, GZVAL) F(*c, HFlip) F(*c, VFlip) F(*c, GroupId);
}

// A record without identity of its own: the @p index-th (from 0) of its kind.
Record placed(const char *kind, int index)
{
    const QString name = QStringLiteral("%1 %2").arg(QLatin1String(kind)).arg(index + 1);
    return Record{name, name, RecordRef{QString(), QLatin1String(kind), -1, -1, index + 1, {}}, {}};
}

Record item(const char *kind, int index, const ItemRecord &record)
{
    Record r = placed(kind, index);
    addCommon(r, record.common);
    return r;
}

// A record known by its id.
Record identified(const QString &key, const char *kind, qint64 uid, qint64 id, const QString &name)
{
    RecordRef ref{QString(), QLatin1String(kind), uid, id, 0, name};
    return Record{key, ref.text(), ref, {}};
}

// Records of equal key (two tags with one id) are told apart by their place among them.
void makeKeysUnique(QList<Record> &records)
{
    QHash<QString, int> seen;
    for (Record &r : records) {
        const int n = ++seen[r.key];
        if (n > 1)
            r.key += QStringLiteral(" #%1").arg(n);
    }
}

} // namespace

QString Record::line() const
{
    QString line = title;
    for (const RecordField &field : fields)
        line += QLatin1Char(' ') + field.name + QLatin1Char('=') + field.text;
    return line;
}

QString recordText(const QString &value)
{
    return text(value);
}

QList<Record> pageRecords(const ScaFileData &page)
{
    QList<Record> records;
    const PagePropertiesData_t &p = page.pageProperties;
    Record properties{QStringLiteral("page"), QStringLiteral("page properties"),
                      RecordRef{QString(), QStringLiteral("page"), -1, -1, 0, {}}, {}};
    Fields{properties} F(p, pageName) F(p, fileName) F(p, relativePath) F(p, pageID) F(p, pageType)
        F(p, customPageSize) F(p, addScrollingText) F(p, scaleToWindow) F(p, pageBgImage) F(p, pageIcon)
        F(p, pageAccessRights) F(p, pageAccessRights2) F(p, W) F(p, H);
    records << properties;
    for (int i = 0; i < p.ScrollTags.size(); ++i) {
        Record r = placed("scrolling text", i);
        Fields{r} F(p.ScrollTags.at(i), TagID) F(p.ScrollTags.at(i), ScrollText);
        records << r;
    }
    for (const ScadaObjectLoadData_t *o : page.scadaObjects) {
        Record r = identified(QStringLiteral("component Uid %1").arg(o->Uid), "component", o->Uid, -1,
                              o->common ? o->common->Name : QString());
        addCommon(r, o->common, true);
        Fields{r} F(*o, Type) F(*o, Uid) F(*o, componentUid) F(*o, tagID_image) F(*o, tagID_label) F(*o, tagID_posx)
            F(*o, tagID_posy) F(*o, tagID_width) F(*o, tagID_height) F(*o, tagID_rotAng) F(*o, tagID_txtColor)
            F(*o, tagID_maskColor) F(*o, tagID_maskOpac) F(*o, tagID_cusProp1) F(*o, tagID_cusProp2)
            F(*o, tagID_cusProp3) F(*o, tagID_cusProp4) F(*o, tagID_cusProp5) F(*o, tagID_cusProp6)
            F(*o, tagID_cusProp7) F(*o, tagID_eventTarget) F(*o, eventType) F(*o, eventAction) F(*o, lofx)
            F(*o, lofy) F(*o, labelText) F(*o, labelStyleSheet) F(*o, userConst1) F(*o, userConst2) F(*o, MacroText)
            F(*o, Tooltip) F(*o, weblinkActive) F(*o, weblink) F(*o, limitsActive) F(*o, lowLimit) F(*o, highLimit);
        records << r;
    }
    for (int i = 0; i < page.textItems.size(); ++i) {
        const TextItemLoadData_t &t = *page.textItems.at(i);
        Record r = item("text", i, t);
        Fields{r} F(t, ItemText) F(t, TextColor) F(t, BgColor) F(t, SvgElement) ("Alignment", int(t.Alignment))
            F(t, TextPixelSize) F(t, Family) F(t, IsBold) F(t, IsItalic) F(t, IsUnderlined) F(t, DrawPaper);
        records << r;
    }
    for (int i = 0; i < page.scheduleItems.size(); ++i) {
        Record r = item("schedule", i, *page.scheduleItems.at(i));
        Fields{r} F(*page.scheduleItems.at(i), TagIDs);
        records << r;
    }
    for (int i = 0; i < page.rtChartItems.size(); ++i) {
        const RealTimeChartItemLoadData_t &c = *page.rtChartItems.at(i);
        Record r = item("chart", i, c);
        for (int l = 0; l < c.TagIDs.size(); ++l) {
            const ChartLineData &line = c.TagIDs.at(l);
            r.fields.append({QStringLiteral("line%1").arg(l + 1),
                             QStringLiteral("{Tag=%1,LineStyle=%2,LineColor=%3}").arg(line.Tag).arg(line.LineStyle).arg(text(line.LineColor)),
                             QJsonObject{{QStringLiteral("Tag"), line.Tag}, {QStringLiteral("LineStyle"), line.LineStyle},
                                         {QStringLiteral("LineColor"), line.LineColor}}});
        }
        Fields{r} F(c, BgColor) F(c, TxtColor) F(c, ShowLegend) F(c, FollowLastVal) F(c, RescaleValAxis)
            F(c, ShowLastSeconds) F(c, UpperLimit) F(c, LowerLimit);
        records << r;
    }
    for (int i = 0; i < page.dbqTextItems.size(); ++i) {
        const DbQueryTextItemLoadData_t &d = *page.dbqTextItems.at(i);
        Record r = item("query text", i, d);
        Fields{r} F(d, reportTag) F(d, bgColor) F(d, txtColor) F(d, labelText) F(d, labelStyleSheet) F(d, lofx)
            F(d, lofy) F(d, txtPixelSize) F(d, reportUnit) F(d, reportType) F(d, timeFactor) F(d, updateInterval);
        records << r;
    }
    for (int i = 0; i < page.tableItems.size(); ++i) {
        const TableItemLoadData_t &t = *page.tableItems.at(i);
        Record r = item("table", i, t);
        Fields{r} F(t, columnWidths);
        for (int row = 0; row < t.rows.size(); ++row)
            r.fields.append({QStringLiteral("row%1").arg(row + 1), text(t.rows.at(row)), json(t.rows.at(row))});
        records << r;
    }
    makeKeysUnique(records);
    return records;
}

QList<Record> definitionsRecords(const FileDataTree &definitions)
{
    QList<Record> records;
    // The loader puts a "None" channel of its own first; the file's own is never read.
    for (const pKanalDef_t *c : definitions.channels.mid(1)) {
        Record r = identified(QStringLiteral("channel Id %1").arg(c->Id), "channel", -1, c->Id, c->Name);
        Fields{r} F(*c, Name) F(*c, Id) F(*c, MediaType) F(*c, SocketType) F(*c, ProtokolType) F(*c, ServerIP)
            F(*c, ServerPORT) F(*c, ListenPORT) F(*c, FilterIP) F(*c, Comport) F(*c, Baudrate) F(*c, Databit)
            F(*c, Stopbit) F(*c, Paritybit) F(*c, ResponseTimeout) F(*c, ConnectionTimeout) F(*c, FrameTimeout)
            F(*c, GroupID) F(*c, Station) F(*c, Enabled) F(*c, LogicProPath) F(*c, Description);
        records << r;
    }
    for (const pEtiketDef_t *t : definitions.tags) {
        Record r = identified(QStringLiteral("tag Id %1").arg(t->Id), "tag", -1, t->Id, t->Name);
        Fields{r} F(*t, Name) F(*t, Id) F(*t, PollFrequency) F(*t, KanalName) F(*t, Kanal_Id) F(*t, DeviceAddress)
            F(*t, VariableAddress) F(*t, VariableSize) F(*t, VariableType) F(*t, Macro) F(*t, IsLogging)
            F(*t, PriLevel) F(*t, TagType) F(*t, SchedulerIndex) F(*t, LoggingFreq) F(*t, LoggingMethod)
            F(*t, ReadRight1) F(*t, ReadRight2) F(*t, WriteRight1) F(*t, WriteRight2) F(*t, Keywords)
            F(*t, Enabled) F(*t, Description) F(*t, UnitName) F(*t, Protocolobjecttype);
        records << r;
    }
    for (const pAlarmItem_t *a : definitions.alarms) {
        Record r = identified(QStringLiteral("alarm Id %1").arg(a->Id), "alarm", -1, a->Id, a->alarm_name);
        Fields{r} F(*a, Id) F(*a, alarm_name) F(*a, alarm_desc) F(*a, alarm_class) F(*a, enabled) F(*a, ackrequired)
            F(*a, islogging) F(*a, tagID) F(*a, alarm_type) F(*a, alarm_level) F(*a, comp_type) F(*a, limitVal)
            F(*a, checkVal1) F(*a, checkVal2) F(*a, limit_tag_id) F(*a, limit_tag2_id) F(*a, readRight1)
            F(*a, readRight2) F(*a, subscribers) F(*a, currentState);
        records << r;
    }
    makeKeysUnique(records);
    return records;
}

QList<Record> libraryRecords(const QList<ScadaLibObject *> &components)
{
    QList<Record> records;
    for (const ScadaLibObject *o : components) {
        Record r = identified(QStringLiteral("component objectUID %1").arg(o->objectUID), "library component", -1,
                              o->objectUID, o->name);
        Fields{r} F(*o, name) F(*o, objectCategory) F(*o, objectUID) F(*o, rtuID) F(*o, registerID) F(*o, objectType)
            F(*o, images) F(*o, width) F(*o, height) F(*o, m_val) F(*o, a_val) F(*o, lofX) F(*o, lofY);
        records << r;
    }
    makeKeysUnique(records);
    return records;
}

bool fileRecords(const QByteArray &bytes, const QString &path, QList<Record> *records, QString *problem,
                 ReaderVocabulary::FileKind *kind)
{
    using ReaderVocabulary::FileKind;
    QString root;
    if (!isWellFormedXml(bytes, problem, &root)) {
        *problem = QStringLiteral("not well-formed XML: ") + *problem;
        return false;
    }
    if (root == QLatin1String("ScadaFile")) {
        std::unique_ptr<ScaFileData, void (*)(ScaFileData *)> page(ScaFileProcessor::loadFileData(bytes, QString()),
                                                                   destroyScaFileData);
        if (page) {
            *records = pageRecords(*page);
            if (kind)
                *kind = FileKind::Scene;
            return true;
        }
    } else if (root == QLatin1String("CTDefinitions")) {
        std::unique_ptr<FileDataTree, void (*)(FileDataTree *)> tree(TgchFileProcessor::loadFileData(path),
                                                                     destroyFileDataTree);
        if (tree) {
            *records = definitionsRecords(*tree);
            if (kind)
                *kind = FileKind::Definitions;
            return true;
        }
    } else if (root == QLatin1String("scadaObjectTypes")) {
        bool read = false;
        const QList<ScadaLibObject *> components = readLibraryFile(path, &read);
        if (read) {
            *records = libraryRecords(components);
            if (kind)
                *kind = FileKind::Library;
            return true;
        }
    }
    // A well-formed file of a known kind that does not load ran out of memory.
    if (root == QLatin1String("ScadaFile") || root == QLatin1String("CTDefinitions") || root == QLatin1String("scadaObjectTypes"))
        *problem = QStringLiteral("cannot be read: not enough memory");
    else
        *problem = QStringLiteral("neither a scene page (ScadaFile), a definitions file (CTDefinitions) nor a "
                                  "component library (scadaObjectTypes), but \"%1\"").arg(root);
    return false;
}
