#include "../common/files.h"
#include "../common/childProcess.h"

#include "../common/libraryRecords.h"
#include "libraryJob.h"

#include <zadururu/library/libraryLoad_p.h>
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

// "name=content" per file of @p path, by name.
static QStringList folder(const QString &path)
{
    QStringList files;
    for (const QString &name : QDir(path).entryList(QDir::Files))
        files << name + '=' + readAll(path + '/' + name);
    return files;
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
        return writeAll(path, bytes) ? path : QString();
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

    // Each file of testdata/read gives the records, and then the used ids, of
    // the .txt file of the same name.
    void readFiles_data()
    {
        QTest::addColumn<QString>("path");
        const QDir dir(QFINDTESTDATA("testdata/read"));
        const QStringList names = dir.entryList({"*.xml"}, QDir::Files);
        for (const QString &name : names.isEmpty() ? QStringList("no test files found") : names)
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }

    void readFiles()
    {
        QFETCH(QString, path);
        Engine engine;
        QVERIFY(engine.readLibDir(path));
        QStringList ids;
        for (int id : engine.getUsedIds())
            ids << QString::number(id);
        const QString expected = QString::fromUtf8(readAll(path.left(path.size() - 3) + "txt"));
        QCOMPARE(records(engine) << "ids:" + ids.join(' '), expected.split('\n', Qt::SkipEmptyParts));
        QVERIFY(engine.getLibObjects()->isEmpty()); // the combined list is left alone
    }

    // By the path as given, case-sensitively; a folder's name counts too.
    // The reader the engine loads with against the document tree, on every
    // test file, the corpus, and what is odd about the tree's rules.
    void sameAsDocumentTree_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("objects"); // -1: as the document tree decides
        for (const QString &folder : {QFINDTESTDATA("testdata/read"), QFINDTESTDATA("testdata/malformed"), QString(ZADURURU_LIBRARY_CORPUS)})
            for (const QFileInfo &file : QDir(folder).entryInfoList({"*.xml"}, QDir::Files))
                QTest::newRow(qPrintable(QDir(folder).dirName() + '/' + file.fileName())) << readAll(file.filePath()) << -1;
        QTest::newRow("odd texts and names") << library("<object name=\"a&amp;&#65;\" name=\"b\"><objectUID> 7</objectUID><objectUID>8</objectUID>"
            "<objectCategory> \xc2\xa0<![CDATA[ ]]>c<x>d</x></objectCategory><image1>p<!--c-->q</image1><image3>r</image3></object>"
            "<other/><object><image1/><image2>\t</image2></object>") << 2;
        QTest::newRow("entities") << QByteArray("<!DOCTYPE l [<!ENTITY o \"<object name='e'/>\">]><l>&o;<object><m_val>&#51;</m_val></object></l>") << 2;
        QTest::newRow("plain, then a comment") << library(objectWithId(1)) + "<!--c-->" << 1;
        QTest::newRow("cut after an object") << library(objectWithId(1) + objectWithId(2)).left(80) << -1;
        QTest::newRow("objects, then a mismatched end") << library(objectWithId(1) + "<object></objec>") << -1;
    }
    void sameAsDocumentTree()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, objects);
        QList<ScadaLibObject *> loaded;
        QList<ScadaLibObject *> reference;
        const bool read = ZadUruru::readLibrary(bytes, &loaded);
        QCOMPARE(read, ZadUruru::readLibraryThroughDom(bytes, &reference));
        if (objects >= 0)
            QCOMPARE(loaded.size(), objects);
        const QStringList records = libraryRecords(loaded);
        qDeleteAll(loaded);
        QCOMPARE(records, libraryRecords(reference));
        qDeleteAll(reference);
        if (!read)
            QVERIFY(records.isEmpty());
    }

    void listByPath()
    {
        Engine engine;
        int id = 0;
        for (const char *relative : {"a/objlib.xml", "objlib.xml.d/b.xml", "a/myobjlib.xml", "a/OBJLIB.XML", "a/user.xml"})
            QVERIFY(engine.readLibDir(put(relative, library(objectWithId(++id)))));
        QCOMPARE(records(engine), QStringList({"L o1  1 0 0 0 0 0 0 0 0 0 library []", "L o2  2 0 0 0 0 0 0 0 0 0 library []",
                                               "L o3  3 0 0 0 0 0 0 0 0 0 library []", "U o4  4 0 0 0 0 0 0 0 0 0 user []",
                                               "U o5  5 0 0 0 0 0 0 0 0 0 user []"}));
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
        QCOMPARE(folder(images), QStringList({"kept.png=kept", "old.png=new", "pic.png=pic"}));
        QCOMPARE(folder(m_dir->filePath("pictures")), QStringList({"old.png=new", "pic.png=pic"})); // copied

        ScadaLibObject *pipe = component("Pipe & \"Co\"", "<Lines>");
        ScadaLibObject *pump = component("Pump", "Water", {"x/pump.png", "y/pump2.png"});
        QCOMPARE(shownBoxes([&] { engine.addUserObject(pipe); }).size(), 1);
        QCOMPARE(shownBoxes([&] { engine.addUserObject(pump); }).size(), 1);
        QCOMPARE(QList<int>({tank->objectUID, pipe->objectUID, pump->objectUID}), QList<int>({0, 2, 4}));
        QCOMPARE(*engine.getLibObjects(), engine.getLibraryObjectList() + engine.getUserObjectList());
        QCOMPARE(engine.getLibObjects()->size(), 5);
        QCOMPARE(readAll(m_home + "/Korvela/userlib.xml"), readAll(QFINDTESTDATA("testdata/userlib-written.xml")));

        // A file that cannot be written: the component is still added and confirmed.
        QVERIFY(QFile::remove(m_home + "/Korvela/userlib.xml") && QDir().mkpath(m_home + "/Korvela/userlib.xml"));
        ScadaLibObject *valve = component("Valve", "Parts", {pic});
        QTest::ignoreMessage(QtDebugMsg, "dosya acilamadi");
        QCOMPARE(shownBoxes([&] { engine.addUserObject(valve); }), QStringList(box.arg("Valve", "Parts")));
        QCOMPARE(describe(valve), QString("Valve Parts 5 0 11 0 0 0 0 0 0 0 library [images/pic.png]"));
        QCOMPARE(engine.getLibObjects()->last(), valve);
        QTest::ignoreMessage(QtDebugMsg, "dosya acilamadi");
        QVERIFY(!engine.saveUserLibraryFile({valve}));
    }

    // The host's library job: the component texts of pages that name no
    // component, by id or by name, each once; and its report.
    void hostLibraryJob()
    {
        ScadaLibObject pump, tank, unnamed;
        QCOMPARE(describe(&unnamed), QString("  0 0 0 0 0 0 0 0 0 0 library []")); // a record starts at zero
        pump.name = "pump";
        tank.name = "tank";
        tank.objectUID = 1;
        unnamed.objectUID = 3;
        QCOMPARE(componentsMissingFromLibrary({&pump, &tank, &unnamed},
                                              {"pump", "0", "3", "", "pipe", "7", "pipe", "tank", "7", "Pump", "+1"}),
                 QStringList({"pipe", "7", "Pump", "+1"}));
        QString text;
        QTextStream out(&text);
        QVERIFY(runLibraryJob(QDir(EXAMPLE_PROJECT), {"drain", "motor"}, out, out));
        out.flush();
        QVERIFY2(text.contains(": 6 components\n") && text.contains("library: drain\n") && !text.contains("(missing)"),
                 qPrintable(text));
        put("project/library/objlib.xml", "<object"); // broken
        QVERIFY(!runLibraryJob(QDir(m_dir->filePath("project")), {}, out, out));
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
