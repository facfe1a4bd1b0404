#include <zadururu/library/scadaEngine.h>

#include <QApplication>
#include <QDomDocument>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <signal.h>
#include <sys/resource.h>

// ---------------------------------------------------------------------------
// Helpers shared by the child scenarios.

static QStringList g_debugMessages;

static void captureMessages(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtDebugMsg)
        g_debugMessages << text;
    else
        fprintf(stderr, "%s\n", qPrintable(text));
}

static bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

static QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// One object element of a library file; @p children are written as they come.
static QByteArray objectXml(const QString &name, const QList<QPair<QString, QString>> &children)
{
    QByteArray xml = "<object name=\"" + name.toUtf8() + "\">";
    for (const auto &child : children)
        xml += "<" + child.first.toUtf8() + ">" + child.second.toUtf8() + "</" + child.first.toUtf8() + ">";
    return xml + "</object>\n";
}

static QByteArray libraryXml(const QByteArray &objects)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<scadaObjectTypes>\n" + objects + "</scadaObjectTypes>\n";
}

// Records what every confirmation box said; closes each box, and any other
// modal window, from a single-shot timer re-armed while an add runs.
struct BoxWatch
{
    bool active = false;
    QStringList texts;
    QStringList titles;
    QList<int> icons;
    QList<int> buttons;
    int otherWindows = 0;
};
static BoxWatch g_boxes;

static void armBoxCloser()
{
    QTimer::singleShot(5, [] {
        if (!g_boxes.active)
            return;
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            g_boxes.texts << box->text();
            g_boxes.titles << box->windowTitle();
            g_boxes.icons << int(box->icon());
            g_boxes.buttons << int(box->standardButtons());
            box->done(QMessageBox::Ok);
        } else if (modal) {
            ++g_boxes.otherWindows;
            modal->close();
        }
        armBoxCloser();
    });
}

// Adds @p object and returns the texts of the boxes shown meanwhile.
static QStringList addClosingBoxes(ScadaLibObject *object)
{
    g_boxes = BoxWatch();
    g_boxes.active = true;
    armBoxCloser();
    ScadaEngine::instance()->addUserObject(object);
    g_boxes.active = false;
    return g_boxes.texts;
}

static ScadaLibObject *userObject(const QString &name, const QString &category, const QStringList &images = {})
{
    auto *object = new ScadaLibObject;
    object->name = name;
    object->objectCategory = category;
    object->images = images;
    return object;
}

static QStringList namesOf(const QList<ScadaLibObject *> &list)
{
    QStringList names;
    for (const ScadaLibObject *object : list)
        names << object->name;
    return names;
}

// The sandbox root seen from a child: <root>/app/bin/<program>.
static QString sandboxRoot()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../..");
}

static QString userLibraryFile()
{
    return QDir::homePath() + "/Korvela/userlib.xml";
}

// ---------------------------------------------------------------------------
// Reader cases: one child process with an empty HOME and no component
// library; every case looks at what its own readLibDir call added.

class ReaderCases : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    ScadaEngine *m_engine = nullptr;

    QString file(const QString &relative, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(relative);
        if (!writeFile(path, bytes))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // Reads @p path and returns the records it added to either list.
    QList<ScadaLibObject *> read(const QString &path, bool *result = nullptr, bool *toLibrary = nullptr)
    {
        const int libBefore = m_engine->getLibraryObjectList().size();
        const int userBefore = m_engine->getUserObjectList().size();
        const bool ok = m_engine->readLibDir(path);
        if (result)
            *result = ok;
        const QList<ScadaLibObject *> lib = m_engine->getLibraryObjectList().mid(libBefore);
        const QList<ScadaLibObject *> user = m_engine->getUserObjectList().mid(userBefore);
        if (toLibrary)
            *toLibrary = !lib.isEmpty();
        return lib + user;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        g_debugMessages.clear();
        qInstallMessageHandler(captureMessages);
        m_engine = ScadaEngine::instance();
        QVERIFY(m_engine->getLibObjects()->isEmpty());
        QCOMPARE(g_debugMessages, QStringList() << "dosya acilamadi" << "dosya acilamadi");
        g_debugMessages.clear();
    }

    void fullRecords()
    {
        const int idsBefore = m_engine->getUsedIds().size();
        bool ok = false;
        bool toLibrary = false;
        const QList<ScadaLibObject *> records = read(QFINDTESTDATA("testdata/objlib.xml"), &ok, &toLibrary);
        QVERIFY(ok);
        QVERIFY(toLibrary);
        QCOMPARE(records.size(), 2);

        const ScadaLibObject *pump = records.at(0);
        QCOMPARE(pump->name, QString("Pump A"));
        QCOMPARE(pump->objectCategory, QString("Pumps"));
        QCOMPARE(pump->objectUID, 4);
        QCOMPARE(pump->objectType, 2);
        QCOMPARE(pump->rtuID, 11);
        QCOMPARE(pump->registerID, 40001);
        QCOMPARE(pump->width, 64);
        QCOMPARE(pump->height, 48);
        QCOMPARE(pump->lofX, -3);
        QCOMPARE(pump->lofY, 7);
        QCOMPARE(pump->m_val, 2.0f);
        QCOMPARE(pump->a_val, -15.0f);
        QCOMPARE(pump->images, QList<QString>() << "images/pump_off.png" << "images/pump_on.png");
        QCOMPARE(pump->isUserObject, false);

        // Children in any order, CDATA text, absent elements read as 0.
        const ScadaLibObject *tank = records.at(1);
        QCOMPARE(tank->name, QString("Tank"));
        QCOMPARE(tank->objectCategory, QString("Water & <Storage>"));
        QCOMPARE(tank->objectUID, 9);
        QCOMPARE(tank->a_val, 3.0f);
        QCOMPARE(tank->m_val, 0.0f);
        QCOMPARE(tank->width, 0);
        QCOMPARE(tank->rtuID, 0);
        QCOMPARE(tank->images, QList<QString>() << "images/tank.png");

        // The "thing" element's id is not read.
        QCOMPARE(m_engine->getUsedIds().mid(idsBefore), QList<int>() << 4 << 9);
        QVERIFY(g_debugMessages.isEmpty());
        // readLibDir leaves the combined list alone.
        QVERIFY(m_engine->getLibObjects()->isEmpty());
    }

    void declaredEncoding()
    {
        const QList<ScadaLibObject *> records = read(QFINDTESTDATA("testdata/latin1.xml"));
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.at(0)->name, QString::fromUtf8("K\xc3\xbc" "bel"));
        QCOMPARE(records.at(0)->objectCategory, QString::fromUtf8("Gr\xc3\xbcn"));
    }

    void integerTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << "2" << 2;
        QTest::newRow("negative") << "-3" << -3;
        QTest::newRow("plus sign") << "+4" << 4;
        QTest::newRow("leading zeros") << "007" << 7;
        QTest::newRow("fraction") << "2.5" << 0;
        QTest::newRow("zero fraction") << "2.0" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("letters") << "abc" << 0;
        QTest::newRow("trailing letters") << "12abc" << 0;
        QTest::newRow("hexadecimal") << "0x10" << 0;
        QTest::newRow("exponent") << "1e3" << 0;
        QTest::newRow("too large") << "99999999999" << 0;
    }

    void integerTexts()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QList<QPair<QString, QString>> children;
        for (const char *tag : {"objectUID", "objectType", "rtuID", "registerID", "width", "height", "lofX", "lofY",
                                "m_val", "a_val"})
            children << qMakePair(QString(tag), text);
        const QString path = file(QString("int-%1.xml").arg(QTest::currentDataTag()),
                                  libraryXml(objectXml("n", children)));
        const QList<ScadaLibObject *> records = read(path);
        QCOMPARE(records.size(), 1);
        const ScadaLibObject *o = records.at(0);
        QCOMPARE(o->objectUID, expected);
        QCOMPARE(o->objectType, expected);
        QCOMPARE(o->rtuID, expected);
        QCOMPARE(o->registerID, expected);
        QCOMPARE(o->width, expected);
        QCOMPARE(o->height, expected);
        QCOMPARE(o->lofX, expected);
        QCOMPARE(o->lofY, expected);
        QCOMPARE(o->m_val, float(expected));
        QCOMPARE(o->a_val, float(expected));
        QCOMPARE(m_engine->getUsedIds().last(), expected);
    }

    void images_data()
    {
        QTest::addColumn<QByteArray>("children");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("none") << QByteArray() << QStringList();
        QTest::newRow("two") << QByteArray("<image1>a.png</image1><image2>b.png</image2>")
                             << QStringList({"images/a.png", "images/b.png"});
        QTest::newRow("gap after the first") << QByteArray("<image1>a.png</image1><image3>c.png</image3>")
                                             << QStringList({"images/a.png"});
        QTest::newRow("no first") << QByteArray("<image2>b.png</image2>") << QStringList();
        QTest::newRow("index order, not document order")
            << QByteArray("<image2>b.png</image2><image1>a.png</image1>")
            << QStringList({"images/a.png", "images/b.png"});
        QTest::newRow("first of a repeated index") << QByteArray("<image1>a.png</image1><image1>z.png</image1>")
                                                   << QStringList({"images/a.png"});
        QTest::newRow("empty text") << QByteArray("<image1/>") << QStringList({"images/"});
        QTest::newRow("image0 is not an index") << QByteArray("<image0>z.png</image0>") << QStringList();
        QTest::newRow("zero-padded index") << QByteArray("<image01>z.png</image01>") << QStringList();
    }

    void images()
    {
        QFETCH(QByteArray, children);
        QFETCH(QStringList, expected);
        const QString path = file(QString("img-%1.xml").arg(QTest::currentDataTag()),
                                  libraryXml("<object name=\"i\">" + children + "</object>"));
        const QList<ScadaLibObject *> records = read(path);
        QCOMPARE(records.size(), 1);
        QCOMPARE(QStringList(records.at(0)->images), expected);
    }

    void cannotOpen_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing file") << m_dir.filePath("nothing-here/objlib.xml");
        QTest::newRow("a directory") << m_dir.path();
    }

    void cannotOpen()
    {
        QFETCH(QString, path);
        const int ids = m_engine->getUsedIds().size();
        g_debugMessages.clear();
        bool ok = true;
        QVERIFY(read(path, &ok).isEmpty());
        QVERIFY(!ok);
        QCOMPARE(g_debugMessages, QStringList() << "dosya acilamadi");
        QCOMPARE(m_engine->getUsedIds().size(), ids);
    }

    void malformed()
    {
        const QDir dir(QFINDTESTDATA("testdata/malformed"));
        const QStringList files = dir.entryList(QDir::Files);
        QVERIFY(files.size() >= 5);
        for (const QString &name : files) {
            const int ids = m_engine->getUsedIds().size();
            g_debugMessages.clear();
            bool ok = true;
            QVERIFY2(read(dir.filePath(name), &ok).isEmpty(), qPrintable(name));
            QVERIFY2(!ok, qPrintable(name));
            QVERIFY2(g_debugMessages.isEmpty(), qPrintable(name + ": " + g_debugMessages.join('|')));
            QCOMPARE(m_engine->getUsedIds().size(), ids);
        }
    }

    void documentsWithoutObjects_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::newRow("empty root") << QByteArray("<scadaObjectTypes/>");
        QTest::newRow("other elements only")
            << QByteArray("<scadaObjectTypes><objects name=\"a\"><objectUID>3</objectUID></objects>text</scadaObjectTypes>");
        QTest::newRow("object below another element")
            << QByteArray("<scadaObjectTypes><group><object name=\"a\"><objectUID>3</objectUID></object></group></scadaObjectTypes>");
        QTest::newRow("root is the object") << QByteArray("<object name=\"a\"><objectUID>3</objectUID></object>");
    }

    void documentsWithoutObjects()
    {
        QFETCH(QByteArray, xml);
        const int ids = m_engine->getUsedIds().size();
        bool ok = false;
        QVERIFY(read(file(QString("none-%1.xml").arg(QTest::currentDataTag()), xml), &ok).isEmpty());
        QVERIFY(ok);
        QCOMPARE(m_engine->getUsedIds().size(), ids);
    }

    void anyRootAndStrayContent()
    {
        const QByteArray xml = "<anything>lead<object><objectUID>1</objectUID></object>"
                               "<other name=\"x\"/>between<object name=\"\"/><object name=\"b\" extra=\"1\"/>tail"
                               "</anything>";
        const QList<ScadaLibObject *> records = read(file("stray.xml", xml));
        QCOMPARE(namesOf(records), QStringList({"", "", "b"}));
        QCOMPARE(records.at(0)->objectUID, 1);
        QCOMPARE(records.at(1)->objectCategory, QString());
    }

    void listByPath_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<bool>("toLibrary");
        QTest::newRow("component library file") << "a/objlib.xml" << true;
        QTest::newRow("user library file") << "a/userlib.xml" << false;
        QTest::newRow("in a directory named so") << "objlib.xml.d/parts.xml" << true;
        QTest::newRow("name ending so") << "a/myobjlib.xml" << true;
        QTest::newRow("other case") << "a/OBJLIB.XML" << false;
        QTest::newRow("other name") << "a/objlib.xm" << false;
    }

    void listByPath()
    {
        QFETCH(QString, relative);
        QFETCH(bool, toLibrary);
        const QString path = file(relative, libraryXml(objectXml("p", {{"objectUID", "1"}})));
        bool inLibrary = !toLibrary;
        const QList<ScadaLibObject *> records = read(path, nullptr, &inLibrary);
        QCOMPARE(records.size(), 1);
        QCOMPARE(inLibrary, toLibrary);
        QCOMPARE(records.at(0)->isUserObject, !toLibrary);
    }

    // A file as the engine writes it carries name, category, id and images
    // only; everything else reads back as 0.
    void userFileFields()
    {
        const QByteArray xml = libraryXml(objectXml("U", {{"objectCategory", "Mine"}, {"objectUID", "12"},
                                                          {"image1", "u.png"}}));
        const QList<ScadaLibObject *> records = read(file("home/userlib.xml", xml));
        QCOMPARE(records.size(), 1);
        const ScadaLibObject *o = records.at(0);
        QCOMPARE(o->isUserObject, true);
        QCOMPARE(o->objectUID, 12);
        QCOMPARE(o->images, QList<QString>() << "images/u.png");
        QCOMPARE(o->objectType + o->rtuID + o->registerID + o->width + o->height + o->lofX + o->lofY, 0);
        QCOMPARE(o->m_val, 0.0f);
        QCOMPARE(o->a_val, 0.0f);
    }
};

// ---------------------------------------------------------------------------
// Engine scenarios: each runs alone in a child process whose sandbox the
// parent laid out beforehand (see tst_ScadaEngine below).

class EngineScenarios : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        g_debugMessages.clear();
        qInstallMessageHandler(captureMessages);
    }

    // No library files and no Korvela folder.
    void startupEmpty()
    {
        QVERIFY(!QFileInfo::exists(QDir::homePath() + "/Korvela"));
        ScadaEngine *engine = ScadaEngine::instance();
        QCOMPARE(ScadaEngine::instance(), engine);
        QCOMPARE(engine->getLibPath(), QDir::toNativeSeparators(sandboxRoot() + "/app") + "/scdLib/");
        QCOMPARE(engine->getUserLibPath(), QDir::homePath() + "/Korvela/");
        QCOMPARE(engine->getUserImagePath(), QDir::homePath() + "/Korvela/images/");
        QVERIFY(engine->getLibObjects()->isEmpty());
        QVERIFY(QFileInfo(QDir::homePath() + "/Korvela/images").isDir());
        // Nothing is written at start-up.
        QVERIFY(!QFileInfo::exists(userLibraryFile()));
        QCOMPARE(QDir(QDir::homePath() + "/Korvela/images").entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());

        ScadaLibObject *tank = userObject("Tank", "Water");
        QCOMPARE(addClosingBoxes(tank), QStringList() << "Object Tank is succesfully added under Water category");
        QCOMPARE(g_boxes.titles, QStringList() << QString());
        QCOMPARE(g_boxes.icons, QList<int>() << int(QMessageBox::NoIcon));
        QCOMPARE(g_boxes.buttons, QList<int>() << int(QMessageBox::Ok));
        QCOMPARE(g_boxes.otherWindows, 0);
        QCOMPARE(tank->objectUID, 0);
        QCOMPARE(*engine->getLibObjects(), QList<ScadaLibObject *>() << tank);
        QCOMPARE(engine->getUserObjectList(), QList<ScadaLibObject *>() << tank);
        QCOMPARE(engine->chooseaUID(), 1);
        QCOMPARE(engine->getUsedIds(), QList<int>() << 0 << 1);
    }

    // objlib.xml: A(0), B(1), C(5); userlib.xml: U(2).
    void startupReadsBoth()
    {
        ScadaEngine *engine = ScadaEngine::instance();
        QVERIFY(g_debugMessages.isEmpty());
        QCOMPARE(namesOf(engine->getLibraryObjectList()), QStringList({"A", "B", "C"}));
        QCOMPARE(namesOf(engine->getUserObjectList()), QStringList({"U"}));
        QCOMPARE(namesOf(*engine->getLibObjects()), QStringList({"A", "B", "C", "U"}));
        QCOMPARE(engine->getLibObjects()->at(0)->isUserObject, false);
        QCOMPARE(engine->getLibObjects()->at(3)->isUserObject, true);
        QCOMPARE(engine->getUsedIds(), QList<int>({0, 1, 5, 2}));

        const QString source = sandboxRoot() + "/pictures/n.png";
        QVERIFY(writeFile(source, "png bytes"));
        QList<ScadaLibObject *> added;
        for (const char *name : {"N3", "N4", "N6"}) {
            ScadaLibObject *object = userObject(name, "Cat", {source, "elsewhere/second.png"});
            added << object;
            QCOMPARE(addClosingBoxes(object),
                     QStringList() << QString("Object %1 is succesfully added under Cat category").arg(name));
            QCOMPARE(namesOf(*engine->getLibObjects()),
                     namesOf(engine->getLibraryObjectList()) + namesOf(engine->getUserObjectList()));
        }
        QCOMPARE(added.at(0)->objectUID, 3);
        QCOMPARE(added.at(1)->objectUID, 4);
        QCOMPARE(added.at(2)->objectUID, 6);
        QCOMPARE(namesOf(*engine->getLibObjects()), QStringList({"A", "B", "C", "U", "N3", "N4", "N6"}));

        // The bytes on disk, through a reader of their own.
        const QByteArray bytes = readFile(userLibraryFile());
        QVERIFY2(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<scadaObjectTypes>\n    <object name=\"U\">\n"
                                  "        <objectCategory>"),
                 bytes.constData());
        QDomDocument document;
        QString error;
        int line = 0;
        int column = 0;
        QVERIFY2(document.setContent(bytes, &error, &line, &column),
                 qPrintable(QString("%1 at %2:%3").arg(error).arg(line).arg(column)));
        const QDomElement root = document.documentElement();
        QCOMPARE(root.tagName(), QString("scadaObjectTypes"));
        struct Expected { QString name, category, id; QStringList images; };
        const QList<Expected> expected = {
            {"U", "Mine", "2", {"u.png"}},
            {"N3", "Cat", "3", {"n.png", "second.png"}},
            {"N4", "Cat", "4", {"n.png", "second.png"}},
            {"N6", "Cat", "6", {"n.png", "second.png"}},
        };
        QDomElement object = root.firstChildElement();
        for (const Expected &e : expected) {
            QVERIFY(!object.isNull());
            QCOMPARE(object.tagName(), QString("object"));
            QCOMPARE(object.attributes().count(), 1);
            QCOMPARE(object.attribute("name"), e.name);
            QStringList tags;
            QStringList texts;
            for (QDomElement child = object.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
                tags << child.tagName();
                texts << child.text();
            }
            QStringList expectedTags = {"objectCategory", "objectUID"};
            for (int i = 0; i < e.images.size(); ++i)
                expectedTags << QString("image%1").arg(i + 1);
            QCOMPARE(tags, expectedTags);
            QCOMPARE(texts, QStringList({e.category, e.id}) + e.images);
            object = object.nextSiblingElement();
        }
        QVERIFY(object.isNull());

        // Reading the file back gives the same components.
        const QString copy = sandboxRoot() + "/readback/userlib.xml";
        QVERIFY(writeFile(copy, bytes));
        const int before = engine->getUserObjectList().size();
        QVERIFY(engine->readLibDir(copy));
        const QList<ScadaLibObject *> back = engine->getUserObjectList().mid(before);
        const QList<ScadaLibObject *> users = engine->getUserObjectList().mid(0, before);
        QCOMPARE(back.size(), users.size());
        for (int i = 0; i < back.size(); ++i) {
            QCOMPARE(back.at(i)->name, users.at(i)->name);
            QCOMPARE(back.at(i)->objectCategory, users.at(i)->objectCategory);
            QCOMPARE(back.at(i)->objectUID, users.at(i)->objectUID);
            QCOMPARE(back.at(i)->images, users.at(i)->images);
        }
        QVERIFY(g_debugMessages.isEmpty());
    }

    // objlib.xml ids: 0, 0, 3, 3, -2.
    void duplicateAndZeroIds()
    {
        ScadaEngine *engine = ScadaEngine::instance();
        QCOMPARE(engine->getUsedIds(), QList<int>({0, 0, 3, 3, -2}));
        QCOMPARE(engine->getLibObjects()->size(), 5);
        QCOMPARE(engine->chooseaUID(), 1);
        QCOMPARE(engine->chooseaUID(), 2);
        QCOMPARE(engine->chooseaUID(), 4);
        QCOMPARE(engine->chooseaUID(), 5);
        QCOMPARE(engine->getUsedIds(), QList<int>({0, 0, 3, 3, -2, 1, 2, 4, 5}));
    }

    // Many components: every id handed out is the smallest free one.
    void manyIds()
    {
        ScadaEngine *engine = ScadaEngine::instance();
        // objlib.xml holds the even ids 0..9998.
        QCOMPARE(engine->getUsedIds().size(), 5000);
        for (int i = 0; i < 5000; ++i)
            QCOMPARE(engine->chooseaUID(), 2 * i + 1);
        QCOMPARE(engine->chooseaUID(), 10000);
    }

    // Korvela/images holds old.png ("old"), stale.png and kept.png ("kept");
    // <root>/pictures holds old.png ("new") and pic.png ("pic").
    void imageCopy()
    {
        ScadaEngine *engine = ScadaEngine::instance();
        const QString images = engine->getUserImagePath();
        const QString pictures = sandboxRoot() + "/pictures/";
        ScadaLibObject *object = userObject("Valve", "Parts", {
            pictures + "old.png",
            pictures + "pic.png",
            "nowhere/missing.png",
            "nowhere/stale.png",
            images + "kept.png",
            QDir::homePath() + "/Korvela/./images/kept.png",
        });
        QCOMPARE(addClosingBoxes(object).size(), 1);
        QCOMPARE(object->images, QList<QString>({"images/old.png", "images/pic.png", "images/missing.png",
                                                 "images/stale.png", "images/kept.png", "images/kept.png"}));
        QCOMPARE(readFile(images + "old.png"), QByteArray("new"));
        QCOMPARE(readFile(images + "pic.png"), QByteArray("pic"));
        QCOMPARE(readFile(images + "kept.png"), QByteArray("kept"));
        QVERIFY(!QFileInfo::exists(images + "missing.png"));
        // A missing source still clears an older file of that name.
        QVERIFY(!QFileInfo::exists(images + "stale.png"));
        // Sources are copied, not moved.
        QCOMPARE(readFile(pictures + "old.png"), QByteArray("new"));
        QCOMPARE(readFile(pictures + "pic.png"), QByteArray("pic"));
    }

    // Korvela/userlib.xml is a directory.
    void userLibraryIsDirectory()
    {
        ScadaEngine *engine = ScadaEngine::instance();
        // No component library file, and a user library that is no file.
        QCOMPARE(g_debugMessages, QStringList() << "dosya acilamadi" << "dosya acilamadi");
        g_debugMessages.clear();
        const QString source = sandboxRoot() + "/pictures/pic.png";
        QVERIFY(writeFile(source, "pic"));
        ScadaLibObject *object = userObject("Motor", "Drives", {source});
        QCOMPARE(addClosingBoxes(object), QStringList() << "Object Motor is succesfully added under Drives category");
        QCOMPARE(g_debugMessages, QStringList() << "dosya acilamadi");
        QCOMPARE(object->objectUID, 0);
        QCOMPARE(object->images, QList<QString>() << "images/pic.png");
        QCOMPARE(*engine->getLibObjects(), QList<ScadaLibObject *>() << object);
        QVERIFY(QFileInfo(userLibraryFile()).isDir());
        QCOMPARE(readFile(engine->getUserImagePath() + "pic.png"), QByteArray("pic"));
        QVERIFY(!engine->saveUserLibraryFile(engine->getUserObjectList()));
    }

    // HOME is a regular file: nothing below it can be read or created.
    void homeIsRegularFile()
    {
        ScadaEngine *engine = ScadaEngine::instance();
        QCOMPARE(g_debugMessages, QStringList() << "dosya acilamadi" << "dosya acilamadi");
        g_debugMessages.clear();
        QVERIFY(engine->getLibObjects()->isEmpty());
        ScadaLibObject *object = userObject("Pipe", "Lines", {sandboxRoot() + "/pictures/pic.png"});
        QCOMPARE(addClosingBoxes(object), QStringList() << "Object Pipe is succesfully added under Lines category");
        QCOMPARE(g_debugMessages, QStringList() << "dosya acilamadi");
        QCOMPARE(object->objectUID, 0);
        QCOMPARE(object->images, QList<QString>() << "images/pic.png");
        QCOMPARE(engine->getUserObjectList(), QList<ScadaLibObject *>() << object);
        QVERIFY(QFileInfo(QDir::homePath()).isFile());
    }

    // Korvela/userlib.xml holds one component; files may not grow past 4 KiB.
    void writeFailure()
    {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit;
        limit.rlim_cur = limit.rlim_max = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);

        ScadaEngine *engine = ScadaEngine::instance();
        g_debugMessages.clear(); // no component library file
        QCOMPARE(namesOf(engine->getUserObjectList()), QStringList({"Old"}));
        // Below the limit a save works.
        QVERIFY(engine->saveUserLibraryFile(engine->getUserObjectList()));
        const QByteArray old = readFile(userLibraryFile());
        QVERIFY(old.contains("<object name=\"Old\">"));

        ScadaLibObject big;
        big.name = QString(8000, QChar('x'));
        const bool saved = engine->saveUserLibraryFile({engine->getUserObjectList().at(0), &big});
        QVERIFY(!saved);
        QCOMPARE(g_debugMessages, QStringList() << "dosya acilamadi");
        QCOMPARE(readFile(userLibraryFile()), old);

        ScadaLibObject *added = userObject(QString(8000, QChar('y')), "Big");
        QCOMPARE(addClosingBoxes(added).size(), 1);
        QCOMPARE(added->objectUID, 1);
        QCOMPARE(readFile(userLibraryFile()), old);
        QCOMPARE(engine->getUserObjectList().size(), 2);
        // No temporary file is left beside the library file.
        QCOMPARE(QDir(engine->getUserLibPath()).entryList(QDir::Files), QStringList() << "userlib.xml");
    }

    void confirmationText()
    {
        // The text is looked up under the engine's own context.
        struct Translator : QTranslator
        {
            QString translate(const char *context, const char *source, const char *, int) const override
            {
                if (QByteArray(context) == "ScadaEngine"
                    && QByteArray(source) == "Object %1 is succesfully added under %2 category")
                    return QStringLiteral("Nesne %1, %2 kategorisine eklendi");
                return QString();
            }
            bool isEmpty() const override { return false; }
        } translator;
        QCoreApplication::installTranslator(&translator);

        // Markers in the name are not substituted again.
        ScadaLibObject *object = userObject("50%2", "Tanks");
        QCOMPARE(addClosingBoxes(object), QStringList() << "Nesne 50%2, Tanks kategorisine eklendi");
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(addClosingBoxes(userObject("Tank", "Water")),
                 QStringList() << "Object Tank is succesfully added under Water category");
        ScadaEngine::instance()->addUserObject(nullptr); // ignored
        QCOMPARE(ScadaEngine::instance()->getUserObjectList().size(), 2);
    }
};

// ---------------------------------------------------------------------------
// The parent: lays out a sandbox per scenario and runs it in a child.

class tst_ScadaEngine : public QObject
{
    Q_OBJECT

    QScopedPointer<QTemporaryDir> m_dir;
    QString m_root;
    QString m_home;

    void prepare()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        m_root = m_dir->path();
        m_home = m_root + "/home";
        QVERIFY(QDir().mkpath(m_root + "/app/bin"));
        QVERIFY(QDir().mkpath(m_root + "/app/scdLib"));
        QVERIFY(QDir().mkpath(m_home));
        // The copy finds libzadururu through the build tree's absolute run path.
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), m_root + "/app/bin/tst_scadaEngine"));
    }

    void runChild(const QStringList &arguments)
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_home);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(env);
        child.setWorkingDirectory(m_root);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(m_root + "/app/bin/tst_scadaEngine", arguments);
        QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
        if (!child.waitForFinished(120000)) {
            child.kill();
            child.waitForFinished();
            QFAIL(qPrintable("child did not finish: " + QString::fromLocal8Bit(child.readAll())));
        }
        const QString output = QString::fromLocal8Bit(child.readAll());
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(output));
    }

    void runScenario(const char *function)
    {
        runChild({"--engine", QString::fromLatin1(function)});
    }

private slots:
    void init() { prepare(); }

    void readerCases() { runChild({"--reader"}); }

    void startupEmpty() { runScenario("startupEmpty"); }

    void startupReadsBoth()
    {
        QVERIFY(writeFile(m_root + "/app/scdLib/objlib.xml",
                          libraryXml(objectXml("A", {{"objectUID", "0"}}) + objectXml("B", {{"objectUID", "1"}})
                                     + objectXml("C", {{"objectUID", "5"}}))));
        QVERIFY(writeFile(m_home + "/Korvela/userlib.xml",
                          libraryXml(objectXml("U", {{"objectCategory", "Mine"}, {"objectUID", "2"},
                                                     {"image1", "u.png"}}))));
        runScenario("startupReadsBoth");
    }

    void duplicateAndZeroIds()
    {
        QByteArray objects;
        for (const char *id : {"0", "0", "3", "3", "-2"})
            objects += objectXml("d", {{"objectUID", id}});
        QVERIFY(writeFile(m_root + "/app/scdLib/objlib.xml", libraryXml(objects)));
        runScenario("duplicateAndZeroIds");
    }

    void manyIds()
    {
        QByteArray objects;
        for (int id = 0; id < 10000; id += 2)
            objects += objectXml("m", {{"objectUID", QString::number(id)}});
        QVERIFY(writeFile(m_root + "/app/scdLib/objlib.xml", libraryXml(objects)));
        runScenario("manyIds");
    }

    void imageCopy()
    {
        QVERIFY(writeFile(m_home + "/Korvela/images/old.png", "old"));
        QVERIFY(writeFile(m_home + "/Korvela/images/stale.png", "stale"));
        QVERIFY(writeFile(m_home + "/Korvela/images/kept.png", "kept"));
        QVERIFY(writeFile(m_root + "/pictures/old.png", "new"));
        QVERIFY(writeFile(m_root + "/pictures/pic.png", "pic"));
        runScenario("imageCopy");
    }

    void userLibraryIsDirectory()
    {
        QVERIFY(QDir().mkpath(m_home + "/Korvela/userlib.xml"));
        runScenario("userLibraryIsDirectory");
    }

    void homeIsRegularFile()
    {
        QVERIFY(QDir(m_home).removeRecursively());
        QVERIFY(writeFile(m_home, "not a folder"));
        QVERIFY(writeFile(m_root + "/pictures/pic.png", "pic"));
        runScenario("homeIsRegularFile");
        QCOMPARE(readFile(m_home), QByteArray("not a folder"));
    }

    void writeFailure()
    {
        QVERIFY(writeFile(m_home + "/Korvela/userlib.xml",
                          libraryXml(objectXml("Old", {{"objectCategory", "Kept"}, {"objectUID", "0"}}))));
        runScenario("writeFailure");
    }

    void confirmationText() { runScenario("confirmationText"); }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 2 && args.at(1) == "--reader") {
        ReaderCases cases;
        return QTest::qExec(&cases, QStringList() << args.at(0));
    }
    if (args.size() >= 3 && args.at(1) == "--engine") {
        EngineScenarios scenarios;
        return QTest::qExec(&scenarios, QStringList() << args.at(0) << args.at(2));
    }
    tst_ScadaEngine test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_scadaEngine.moc"
