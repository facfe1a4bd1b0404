#include "../common/files.h"
#include "../common/killedSave.h"
#include "../services/helpers.h"

#include <zadururu/library/scadaEngine.h>

// An engine of its own for each test, in the test's HOME; it frees what it read
// and what was added to it.
struct Engine : ScadaEngine
{
    ~Engine() override
    {
        qDeleteAll(getLibraryObjectList());
        qDeleteAll(getUserObjectList());
    }
};

static QString describe(const ScadaLibObject *o)
{
    QStringList fields{o->name, o->objectCategory};
    for (int value : {o->objectUID, o->objectType, o->rtuID, o->registerID, o->width, o->height, o->lofX, o->lofY})
        fields << QString::number(value);
    fields << QString::number(o->m_val) << QString::number(o->a_val) << (o->isUserObject ? "user" : "library");
    return fields.join(' ') + " [" + QStringList(o->images).join(' ') + ']';
}

// The records of both lists, library ones first.
static QStringList records(const ScadaEngine &engine)
{
    QStringList lines;
    for (const ScadaLibObject *o : engine.getLibraryObjectList())
        lines << "L " + describe(o);
    for (const ScadaLibObject *o : engine.getUserObjectList())
        lines << "U " + describe(o);
    return lines;
}

static QByteArray library(const QByteArray &objects)
{
    return "<?xml version=\"1.0\"?>\n<scadaObjectTypes>" + objects + "</scadaObjectTypes>\n";
}

static QByteArray objectWithId(int id)
{
    return "<object name=\"o" + QByteArray::number(id) + "\"><objectUID>" + QByteArray::number(id)
           + "</objectUID></object>";
}

static ScadaLibObject *component(const QString &name, const QString &category, const QStringList &images = {})
{
    auto *o = new ScadaLibObject;
    o->name = name;
    o->objectCategory = category;
    o->images = images;
    o->rtuID = 11; // never written to the user library file
    return o;
}

class tst_ScadaEngine : public QObject
{
    Q_OBJECT

    QScopedPointer<QTemporaryDir> m_dir;
    QString m_home;

    QString put(const QString &relative, const QByteArray &bytes)
    {
        const QString path = m_dir->filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        if (!writeAll(path, bytes))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void init()
    {
        if (inChild())
            return;
        m_dir.reset(new QTemporaryDir);
        m_home = m_dir->filePath("home");
        QVERIFY(QDir().mkpath(m_home));
        qputenv("HOME", m_home.toLocal8Bit());
    }

    void fullRecords()
    {
        Engine engine;
        QVERIFY(engine.readLibDir(QFINDTESTDATA("testdata/objlib.xml")));
        // Children in any order, CDATA, comments, stray text and other
        // elements between the objects; absent children read as 0.
        QCOMPARE(records(engine), QStringList({"L Pump A Pumps 4 2 11 40001 64 48 -3 7 2 -15 library "
                                               "[images/pump_off.png images/pump_on.png]",
                                               "L Tank Water & <Storage> 9 0 0 0 0 0 0 0 0 3 library [images/tank.png]"}));
        QCOMPARE(engine.getUsedIds(), QList<int>({4, 9}));
        QVERIFY(engine.getLibObjects()->isEmpty()); // the combined list is left alone
        QVERIFY(engine.readLibDir(QFINDTESTDATA("testdata/latin1.xml")));
        QCOMPARE(records(engine).last(), QString::fromUtf8("U K\xc3\xbc" "bel Gr\xc3\xbcn 3 0 0 0 0 0 0 0 0 0 user []"));
    }

    void integerTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << "2" << 2;
        QTest::newRow("negative") << "-3" << -3;
        QTest::newRow("plus sign") << "+4" << 4;
        QTest::newRow("leading zeros") << "0071" << 71;
        QTest::newRow("fraction") << "2.5" << 0;
        QTest::newRow("zero fraction") << "2.0" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("a digit of base 11") << "a" << 0;
        QTest::newRow("trailing letters") << "12abc" << 0;
        QTest::newRow("hexadecimal") << "0x10" << 0;
        QTest::newRow("exponent") << "1e3" << 0;
        QTest::newRow("too large") << "99999999999" << 0;
    }

    void integerTexts()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QByteArray object = "<object>";
        for (const char *tag : {"objectUID", "objectType", "rtuID", "registerID", "width", "height", "lofX", "lofY",
                                "m_val", "a_val"})
            object += QByteArray("<") + tag + '>' + text.toUtf8() + "</" + tag + '>';
        Engine engine;
        QVERIFY(engine.readLibDir(put("objlib.xml", library(object + "</object>"))));
        const QString n = QString::number(expected);
        QCOMPARE(records(engine), QStringList("L   " + QVector<QString>(10, n).toList().join(' ') + " library []"));
        QCOMPARE(engine.getUsedIds(), QList<int>({expected}));
    }

    void images_data()
    {
        QTest::addColumn<QByteArray>("children");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << QByteArray() << "";
        QTest::newRow("two") << QByteArray("<image1>a.png</image1><image2>b.png</image2>") << "images/a.png images/b.png";
        QTest::newRow("gap") << QByteArray("<image1>a.png</image1><image3>c.png</image3>") << "images/a.png";
        QTest::newRow("no first") << QByteArray("<image2>b.png</image2>") << "";
        QTest::newRow("index order") << QByteArray("<image2>b.png</image2><image1>a.png</image1>")
                                     << "images/a.png images/b.png";
        QTest::newRow("repeated index") << QByteArray("<image1>a.png</image1><image1>z.png</image1>") << "images/a.png";
        QTest::newRow("empty text") << QByteArray("<image1/>") << "images/";
        QTest::newRow("image0") << QByteArray("<image0>z.png</image0>") << "";
        QTest::newRow("zero-padded") << QByteArray("<image01>z.png</image01>") << "";
    }

    void images()
    {
        QFETCH(QByteArray, children);
        QFETCH(QString, expected);
        Engine engine;
        QVERIFY(engine.readLibDir(put("lib.xml", library("<object>" + children + "</object>"))));
        QCOMPARE(QStringList(engine.getUserObjectList().value(0)->images).join(' '), expected);
    }

    void objects_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty root") << QByteArray("<scadaObjectTypes/>") << QStringList();
        QTest::newRow("other names") << library("<objects><objectUID>3</objectUID></objects>text") << QStringList();
        QTest::newRow("nested deeper") << library("<g>" + objectWithId(3) + "</g>") << QStringList();
        QTest::newRow("root is an object") << objectWithId(3) << QStringList();
        QTest::newRow("any root, stray content")
            << QByteArray("<any>lead<object><objectUID>1</objectUID></object><other name=\"x\"/>between"
                          "<object name=\"\"/><object name=\"b\" extra=\"1\"><objectUID>4</objectUID></object>tail</any>")
            << QStringList({":1", ":0", "b:4"});
    }

    void objects()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QStringList, expected);
        Engine engine;
        QVERIFY(engine.readLibDir(put("lib.xml", xml)));
        QStringList found;
        for (const ScadaLibObject *o : engine.getUserObjectList())
            found << o->name + ':' + QString::number(o->objectUID);
        QCOMPARE(found, expected);
        QCOMPARE(engine.getUsedIds().size(), expected.size());
    }

    void listByPath_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<bool>("library");
        QTest::newRow("component library file") << "a/objlib.xml" << true;
        QTest::newRow("user library file") << "a/userlib.xml" << false;
        QTest::newRow("directory named so") << "objlib.xml.d/parts.xml" << true;
        QTest::newRow("name ending so") << "a/myobjlib.xml" << true;
        QTest::newRow("other case") << "a/OBJLIB.XML" << false;
    }

    void listByPath()
    {
        QFETCH(QString, relative);
        QFETCH(bool, library);
        Engine engine;
        QVERIFY(engine.readLibDir(put(relative, ::library(objectWithId(1)))));
        QCOMPARE(records(engine), QStringList(QString(library ? "L o1  1 0 0 0 0 0 0 0 0 0 library []"
                                                              : "U o1  1 0 0 0 0 0 0 0 0 0 user []")));
    }

    void unreadable()
    {
        Engine engine;
        for (const QString &path : {m_dir->filePath("nothing/objlib.xml"), m_dir->path()}) {
            QTest::ignoreMessage(QtDebugMsg, "dosya acilamadi");
            QVERIFY(!engine.readLibDir(path));
        }
        const QDir broken(QFINDTESTDATA("testdata/malformed"));
        QStringList paths{put("deep.xml", QByteArray("<a>").repeated(100000) + QByteArray("</a>").repeated(100000))};
        for (const QString &name : broken.entryList(QDir::Files))
            paths << broken.filePath(name);
        QVERIFY(paths.size() >= 7);
        for (const QString &path : paths)
            QVERIFY2(!engine.readLibDir(path), qPrintable(path));
        QVERIFY(records(engine).isEmpty());
        QVERIFY(engine.getUsedIds().isEmpty());
    }

    // The smallest non-negative id not read or handed out yet.
    void freeIds_data()
    {
        QTest::addColumn<QList<int>>("read");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("none") << QList<int>() << QList<int>({0, 1, 2});
        QTest::newRow("gap filled first") << QList<int>({0, 1, 2, 5}) << QList<int>({3, 4, 6, 7});
        QTest::newRow("duplicates, negative") << QList<int>({0, 0, 3, 3, -2}) << QList<int>({1, 2, 4, 5});
        QTest::newRow("zero free") << QList<int>({1, 2}) << QList<int>({0, 3});
        QTest::newRow("descending") << QList<int>({2, 1, 0}) << QList<int>({3, 4});
    }

    void freeIds()
    {
        QFETCH(QList<int>, read);
        QFETCH(QList<int>, expected);
        Engine engine;
        // A fresh home: the engine makes its image folder and writes nothing.
        QCOMPARE(QDir(m_home + "/Korvela").entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList("images"));
        QCOMPARE(engine.getUserImagePath(), m_home + "/Korvela/images/");
        QByteArray objects;
        for (int id : read)
            objects += objectWithId(id);
        QVERIFY(engine.readLibDir(put("objlib.xml", library(objects))));
        QList<int> chosen;
        for (int i = 0; i < expected.size(); ++i)
            chosen << engine.chooseaUID();
        QCOMPARE(chosen, expected);
        QCOMPARE(engine.getUsedIds(), read + expected);
    }

    // Korvela holds userlib.xml with U (id 1) and images/old.png, stale.png
    // and kept.png; the components added take their images from elsewhere.
    void addUserObjects()
    {
        put("home/Korvela/userlib.xml", library("<object name=\"U\"><objectCategory>Mine</objectCategory>"
                                                "<objectUID>1</objectUID><image1>u.png</image1></object>"));
        const QString images = m_home + "/Korvela/images/";
        put("home/Korvela/images/old.png", "old");
        put("home/Korvela/images/stale.png", "stale");
        put("home/Korvela/images/kept.png", "kept");
        const QString old = put("pictures/old.png", "new");
        const QString pic = put("pictures/pic.png", "pic");
        Engine engine;
        QVERIFY(engine.readLibDir(put("objlib.xml", library(objectWithId(3)))));
        ScadaLibObject *tank = component("Tank", "Water", {old, pic, "nowhere/stale.png", images + "kept.png",
                                                           m_home + "/Korvela/./images/kept.png"});
        const QString box = " | Object %1 is succesfully added under %2 category |  | 0 | 1024 | -";
        QCOMPARE(shownBoxes([&] { engine.addUserObject(tank); }), QStringList(box.arg("Tank", "Water")));
        QCOMPARE(tank->images, QList<QString>({"images/old.png", "images/pic.png", "images/stale.png",
                                               "images/kept.png", "images/kept.png"}));
        QCOMPARE(readAll(images + "old.png"), QByteArray("new"));
        QCOMPARE(readAll(images + "pic.png"), QByteArray("pic"));
        QCOMPARE(readAll(images + "kept.png"), QByteArray("kept"));
        QVERIFY(!QFileInfo::exists(images + "stale.png"));
        QCOMPARE(readAll(old), QByteArray("new")); // copied, not moved
        QCOMPARE(QDir(images).entryList(QDir::Files), QStringList({"kept.png", "old.png", "pic.png"}));

        ScadaLibObject *pipe = component("Pipe & \"Co\"", "<Lines>");
        ScadaLibObject *pump = component("Pump", "Water", {"x/pump.png", "y/pump2.png"});
        QCOMPARE(shownBoxes([&] { engine.addUserObject(pipe); }).size(), 1);
        QCOMPARE(shownBoxes([&] { engine.addUserObject(pump); }).size(), 1);
        QCOMPARE(QList<int>({tank->objectUID, pipe->objectUID, pump->objectUID}), QList<int>({0, 2, 4}));
        QList<ScadaLibObject *> all = engine.getLibraryObjectList() + engine.getUserObjectList();
        QCOMPARE(*engine.getLibObjects(), all);
        QCOMPARE(all.size(), 5);
        QCOMPARE(readAll(m_home + "/Korvela/userlib.xml"),
                 QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<scadaObjectTypes>\n"
                            "    <object name=\"U\">\n        <objectCategory>Mine</objectCategory>\n"
                            "        <objectUID>1</objectUID>\n        <image1>u.png</image1>\n    </object>\n"
                            "    <object name=\"Tank\">\n        <objectCategory>Water</objectCategory>\n"
                            "        <objectUID>0</objectUID>\n        <image1>old.png</image1>\n"
                            "        <image2>pic.png</image2>\n        <image3>stale.png</image3>\n"
                            "        <image4>kept.png</image4>\n        <image5>kept.png</image5>\n    </object>\n"
                            "    <object name=\"Pipe &amp; &quot;Co&quot;\">\n"
                            "        <objectCategory>&lt;Lines&gt;</objectCategory>\n"
                            "        <objectUID>2</objectUID>\n    </object>\n"
                            "    <object name=\"Pump\">\n        <objectCategory>Water</objectCategory>\n"
                            "        <objectUID>4</objectUID>\n        <image1>pump.png</image1>\n"
                            "        <image2>pump2.png</image2>\n    </object>\n</scadaObjectTypes>\n"));

        // A new engine reads the user components back with only those fields.
        Engine again;
        QCOMPARE(records(again), QStringList({"U U Mine 1 0 0 0 0 0 0 0 0 0 user [images/u.png]",
                                              "U Tank Water 0 0 0 0 0 0 0 0 0 0 user [images/old.png images/pic.png "
                                              "images/stale.png images/kept.png images/kept.png]",
                                              "U Pipe & \"Co\" <Lines> 2 0 0 0 0 0 0 0 0 0 user []",
                                              "U Pump Water 4 0 0 0 0 0 0 0 0 0 user [images/pump.png images/pump2.png]"}));
    }

    // HOME is a regular file: nothing below it can be read or written, but
    // a component added stays in memory and is confirmed.
    void unwritableHome()
    {
        put("homefile", "not a folder");
        qputenv("HOME", m_dir->filePath("homefile").toLocal8Bit());
        Engine engine;
        ScadaLibObject *pipe = component("Pipe", "Lines", {put("pictures/pic.png", "pic")});
        QTest::ignoreMessage(QtDebugMsg, "dosya acilamadi");
        QCOMPARE(shownBoxes([&] { engine.addUserObject(pipe); }).size(), 1);
        QCOMPARE(describe(pipe), QString("Pipe Lines 0 0 11 0 0 0 0 0 0 0 library [images/pic.png]"));
        QCOMPARE(*engine.getLibObjects(), QList<ScadaLibObject *>({pipe}));
        QTest::ignoreMessage(QtDebugMsg, "dosya acilamadi");
        QVERIFY(!engine.saveUserLibraryFile({pipe}));
        QCOMPARE(readAll(m_dir->filePath("homefile")), QByteArray("not a folder"));
    }

    void killedSave()
    {
        Engine engine;
        QList<ScadaLibObject *> many;
        for (int i = 0; i < 3000; ++i)
            many << component(QString("component %1").arg(i), "Category", {"a.png", "b.png"});
        const QList<ScadaLibObject *> one = many.mid(0, 1);
        const QString problem = killedSaveProblem(
            m_home + "/Korvela/userlib.xml", [&] { return engine.saveUserLibraryFile(many); },
            [&] { return engine.saveUserLibraryFile(one); }, 300000);
        qDeleteAll(many);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // The singleton, in a child started from a copy of this program in
    // <root>/app/bin: objlib.xml in <root>/app/scdLib holds A (0), B (1) and
    // C (5), Korvela/userlib.xml holds U (2).
    void startup()
    {
        if (!inChild()) {
            const QString program = m_dir->filePath("app/bin/tst_scadaEngine");
            put("app/scdLib/objlib.xml",
                library("<object name=\"A\"/><object name=\"B\"><objectUID>1</objectUID></object>"
                        "<object name=\"C\"><objectUID>5</objectUID></object>"));
            put("home/Korvela/userlib.xml", library("<object name=\"U\"><objectUID>2</objectUID></object>"));
            QVERIFY(QDir().mkpath(QFileInfo(program).path()));
            QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
            QVERIFY_IN_CHILD(m_home, m_dir->path(), program);
            return;
        }
        ScadaEngine *engine = ScadaEngine::instance();
        QCOMPARE(ScadaEngine::instance(), engine);
        const QString root = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../..");
        QCOMPARE(engine->getLibPath(), root + "/app/scdLib/");
        QCOMPARE(engine->getUserLibPath(), QDir::homePath() + "/Korvela/");
        QStringList combined;
        for (const ScadaLibObject *o : *engine->getLibObjects())
            combined << o->name + (o->isUserObject ? "+" : "");
        QCOMPARE(combined, QStringList({"A", "B", "C", "U+"}));
        QCOMPARE(engine->getUsedIds(), QList<int>({0, 1, 5, 2}));
        QCOMPARE(QList<int>({engine->chooseaUID(), engine->chooseaUID(), engine->chooseaUID()}),
                 QList<int>({3, 4, 6}));
    }
};

QTEST_MAIN(tst_ScadaEngine)
#include "tst_scadaEngine.moc"
