#include "../common/files.h"
#include "../common/sceneRecords.h"

#include <zadururu/scene/scaFileProcessor.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QtTest>

#include <type_traits>

// An item record owns its common data and frees it with itself: a copy would
// free it twice, so records are not copied.
template<typename Record>
constexpr bool notCopied = !std::is_copy_constructible<Record>::value && !std::is_copy_assignable<Record>::value;
static_assert(notCopied<ScadaObjectLoadData_t> && notCopied<TextItemLoadData_t> && notCopied<ScheduleItemLoadData_t>
                  && notCopied<RealTimeChartItemLoadData_t> && notCopied<DbQueryTextItemLoadData_t> && notCopied<TableItemLoadData_t>,
              "item records are not copied");

// What the readers of the six item kinds make of each element: every field
// of the record is compared, for absent, empty and odd values.
namespace {

template<typename T>
void add(QStringList &out, const QList<T *> &items)
{
    for (const T *item : items)
        out += fields(*item);
}

/// The fields of every item a page holding @p items reads as.
QString itemFields(const QByteArray &items)
{
    ScaFileData *file = ScaFileProcessor::loadFileData("<ScadaFile><ItemList>" + items + "</ItemList></ScadaFile>", {});
    if (!file)
        return "not read";
    QStringList out;
    add(out, file->scadaObjects), add(out, file->textItems), add(out, file->scheduleItems);
    add(out, file->rtChartItems), add(out, file->dbqTextItems), add(out, file->tableItems);
    destroyScaFileData(file);
    return out.join('|');
}

QFont measuringFont(const QString &family, int pixelSize, bool bold, bool italic)
{
    QFont font = QApplication::font();
    font.setFamily(family);
    font.setStyleHint(QFont::Decorative, QFont::PreferDefault);
    if (pixelSize > 0) // Qt refuses other sizes, and says so
        font.setPixelSize(pixelSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(italic);
    return font;
}

const QString sample = QStringLiteral("Pump station AVWfi");

} // namespace

class tst_SceneItems : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readFields_data();
    void readFields();
    void newRecords();
    void measuredTextSize_data();
    void measuredTextSize();
};

// The application font differs from the measuring font in every respect the
// reader sets, so that a setting it leaves out shows in the measured size.
void tst_SceneItems::initTestCase()
{
    QFont app(QStringLiteral("DejaVu Serif"));
    app.setStyleHint(QFont::Serif);
    app.setPixelSize(11);
    app.setBold(true);
    app.setItalic(true);
    QApplication::setFont(app);

    auto width = [](const QFont &font) { return QFontMetrics(font).width(sample); };
    const QFont serif = measuringFont("Liberation Serif", 20, false, false);
    QVERIFY2(width(serif) != width(measuringFont("Liberation Serif", 20, false, true)),
             "the tests need a font whose italic face has other widths (Debian: fonts-liberation2)");
    QVERIFY(width(serif) != width(measuringFont("Liberation Serif", 20, true, false)));
    QFont serifHint = measuringFont("NoSuchFamily", 20, false, false);
    serifHint.setStyleHint(QFont::Serif);
    QVERIFY(QFontInfo(serifHint).family() != QFontInfo(measuringFont("NoSuchFamily", 20, false, false)).family());
}

// The rows of testdata/item-fields.txt as name, item content and expected fields.
static QList<QStringList> fieldRows()
{
    QList<QStringList> rows;
    const QString table = QString::fromUtf8(readAll(QFINDTESTDATA("testdata/item-fields.txt")));
    QHash<QString, QString> defaults;
    for (const QString &block : table.split("\n\n", Qt::SkipEmptyParts)) {
        const QStringList row = block.trimmed().split('\n');
        if (row.first().startsWith('#'))
            continue;
        const QString kind = row.first().section(' ', 0, 0);
        const QString content = row.value(1) == "-" ? QString() : row.value(1);
        const QString changes = row.value(2) == "-" ? QString() : row.value(2);
        const QString expected = defaults.contains(kind) ? withChanges(defaults.value(kind), changes) : changes;
        if (!defaults.contains(kind))
            defaults.insert(kind, expected);
        const QString size = kind == "TextItem" ? "<Width>1</Width><Height>2</Height>" : "";
        rows.append({row.first(), "<Item><ItemType>" + kind + "</ItemType>" + content + size + "</Item>", expected});
    }
    return rows;
}

void tst_SceneItems::readFields_data()
{
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<QString>("expected");
    const QList<QStringList> rows = fieldRows();
    QVERIFY(rows.size() > 20);
    for (const QStringList &row : rows)
        QTest::newRow(qPrintable(row.at(0))) << row.at(1).toUtf8() << row.at(2);
}

template<typename T>
static QString newRecord()
{
    T record;
    record.common = new ItemCommonData_t;
    return fields(record).join('|');
}

// A record the host creates holds these values until it is filled.
void tst_SceneItems::newRecords()
{
    QHash<QString, QString> read;
    for (const QStringList &row : fieldRows())
        read.insert(row.at(0), row.at(2));
    QCOMPARE(newRecord<ScadaObjectLoadData_t>(), withChanges(read.value("ScadaObject defaults"),
             "itemTypeCode=0|labelText=%.3f|labelStyleSheet=font: 22px \"Arial\";"));
    QCOMPARE(newRecord<TextItemLoadData_t>(), withChanges(read.value("TextItem defaults"),
             "W=0|H=0|itemTypeCode=0|TextColor=|BgColor=|Family="));
    QCOMPARE(newRecord<ScheduleItemLoadData_t>(), withChanges(read.value("ScheduleItem defaults"), "itemTypeCode=0"));
    QCOMPARE(newRecord<RealTimeChartItemLoadData_t>(), withChanges(read.value("RTChartItem defaults"),
             "itemTypeCode=0|BgColor=|TxtColor="));
    QCOMPARE(newRecord<DbQueryTextItemLoadData_t>(), withChanges(read.value("DbqTextItem defaults"),
             "itemTypeCode=0|bgColor=|txtColor=|labelText=|labelStyleSheet="));
    QCOMPARE(newRecord<TableItemLoadData_t>(), withChanges(read.value("TableItem defaults"), "itemTypeCode=0"));
    QCOMPARE(str(ChartLineData()), QStringLiteral("-1/0/#FF0000"));
}

void tst_SceneItems::readFields()
{
    QFETCH(QByteArray, item);
    QFETCH(QString, expected);
    QCOMPARE(itemFields(item), expected);
}

// The size a text item without a stored one reads as: twice the width of
// @p text, at most 800, by four lines, in the measuring font.
static QString measured(const QString &family, int pixelSize, bool bold, bool italic, int w = -1, int h = -1)
{
    const QFontMetrics m(measuringFont(family, pixelSize, bold, italic));
    return QString("W=%1|H=%2").arg(w < 0 ? qMin(2 * m.width(sample), 800) : w).arg(h < 0 ? 4 * m.height() : h);
}

void tst_SceneItems::measuredTextSize_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("size");
    const QByteArray text = "<ItemText>" + sample.toLatin1() + "</ItemText>";
    const QByteArray serif = text + "<Family>Liberation Serif</Family><TextPixelSize>20</TextPixelSize>";
    QTest::newRow("nothing stored") << QByteArray() << measured("Arial", 0, false, false, 0);
    QTest::newRow("regular") << serif << measured("Liberation Serif", 20, false, false);
    QTest::newRow("bold italic") << serif + "<IsBold>1</IsBold><IsItalic>1</IsItalic>"
                                 << measured("Liberation Serif", 20, true, true);
    QTest::newRow("unknown family") << text + "<Family>NoSuchFamily</Family><TextPixelSize>20</TextPixelSize>"
                                    << measured("NoSuchFamily", 20, false, false);
    QTest::newRow("older size") << text + "<Family>Liberation Serif</Family><TextPixelSize>-1</TextPixelSize><TextSize>30</TextSize>"
                                << measured("Liberation Serif", 30, false, false);
    QTest::newRow("at most 800") << "<ItemText>" + QByteArray(200, 'W') + "</ItemText><TextPixelSize>30</TextPixelSize>"
                                 << measured("Arial", 30, false, false, 800);
    QTest::newRow("width stored") << serif + "<Width>7</Width>" << measured("Liberation Serif", 20, false, false, 7);
    QTest::newRow("height stored") << serif + "<Height>0</Height>" << measured("Liberation Serif", 20, false, false, -1, 0);
}

void tst_SceneItems::measuredTextSize()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, size);
    QCOMPARE(itemFields("<Item><ItemType>TextItem</ItemType>" + content + "</Item>").section('|', 2, 3), size);
}

QTEST_MAIN(tst_SceneItems)
#include "tst_sceneitems.moc"
