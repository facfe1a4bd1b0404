#include <pageRenderer.h>

#include <zadururu/scene/scaFileProcessor.h>

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QtTest>

#include <climits>

namespace {

// A page built in code that owns every record it holds.
struct Page
{
    explicit Page(int w = 200, int h = 150)
    {
        data.pageProperties.W = w;
        data.pageProperties.H = h;
    }
    // Each list is freed as its own kind: the records share no virtual destructor.
    ~Page()
    {
        qDeleteAll(data.scadaObjects);
        qDeleteAll(data.textItems);
        qDeleteAll(data.scheduleItems);
        qDeleteAll(data.rtChartItems);
        qDeleteAll(data.dbqTextItems);
        qDeleteAll(data.tableItems);
    }
    Page(const Page &) = delete;
    Page &operator=(const Page &) = delete;

    template<typename Record>
    Record *add(QList<Record *> &list, int x, int y, int w, int h, int z = 0)
    {
        auto *r = new Record;
        r->common = new ItemCommonData_t;
        r->common->X = x;
        r->common->Y = y;
        r->common->W = w;
        r->common->H = h;
        r->common->ZVAL = z;
        list.append(r);
        return r;
    }
    ScadaObjectLoadData_t *component(const QString &uid, int x, int y, int w, int h, int z = 0)
    {
        auto *o = add(data.scadaObjects, x, y, w, h, z);
        o->componentUid = uid;
        return o;
    }

    ScaFileData data;
};

QImage solid(const QColor &c, int w = 8, int h = 8)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(c);
    return img;
}

// Red top-left, green top-right, blue bottom-left, yellow bottom-right.
QImage quadrants(int w = 40, int h = 40)
{
    QImage img(w, h, QImage::Format_ARGB32);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h / 2, Qt::red);
    p.fillRect(w / 2, 0, w - w / 2, h / 2, Qt::green);
    p.fillRect(0, h / 2, w / 2, h - h / 2, Qt::blue);
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, Qt::yellow);
    return img;
}

// Left half red, right half blue.
QImage halves(int w = 40, int h = 8)
{
    QImage img(w, h, QImage::Format_ARGB32);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h, Qt::red);
    p.fillRect(w / 2, 0, w - w / 2, h, Qt::blue);
    return img;
}

std::function<QImage(const QString &)> imagesBy(const QHash<QString, QImage> &images)
{
    return [images](const QString &uid) { return images.value(uid); };
}

bool near(const QColor &a, const QColor &b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

int countColour(const QImage &img, const QRect &area, const QColor &c, int tolerance = 0)
{
    int n = 0;
    const QRect r = area & img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += near(img.pixelColor(x, y), c, tolerance);
    return n;
}

int countNot(const QImage &img, const QRect &area, const QColor &c)
{
    const QRect r = area & img.rect();
    return r.width() * r.height() - countColour(img, r, c, 8);
}

QString describe(const QImage &img, int x, int y)
{
    return QStringLiteral("pixel (%1, %2) is %3").arg(x).arg(y).arg(img.pixelColor(x, y).name());
}

#define COMPARE_PIXEL(img, x, y, colour) \
    QVERIFY2(near((img).pixelColor((x), (y)), QColor(colour), 8), qPrintable(describe((img), (x), (y))))

} // namespace

class tst_PageRenderer : public QObject
{
    Q_OBJECT

private slots:
    void pageSize_data();
    void pageSize();
    void backgroundEverywhereOnEmptyPage();
    void componentImageStretchedIntoRect();
    void componentWithoutImageIsOutlined();
    void rotation_data();
    void rotation();
    void flips_data();
    void flips();
    void stackingOrderAcrossKinds();
    void textItem_data();
    void textItem();
    void tableGridFollowsColumnWidths();
    void chartLegend_data();
    void chartLegend();
    void dbQueryLabel_data();
    void dbQueryLabel();
    void scheduleListsTags();
    void itemsCutAtPageEdges();
    void hugeAndEmptyGeometry();
    void brokenRecordsSkipped();
    void examplePages_data();
    void examplePages();
};

void tst_PageRenderer::pageSize_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("own-size") << 320 << 200 << QSize(320, 200);
    QTest::newRow("unset") << -1 << -1 << QSize(250, 150);
    QTest::newRow("zero") << 0 << 0 << QSize(250, 150);
    QTest::newRow("zero-width-only") << 0 << 40 << QSize(250, 40);
    QTest::newRow("wide") << 100000 << 10 << QSize(MaxRenderedPageSide, 10);
    QTest::newRow("int-max-tall") << 12 << INT_MAX << QSize(12, MaxRenderedPageSide);
    QTest::newRow("int-min") << INT_MIN << 30 << QSize(250, 30);
}

void tst_PageRenderer::pageSize()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(QSize, expected);
    Page page(w, h);
    QCOMPARE(renderedPageSize(page.data.pageProperties), expected);
    const QImage img = renderPage(page.data, {});
    QCOMPARE(img.size(), expected);
    QCOMPARE(img.format(), QImage::Format_ARGB32);
    COMPARE_PIXEL(img, img.width() - 1, img.height() - 1, pageBackgroundColour());
}

void tst_PageRenderer::backgroundEverywhereOnEmptyPage()
{
    Page page(64, 48);
    const QImage img = renderPage(page.data, {});
    QCOMPARE(countColour(img, img.rect(), pageBackgroundColour()), 64 * 48);
    QCOMPARE(img.pixelColor(0, 0).alpha(), 255);
}

void tst_PageRenderer::componentImageStretchedIntoRect()
{
    Page page;
    page.component("pump", 20, 30, 60, 40);
    page.component("valve", 100, 30, 30, 30);
    QStringList asked;
    const QImage img = renderPage(page.data, [&asked](const QString &uid) {
        asked << uid;
        return uid == QLatin1String("pump") ? solid(Qt::red, 4, 4) : solid(Qt::blue, 100, 7);
    });
    QCOMPARE(asked, QStringList({"pump", "valve"}));
    // A 4x4 image covers the whole 60x40 rectangle, and nothing beside it.
    QCOMPARE(countColour(img, QRect(21, 31, 58, 38), Qt::red, 8), 58 * 38);
    COMPARE_PIXEL(img, 18, 50, Qt::white);
    COMPARE_PIXEL(img, 82, 50, Qt::white);
    COMPARE_PIXEL(img, 50, 72, Qt::white);
    COMPARE_PIXEL(img, 115, 45, Qt::blue);
    COMPARE_PIXEL(img, 115, 62, Qt::white);
}

void tst_PageRenderer::componentWithoutImageIsOutlined()
{
    Page page;
    auto *o = page.component("missing", 20, 20, 120, 60);
    o->common->Name = QStringLiteral("Pump P-1");
    const QImage img = renderPage(page.data, [](const QString &) { return QImage(); });
    // The outline runs along the rectangle's edges; the name is drawn inside.
    QVERIFY(countNot(img, QRect(20, 20, 1, 60), Qt::white) > 20);
    QVERIFY(countNot(img, QRect(20, 20, 120, 1), Qt::white) > 40);
    QVERIFY(countNot(img, QRect(30, 35, 100, 30), Qt::white) > 20);
    QCOMPARE(countNot(img, QRect(0, 0, 200, 19), Qt::white), 0);
    QCOMPARE(countNot(img, QRect(141, 0, 59, 150), Qt::white), 0);

    // Without a callback at all the outline is drawn the same way.
    const QImage noCallback = renderPage(page.data, nullptr);
    QCOMPARE(noCallback, img);
}

void tst_PageRenderer::rotation_data()
{
    QTest::addColumn<int>("rot");
    QTest::addColumn<QPoint>("redAt");
    QTest::addColumn<QPoint>("blueAt");
    QTest::addColumn<QPoint>("emptyAt");
    // A 100x20 bar at (100, 100): left half red, right half blue, turned
    // about its centre (150, 110); positive angles turn clockwise on screen.
    QTest::newRow("0") << 0 << QPoint(110, 110) << QPoint(190, 110) << QPoint(150, 70);
    QTest::newRow("90") << 90 << QPoint(150, 70) << QPoint(150, 150) << QPoint(110, 110);
    QTest::newRow("180") << 180 << QPoint(190, 110) << QPoint(110, 110) << QPoint(150, 70);
    QTest::newRow("270") << 270 << QPoint(150, 150) << QPoint(150, 70) << QPoint(190, 110);
    QTest::newRow("-90") << -90 << QPoint(150, 150) << QPoint(150, 70) << QPoint(110, 110);
    QTest::newRow("450") << 450 << QPoint(150, 70) << QPoint(150, 150) << QPoint(190, 110);
}

void tst_PageRenderer::rotation()
{
    QFETCH(int, rot);
    QFETCH(QPoint, redAt);
    QFETCH(QPoint, blueAt);
    QFETCH(QPoint, emptyAt);
    Page page(300, 220);
    page.component("bar", 100, 100, 100, 20)->common->Rot = rot;
    const QImage img = renderPage(page.data, imagesBy({{"bar", halves()}}));
    COMPARE_PIXEL(img, redAt.x(), redAt.y(), Qt::red);
    COMPARE_PIXEL(img, blueAt.x(), blueAt.y(), Qt::blue);
    COMPARE_PIXEL(img, emptyAt.x(), emptyAt.y(), Qt::white);
}

void tst_PageRenderer::flips_data()
{
    QTest::addColumn<bool>("h");
    QTest::addColumn<bool>("v");
    QTest::addColumn<QColor>("topLeft");
    QTest::addColumn<QColor>("bottomRight");
    QTest::newRow("none") << false << false << QColor(Qt::red) << QColor(Qt::yellow);
    QTest::newRow("horizontal") << true << false << QColor(Qt::green) << QColor(Qt::blue);
    QTest::newRow("vertical") << false << true << QColor(Qt::blue) << QColor(Qt::green);
    QTest::newRow("both") << true << true << QColor(Qt::yellow) << QColor(Qt::red);
}

void tst_PageRenderer::flips()
{
    QFETCH(bool, h);
    QFETCH(bool, v);
    QFETCH(QColor, topLeft);
    QFETCH(QColor, bottomRight);
    Page page;
    auto *o = page.component("q", 40, 40, 80, 60);
    o->common->HFlip = h;
    o->common->VFlip = v;
    const QImage img = renderPage(page.data, imagesBy({{"q", quadrants()}}));
    COMPARE_PIXEL(img, 50, 50, topLeft);
    COMPARE_PIXEL(img, 110, 90, bottomRight);
    // The mirrored item stays in its own rectangle.
    COMPARE_PIXEL(img, 38, 70, Qt::white);
    COMPARE_PIXEL(img, 122, 70, Qt::white);
}

void tst_PageRenderer::stackingOrderAcrossKinds()
{
    Page page;
    // Listed first but stacked highest: the paper of a text item.
    auto *t = page.add(page.data.textItems, 40, 40, 40, 40, 5);
    t->DrawPaper = true;
    t->BgColor = QStringLiteral("#00FF00");
    page.component("top", 0, 0, 100, 100, 3);
    page.component("bottom", 0, 0, 150, 100, 1);
    // A grouped item stacks with its group's value, not its own.
    auto *grouped = page.component("grouped", 120, 0, 60, 60, 99);
    grouped->common->GroupId = 7;
    grouped->common->GZVAL = 0;
    const QImage img = renderPage(page.data, imagesBy({{"top", solid(Qt::red)},
                                                       {"bottom", solid(Qt::blue)},
                                                       {"grouped", solid(Qt::yellow)}}));
    COMPARE_PIXEL(img, 60, 60, QColor(0, 255, 0));
    COMPARE_PIXEL(img, 10, 10, Qt::red);
    COMPARE_PIXEL(img, 125, 80, Qt::blue);
    COMPARE_PIXEL(img, 130, 30, Qt::blue);
    COMPARE_PIXEL(img, 170, 30, Qt::yellow);
}

void tst_PageRenderer::textItem_data()
{
    QTest::addColumn<QString>("textColour");
    QTest::addColumn<QString>("bgColour");
    QTest::addColumn<bool>("paper");
    QTest::addColumn<QColor>("expectedText");
    QTest::addColumn<QColor>("expectedPaper");
    QTest::newRow("colours") << "#0000FF" << "#FFFF00" << true << QColor(Qt::blue) << QColor(Qt::yellow);
    QTest::newRow("named-colours") << "red" << "cyan" << true << QColor(Qt::red) << QColor(Qt::cyan);
    QTest::newRow("no-paper") << "#0000FF" << "#FFFF00" << false << QColor(Qt::blue) << QColor(Qt::red);
    QTest::newRow("bad-colours") << "not a colour" << "#12" << true << QColor(Qt::black) << QColor(Qt::white);
    QTest::newRow("empty-colours") << "" << "" << true << QColor(Qt::black) << QColor(Qt::white);
}

void tst_PageRenderer::textItem()
{
    QFETCH(QString, textColour);
    QFETCH(QString, bgColour);
    QFETCH(bool, paper);
    QFETCH(QColor, expectedText);
    QFETCH(QColor, expectedPaper);
    Page page(300, 150);
    // A red component under the text shows whether the paper is drawn.
    page.component("under", 0, 0, 300, 150, 0);
    auto *t = page.add(page.data.textItems, 20, 20, 260, 100, 1);
    t->ItemText = QStringLiteral("MMM");
    t->TextColor = textColour;
    t->BgColor = bgColour;
    t->DrawPaper = paper;
    t->TextPixelSize = 60;
    t->IsBold = true;
    t->Family = QStringLiteral("DejaVu Sans");
    t->Alignment = Qt::AlignRight | Qt::AlignBottom;
    const QImage img = renderPage(page.data, imagesBy({{"under", solid(Qt::red)}}));

    COMPARE_PIXEL(img, 22, 22, expectedPaper);
    COMPARE_PIXEL(img, 10, 10, Qt::red);
    // Right and bottom aligned: glyphs in the lower right, none in the top
    // left quarter of the item.
    QVERIFY(countColour(img, QRect(150, 60, 130, 60), expectedText, 10) > 200);
    QCOMPARE(countColour(img, QRect(20, 20, 100, 40), expectedText, 60), 0);
}

void tst_PageRenderer::tableGridFollowsColumnWidths()
{
    Page page(300, 150);
    auto *t = page.add(page.data.tableItems, 10, 20, 250, 90);
    t->columnWidths = {40, 70};
    // The third cell has no width of its own and gets the default 30.
    t->rows = {{"", "MMMM"}, {"", "", "W"}, {}};
    const QImage img = renderPage(page.data, {});
    const QColor grid(0x40, 0x40, 0x40);
    auto lineNear = [&](int x, int y) { return countColour(img, QRect(x - 1, y, 3, 1), grid, 16) > 0; };
    // Column edges at 10+40, 10+110 and 10+140; rows of 30.
    QVERIFY(lineNear(50, 35));
    QVERIFY(lineNear(120, 35));
    QVERIFY(lineNear(150, 65));
    QVERIFY(!lineNear(85, 95));
    QVERIFY(!lineNear(30, 35));
    QVERIFY(!lineNear(200, 65));
    QVERIFY(countColour(img, QRect(20, 49, 200, 3), grid, 16) > 150);
    QVERIFY(countColour(img, QRect(20, 79, 200, 3), grid, 16) > 150);
    // Cell texts in their cells only.
    QVERIFY(countNot(img, QRect(53, 23, 64, 24), Qt::white) > 30);
    QVERIFY(countNot(img, QRect(123, 53, 25, 24), Qt::white) > 5);
    QCOMPARE(countNot(img, QRect(13, 23, 34, 24), Qt::white), 0);
    QCOMPARE(countNot(img, QRect(123, 23, 25, 24), Qt::white), 0);
    // Nothing beyond the table.
    QCOMPARE(countNot(img, QRect(262, 0, 38, 150), Qt::white), 0);
}

void tst_PageRenderer::chartLegend_data()
{
    QTest::addColumn<QStringList>("lineColours");
    QTest::addColumn<bool>("legend");
    QTest::addColumn<QString>("background");
    QTest::addColumn<QColor>("expectedBackground");
    QTest::newRow("two-lines") << QStringList{"#00FF00", "#0000FF"} << true << "#101820" << QColor("#101820");
    QTest::newRow("same-colour-twice") << QStringList{"#00FF00", "#00FF00", "#0000FF"} << true << "#101820"
                                       << QColor("#101820");
    QTest::newRow("bad-line-colour") << QStringList{"nonsense"} << true << "#101820" << QColor("#101820");
    QTest::newRow("no-legend") << QStringList{"#00FF00", "#0000FF"} << false << "#101820" << QColor("#101820");
    QTest::newRow("bad-background") << QStringList{"#00FF00"} << true << "bogus" << QColor(Qt::black);
}

void tst_PageRenderer::chartLegend()
{
    QFETCH(QStringList, lineColours);
    QFETCH(bool, legend);
    QFETCH(QString, background);
    QFETCH(QColor, expectedBackground);
    Page page(400, 300);
    auto *c = page.add(page.data.rtChartItems, 20, 20, 360, 240);
    c->BgColor = background;
    c->TxtColor = QStringLiteral("#FFFFFF");
    c->ShowLegend = legend;
    int tag = 10;
    for (const QString &colour : lineColours)
        c->TagIDs.append({tag++, colour, 0});
    const QImage img = renderPage(page.data, {});

    COMPARE_PIXEL(img, 24, 24, expectedBackground);
    COMPARE_PIXEL(img, 10, 10, Qt::white);
    // Each legend entry is a 10x10 swatch of its line's colour.
    QHash<QString, int> expected;
    for (const QString &colour : lineColours) {
        const QColor parsed(colour);
        expected[(parsed.isValid() ? parsed : QColor(Qt::red)).name()] += legend ? 100 : 0;
    }
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(countColour(img, QRect(20, 20, 360, 240), QColor(it.key())), it.value());
    QCOMPARE(countNot(img, QRect(0, 262, 400, 38), Qt::white), 0);
}

void tst_PageRenderer::dbQueryLabel_data()
{
    QTest::addColumn<QString>("styleSheet");
    QTest::addColumn<QString>("txtColour");
    QTest::addColumn<QColor>("expectedLabel");
    QTest::addColumn<QColor>("expectedValue");
    QTest::newRow("text-colour") << "font: 20px \"DejaVu Sans\";" << "#0000FF" << QColor(Qt::blue)
                                 << QColor(Qt::blue);
    QTest::newRow("own-colour") << "font: 20px \"DejaVu Sans\"; color: #FF00FF;" << "#0000FF"
                                << QColor(Qt::magenta) << QColor(Qt::blue);
    QTest::newRow("unquoted-family") << "font: bold 20px DejaVu Sans" << "#0000FF" << QColor(Qt::blue)
                                     << QColor(Qt::blue);
    QTest::newRow("bad-colours") << "garbage{;:;" << "#GG0000" << QColor(Qt::white) << QColor(Qt::white);
}

void tst_PageRenderer::dbQueryLabel()
{
    QFETCH(QString, styleSheet);
    QFETCH(QString, txtColour);
    QFETCH(QColor, expectedLabel);
    QFETCH(QColor, expectedValue);
    Page page(300, 150);
    // A grey floor under everything so that white text shows.
    page.component("floor", 0, 0, 300, 150, -1);
    auto *d = page.add(page.data.dbqTextItems, 40, 80, 200, 40);
    d->bgColor = QStringLiteral("#202020");
    d->txtColor = txtColour;
    d->labelText = QStringLiteral("MMMM");
    d->labelStyleSheet = styleSheet;
    d->txtPixelSize = 20;
    d->lofx = 100;
    d->lofy = -40;
    const QImage img = renderPage(page.data, imagesBy({{"floor", solid(Qt::gray)}}));

    COMPARE_PIXEL(img, 42, 82, QColor("#202020"));
    // The value placeholder inside the box, the label at its offset above it.
    QVERIFY(countColour(img, QRect(40, 80, 200, 40), expectedValue, 10) > 10);
    QVERIFY(countColour(img, QRect(140, 40, 160, 40), expectedLabel, 10) > 15);
    QCOMPARE(countColour(img, QRect(0, 40, 140, 40), expectedLabel, 60), 0);
}

void tst_PageRenderer::scheduleListsTags()
{
    Page page;
    auto *s = page.add(page.data.scheduleItems, 10, 10, 120, 30);
    s->TagIDs = QList<int>() << 1 << 2 << 3 << 4 << 5 << 6 << 7 << 8;
    const QImage img = renderPage(page.data, {});
    // The first entries are written in the box; those that do not fit are
    // left out rather than spilling out.
    QVERIFY(countColour(img, QRect(10, 10, 120, 16), QColor(0x40, 0x40, 0x40), 60) > 10);
    QCOMPARE(countNot(img, QRect(0, 41, 200, 109), Qt::white), 0);
}

void tst_PageRenderer::itemsCutAtPageEdges()
{
    Page page(80, 60);
    page.component("red", -50, -50, 100, 100);
    page.component("far", 1000, 1000, 50, 50);
    page.component("below", 10, 60, 50, 50);
    const QImage img = renderPage(page.data, imagesBy({{"red", solid(Qt::red)},
                                                       {"far", solid(Qt::blue)},
                                                       {"below", solid(Qt::blue)}}));
    QCOMPARE(img.size(), QSize(80, 60));
    COMPARE_PIXEL(img, 0, 0, Qt::red);
    COMPARE_PIXEL(img, 48, 48, Qt::red);
    COMPARE_PIXEL(img, 52, 52, Qt::white);
    COMPARE_PIXEL(img, 79, 59, Qt::white);
    QCOMPARE(countColour(img, img.rect(), Qt::blue, 60), 0);
}

void tst_PageRenderer::hugeAndEmptyGeometry()
{
    Page page(120, 90);
    page.component("huge", INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    page.component("zero", 10, 10, 0, 50, 5);
    page.component("negative", 10, 10, -40, 50, 5);
    auto *table = page.add(page.data.tableItems, 0, 0, INT_MAX, INT_MAX, 1);
    table->columnWidths = {INT_MAX, -5, INT_MIN};
    table->rows = {{"a", "b", "c"}};
    auto *text = page.add(page.data.textItems, 0, 0, 120, 90, 2);
    text->ItemText = QStringLiteral("big");
    text->TextPixelSize = INT_MAX;
    text->common->Rot = INT_MIN;
    const QImage img = renderPage(page.data, imagesBy({{"huge", solid(Qt::red)},
                                                       {"zero", solid(Qt::blue)},
                                                       {"negative", solid(Qt::blue)}}));
    QCOMPARE(img.size(), QSize(120, 90));
    QCOMPARE(countColour(img, img.rect(), Qt::blue, 60), 0);
}

void tst_PageRenderer::brokenRecordsSkipped()
{
    Page page;
    page.data.scadaObjects.append(nullptr);
    page.data.textItems.append(nullptr);
    page.data.tableItems.append(new TableItemLoadData_t);
    page.component("ok", 10, 10, 20, 20);
    const QImage img = renderPage(page.data, imagesBy({{"ok", solid(Qt::red)}}));
    COMPARE_PIXEL(img, 20, 20, Qt::red);
    COMPARE_PIXEL(img, 100, 100, Qt::white);
}

void tst_PageRenderer::examplePages_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("overview") << "overview";
    QTest::newRow("pumpstation") << "pumpstation";
    QTest::newRow("tankfarm") << "tankfarm";
}

void tst_PageRenderer::examplePages()
{
    QFETCH(QString, name);
    const QString examples = QStringLiteral(ZADURURU_EXAMPLES_DIR);
    QFile file(examples + "/pages/" + name + ".xml");
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    ScaFileData *data = ScaFileProcessor::loadFileData(file.readAll(), name);
    QVERIFY(data);

    // Components whose id names a picture of the example library show it;
    // the others are outlined.
    const QImage img = renderPage(*data, [&examples](const QString &uid) {
        return QImage(examples + "/library/images/" + uid + ".png");
    });
    QCOMPARE(img.size(), QSize(data->pageProperties.W, data->pageProperties.H));
    QVERIFY(countNot(img, img.rect(), pageBackgroundColour()) > img.width() * img.height() / 50);
    QVERIFY(img.save(QDir::temp().filePath("zadururu-render-" + name + ".png")));

    qDeleteAll(data->textItems);
    qDeleteAll(data->dbqTextItems);
    qDeleteAll(data->scheduleItems);
    qDeleteAll(data->rtChartItems);
    qDeleteAll(data->tableItems);
    data->erase();
    delete data;
}

QTEST_MAIN(tst_PageRenderer)
#include "tst_pagerenderer.moc"
