// Pixel checks of the page renderer: where each kind of item lands, in which
// colours, and that no geometry a hand-edited page can hold breaks it.

#include <pageRenderer.h>

#include <QPainter>
#include <QtTest>

#include <climits>

namespace {

// A page built in code; it owns every record it holds.
struct Page
{
    explicit Page(int w = 200, int h = 150)
    {
        data->pageProperties.W = w;
        data->pageProperties.H = h;
    }
    ~Page() { destroyScaFileData(data); }
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
        auto *o = add(data->scadaObjects, x, y, w, h, z);
        o->componentUid = uid;
        o->labelText.clear(); // no value label unless a test sets one
        return o;
    }

    ScaFileData *data = new ScaFileData;
};

// An image of @p w by @p h split into @p colours side by side, then (with four
// colours) top and bottom: red|green over blue|yellow.
QImage painted(const QList<QColor> &colours, int w = 40, int h = 40)
{
    QImage img(w, h, QImage::Format_ARGB32);
    QPainter p(&img);
    const int across = colours.size() == 1 ? 1 : 2;
    const int down = colours.size() == 4 ? 2 : 1;
    for (int i = 0; i < colours.size(); ++i)
        p.fillRect(i % across * w / across, i / across * h / down, w / across + 1, h / down + 1, colours.at(i));
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

// Pixels of @p area that are not (nearly) white.
int inked(const QImage &img, const QRect &area)
{
    const QRect r = area & img.rect();
    return r.width() * r.height() - countColour(img, r, Qt::white, 8);
}

#define COMPARE_PIXEL(img, x, y, colour)                                                               \
    QVERIFY2(near((img).pixelColor((x), (y)), QColor(colour), 8),                                      \
             qPrintable(QStringLiteral("pixel (%1, %2) is %3").arg(x).arg(y).arg((img).pixelColor((x), (y)).name())))

} // namespace

class tst_PageRenderer : public QObject
{
    Q_OBJECT

private slots:
    void pageSize_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("own-size") << 320 << 200 << QSize(320, 200);
        QTest::newRow("unset") << -1 << -1 << QSize(250, 150);
        QTest::newRow("zero-width-only") << 0 << 40 << QSize(250, 40);
        QTest::newRow("largest unscaled") << MaxRenderedPageSide << 3 << QSize(MaxRenderedPageSide, 3);
        QTest::newRow("twice too wide") << 2 * MaxRenderedPageSide << 4000 << QSize(MaxRenderedPageSide, 2000);
        QTest::newRow("wide") << 100000 << 10 << QSize(MaxRenderedPageSide, 1);
        QTest::newRow("int-max-tall") << 12 << INT_MAX << QSize(1, MaxRenderedPageSide);
        QTest::newRow("int-min") << INT_MIN << 30 << QSize(250, 30);
    }

    void pageSize()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(QSize, expected);
        Page page(w, h);
        QCOMPARE(renderedPageSize(page.data->pageProperties), expected);
        QCOMPARE(isPageScaled(page.data->pageProperties), expected != ::pageSize(page.data->pageProperties));
        const QImage img = renderPage(*page.data, {});
        QCOMPARE(img.size(), expected);
        QCOMPARE(img.format(), QImage::Format_ARGB32);
        if (expected.width() * expected.height() <= 320 * 200)
            QCOMPARE(countColour(img, img.rect(), pageBackgroundColour()), expected.width() * expected.height());
        QCOMPARE(img.pixelColor(0, 0).alpha(), 255);
    }

    // A component shows its library image stretched into its rectangle; without
    // one, an outline and its name.
    void components()
    {
        Page page;
        page.component("pump", 20, 30, 60, 40);
        page.component("valve", 100, 30, 30, 30);
        page.component("missing", 140, 80, 50, 60)->common->Name = QStringLiteral("P-1");
        QStringList asked;
        const QImage img = renderPage(*page.data, [&asked](const QString &uid) {
            asked << uid;
            return uid == QLatin1String("pump") ? painted({Qt::red}, 4, 4)
                : uid == QLatin1String("valve") ? painted({Qt::blue}, 100, 7) : QImage();
        });
        QCOMPARE(asked, QStringList({"pump", "valve", "missing"}));
        // Stretched to fill its rectangle exactly.
        QCOMPARE(countColour(img, QRect(21, 31, 58, 38), Qt::red, 8), 58 * 38);
        QCOMPARE(countColour(img, QRect(18, 28, 64, 44), Qt::red, 8), 60 * 40);
        QCOMPARE(countColour(img, QRect(98, 28, 34, 34), Qt::blue, 8), 30 * 30);
        // The outline runs along the edges, the name inside, nothing outside.
        QVERIFY(inked(img, QRect(140, 80, 1, 60)) > 20);
        QVERIFY(inked(img, QRect(140, 80, 50, 1)) > 20);
        QVERIFY(inked(img, QRect(145, 95, 40, 30)) > 5);
        QCOMPARE(inked(img, QRect(191, 70, 9, 80)), 0);
        QCOMPARE(inked(img, QRect(0, 0, 200, 29)), 0);
        // Without a callback at all every component is outlined.
        QVERIFY(inked(renderPage(*page.data, nullptr), QRect(40, 45, 20, 10)) < 200);
    }

    // A square item of four coloured quadrants, turned about its centre
    // (positive angles clockwise on screen) or mirrored: the colours seen at
    // the centres of its quadrants, top left, top right, bottom left, bottom right.
    void transforms_data()
    {
        QTest::addColumn<int>("rot");
        QTest::addColumn<bool>("h");
        QTest::addColumn<bool>("v");
        QTest::addColumn<QString>("seen");
        QTest::newRow("plain") << 0 << false << false << "RGBY";
        QTest::newRow("horizontal flip") << 0 << true << false << "GRYB";
        QTest::newRow("vertical flip") << 0 << false << true << "BYRG";
        QTest::newRow("both flips") << 0 << true << true << "YBGR";
        QTest::newRow("90") << 90 << false << false << "BRYG";
        QTest::newRow("180") << 180 << false << false << "YBGR";
        QTest::newRow("-90") << -90 << false << false << "GYRB";
        QTest::newRow("450") << 450 << false << false << "BRYG";
    }
    void transforms()
    {
        QFETCH(int, rot);
        QFETCH(bool, h);
        QFETCH(bool, v);
        QFETCH(QString, seen);
        Page page;
        auto *o = page.component("q", 70, 40, 60, 60);
        o->common->Rot = rot;
        o->common->HFlip = h;
        o->common->VFlip = v;
        const QImage img = renderPage(*page.data, imagesBy({{"q", painted({Qt::red, Qt::green, Qt::blue, Qt::yellow})}}));
        const QHash<QChar, QColor> colours{{'R', Qt::red}, {'G', Qt::green}, {'B', Qt::blue}, {'Y', Qt::yellow}};
        const QPoint probes[] = {{85, 55}, {115, 55}, {85, 85}, {115, 85}};
        for (int i = 0; i < 4; ++i)
            COMPARE_PIXEL(img, probes[i].x(), probes[i].y(), colours.value(seen.at(i)));
        COMPARE_PIXEL(img, 67, 70, Qt::white); // it stays in its own square
        COMPARE_PIXEL(img, 133, 70, Qt::white);
    }

    void stackingOrderAcrossKinds()
    {
        Page page;
        // Listed first but stacked highest: the paper of a text item.
        auto *t = page.add(page.data->textItems, 40, 40, 40, 40, 5);
        t->DrawPaper = true;
        t->BgColor = QStringLiteral("#00FF00");
        page.component("top", 0, 0, 100, 100, 3);
        page.component("bottom", 0, 0, 150, 100, 1);
        // A grouped item stacks with its group's value, not its own.
        auto *grouped = page.component("grouped", 120, 0, 60, 60, 99);
        grouped->common->GroupId = 7;
        grouped->common->GZVAL = 0;
        const QImage img = renderPage(*page.data, imagesBy({{"top", painted({Qt::red})},
                                                           {"bottom", painted({Qt::blue})},
                                                           {"grouped", painted({Qt::yellow})}}));
        COMPARE_PIXEL(img, 60, 60, QColor(0, 255, 0));
        COMPARE_PIXEL(img, 10, 10, Qt::red);
        COMPARE_PIXEL(img, 125, 80, Qt::blue);
        COMPARE_PIXEL(img, 130, 30, Qt::blue);
        COMPARE_PIXEL(img, 170, 30, Qt::yellow);
    }

    void textItem_data()
    {
        QTest::addColumn<QString>("textColour");
        QTest::addColumn<QString>("bgColour");
        QTest::addColumn<bool>("paper");
        QTest::addColumn<QColor>("expectedText");
        QTest::addColumn<QColor>("expectedPaper");
        QTest::newRow("colours") << "#0000FF" << "#FFFF00" << true << QColor(Qt::blue) << QColor(Qt::yellow);
        QTest::newRow("no-paper") << "#0000FF" << "#FFFF00" << false << QColor(Qt::blue) << QColor(Qt::red);
        QTest::newRow("bad-colours") << "not a colour" << "#12" << true << QColor(Qt::black) << QColor(Qt::white);
    }

    void textItem()
    {
        QFETCH(QString, textColour);
        QFETCH(QString, bgColour);
        QFETCH(bool, paper);
        QFETCH(QColor, expectedText);
        QFETCH(QColor, expectedPaper);
        Page page(300, 150);
        page.component("under", 0, 0, 300, 150, 0); // shows whether the paper is drawn
        auto *t = page.add(page.data->textItems, 20, 20, 260, 100, 1);
        t->ItemText = QStringLiteral("MMM");
        t->TextColor = textColour;
        t->BgColor = bgColour;
        t->DrawPaper = paper;
        t->TextPixelSize = 60;
        t->IsBold = true;
        t->Family = QStringLiteral("DejaVu Sans");
        t->Alignment = Qt::AlignRight | Qt::AlignBottom;
        const QImage img = renderPage(*page.data, imagesBy({{"under", painted({Qt::red})}}));
        COMPARE_PIXEL(img, 22, 22, expectedPaper);
        COMPARE_PIXEL(img, 10, 10, Qt::red);
        // Right and bottom aligned: glyphs in the lower right, none top left.
        QVERIFY(countColour(img, QRect(150, 60, 130, 60), expectedText, 10) > 200);
        QCOMPARE(countColour(img, QRect(20, 20, 100, 40), expectedText, 60), 0);
    }

    // A chart's background, and a 10x10 legend swatch per line in the line's
    // colour (red when it does not parse); the second chart shows no legend
    // and, its background not parsing, black.
    void chartLegend()
    {
        Page page(400, 540);
        for (bool legend : {true, false}) {
            auto *c = page.add(page.data->rtChartItems, 20, legend ? 20 : 280, 360, 240);
            c->BgColor = legend ? "#101820" : "bogus";
            c->TxtColor = QStringLiteral("#FFFFFF");
            c->ShowLegend = legend;
            c->TagIDs = {{10, "#00FF00", 0}, {11, "#00FF00", 0}, {12, "nonsense", 0}, {13, "#0000FF", 0}};
        }
        const QImage img = renderPage(*page.data, {});
        COMPARE_PIXEL(img, 24, 24, QColor("#101820"));
        COMPARE_PIXEL(img, 24, 284, Qt::black);
        COMPARE_PIXEL(img, 10, 10, Qt::white);
        const QRect first(20, 20, 360, 240), second(20, 280, 360, 240);
        QCOMPARE((QList<int>{countColour(img, first, Qt::green), countColour(img, first, Qt::red), countColour(img, first, Qt::blue),
                             countColour(img, second, Qt::green) + countColour(img, second, Qt::red) + countColour(img, second, Qt::blue)}),
                 (QList<int>{200, 100, 100, 0}));
        QCOMPARE(inked(img, QRect(0, 262, 400, 16)), 0);
    }

    // A page too large for a picture is drawn whole, scaled down: what lies
    // in its far corner shows in the picture's far corner.
    void largePageScaled()
    {
        Page page(4 * MaxRenderedPageSide, 2 * MaxRenderedPageSide);
        page.component("far", 3 * MaxRenderedPageSide, MaxRenderedPageSide, MaxRenderedPageSide, MaxRenderedPageSide);
        const QImage img = renderPage(*page.data, imagesBy({{"far", painted({Qt::red})}}));
        QCOMPARE(img.size(), QSize(MaxRenderedPageSide, MaxRenderedPageSide / 2));
        const int q = MaxRenderedPageSide / 4;
        QCOMPARE(countColour(img, QRect(3 * q + 2, q + 2, q - 4, q - 4), Qt::red, 8), (q - 4) * (q - 4));
        QCOMPARE(countColour(img, QRect(0, 0, 3 * q - 2, 2 * q), Qt::red, 60), 0);
        // The outline of an item is given in the picture's pixels too.
        QCOMPARE(itemOutline(*page.data->scadaObjects.first()->common, page.data->pageProperties).boundingRect(),
                 QRectF(3 * q, q, q, q));
    }

    void outline_data()
    {
        QTest::addColumn<int>("rot");
        QTest::addColumn<bool>("flip");
        QTest::addColumn<QRectF>("bounds");
        QTest::newRow("plain") << 0 << false << QRectF(20, 40, 100, 20);
        QTest::newRow("mirrored") << 0 << true << QRectF(20, 40, 100, 20);
        QTest::newRow("quarter turn") << 90 << false << QRectF(60, 0, 20, 100);
        QTest::newRow("three quarters") << -90 << true << QRectF(60, 0, 20, 100);
    }
    void outline()
    {
        QFETCH(int, rot);
        QFETCH(bool, flip);
        Page page(200, 150);
        auto *o = page.component("c", 20, 40, 100, 20);
        o->common->Rot = rot;
        o->common->HFlip = flip;
        const QPolygonF outline = itemOutline(*o->common, page.data->pageProperties);
        QCOMPARE(outline.size(), 4);
        QRectF bounds = outline.boundingRect();
        bounds = QRectF(qRound(bounds.x()), qRound(bounds.y()), qRound(bounds.width()), qRound(bounds.height()));
        QTEST(bounds, "bounds");
    }

    void labelText_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("shown");
        QTest::newRow("value") << "%.1f" << "---";
        QTest::newRow("around") << "Level %.2f m" << "Level --- m";
        QTest::newRow("percent sign") << "100%%" << "100%";
        QTest::newRow("value and percent") << "%d%%" << "---%";
        QTest::newRow("two values") << "%5.2lf / %-3i" << "--- / ---";
        QTest::newRow("text") << "%s" << "---";
        QTest::newRow("no conversion") << "% trail" << "% trail";
        QTest::newRow("cut off") << "at 100%" << "at 100%";
        QTest::newRow("plain") << "Pump" << "Pump";
        QTest::newRow("empty") << "" << "";
    }
    void labelText()
    {
        QFETCH(QString, pattern);
        QTEST(componentLabelText(pattern), "shown");
    }

    // A component's value label at its offset, in its style sheet's colour;
    // an empty pattern draws none.
    void componentLabel_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("style");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("styled") << "MM %.1f" << "font: 30px \"DejaVu Sans\"; color: #FF0000;" << QColor(Qt::red);
        QTest::newRow("unstyled") << "MM %.1f" << "" << QColor(Qt::black);
        QTest::newRow("none") << "" << "color: #FF0000;" << QColor();
    }
    void componentLabel()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, style);
        QFETCH(QColor, colour);
        Page page(300, 200);
        auto *o = page.component("none", 40, 20, 60, 40);
        o->labelText = pattern;
        o->labelStyleSheet = style;
        o->lofx = 10;
        o->lofy = 90; // below the item, outside its rectangle
        o->common->Name = QStringLiteral(" ");
        const QImage img = renderPage(*page.data, {});
        const QRect below(40, 100, 260, 100);
        if (colour.isValid())
            QVERIFY(countColour(img, below, colour, 40) > 30);
        QCOMPARE(inked(img, below) > 0, colour.isValid());
        QCOMPARE(inked(img, QRect(0, 100, 49, 100)), 0); // it starts at its offset
    }

    // The background image fills the whole page under every item.
    void backgroundImage()
    {
        Page page(200, 100);
        page.component("item", 80, 30, 40, 40);
        const QImage background = painted({Qt::blue, Qt::green}, 10, 10);
        const QImage img = renderPage(*page.data, imagesBy({{"item", painted({Qt::red})}}), {}, background);
        COMPARE_PIXEL(img, 1, 1, Qt::blue);
        COMPARE_PIXEL(img, 1, 98, Qt::blue);
        COMPARE_PIXEL(img, 198, 1, Qt::green);
        COMPARE_PIXEL(img, 198, 98, Qt::green);
        COMPARE_PIXEL(img, 100, 50, Qt::red);
        COMPARE_PIXEL(renderPage(*page.data, {}), 5, 5, pageBackgroundColour());
    }

    // Items past the page edges are cut; extreme, empty and negative geometry
    // and records without their common data draw nothing and break nothing.
    void hostileGeometry()
    {
        Page page(120, 90);
        page.component("red", -50, -50, 100, 100);
        page.component("blue", 1000, 1000, 50, 50);
        page.component("blue", 10, 90, 50, 50);
        page.component("blue", 10, 10, 0, 50, 5);
        page.component("blue", 10, 10, -40, 50, 5);
        page.component("huge", INT_MIN, INT_MIN, INT_MAX, INT_MAX, -5);
        auto *table = page.add(page.data->tableItems, 0, 0, INT_MAX, INT_MAX, -4);
        table->columnWidths = {INT_MAX, -5, INT_MIN};
        table->rows = {{"a", "b", "c"}};
        auto *text = page.add(page.data->textItems, 0, 0, 120, 90, -3);
        text->ItemText = QStringLiteral("big");
        text->TextPixelSize = INT_MAX;
        text->common->Rot = INT_MIN;
        auto *bare = new ScadaObjectLoadData_t;
        bare->componentUid = QStringLiteral("blue");
        page.data->scadaObjects << bare;
        page.data->tableItems << new TableItemLoadData_t;
        const QImage img = renderPage(*page.data, imagesBy({{"red", painted({Qt::red})},
                                                           {"blue", painted({Qt::blue})},
                                                           {"huge", painted({Qt::gray})}}));
        QCOMPARE(img.size(), QSize(120, 90));
        COMPARE_PIXEL(img, 0, 0, Qt::red);
        COMPARE_PIXEL(img, 48, 48, Qt::red);
        QCOMPARE(countColour(img, img.rect(), Qt::blue, 60), 0);
    }
};

QTEST_MAIN(tst_PageRenderer)
#include "tst_pagerenderer.moc"
