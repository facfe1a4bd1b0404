// What every reader does with input that no editor wrote, and what every
// whole-file writer leaves behind when its process dies in the middle.

#include "../common/childProcess.h"
#include "../common/files.h"
#include "../common/forked.h"
#include "../common/killedSave.h"
#include "../common/sanitizers.h"

#include <zadururu/common/regularFile.h>
#include <zadururu/common/wellFormed.h>
#include <zadururu/common/xmlLimits_p.h>
#include <zadururu/definitions/definitionsLoad_p.h>
#include <zadururu/definitions/tagChFileWatcher.h>
#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/library/libraryLoad_p.h>
#include <zadururu/library/scadaEngine.h>
#include <zadururu/scene/sceneLoad_p.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QDir>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <csignal>
#include <malloc.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

namespace {

// Every thread allocates from the one heap, whose growth an address space
// limit stops: the heaps of other threads reserve their room beforehand.
[[maybe_unused]] const int oneHeap = mallopt(M_ARENA_MAX, 1);

// A big file is 32 MiB in the everyday run (16 MiB under the sanitizers, which
// multiply memory and time); ZADURURU_HUGE_MIB=256 measures the real extreme.
const int hugeBytes = [] {
    const int mib = qEnvironmentVariableIntValue("ZADURURU_HUGE_MIB");
    return (mib > 0 && mib <= 1024 ? mib : underAddressSanitizer ? 16 : 32) << 20;
}();

QByteArray nested(const QByteArray &name, int depth, const QByteArray &inner = QByteArray())
{
    const QByteArray open = '<' + name + '>';
    const QByteArray close = "</" + name + '>';
    return open.repeated(depth) + inner + close.repeated(depth);
}

// A billion laughs: ten levels of entities, each ten of the one below.
QByteArray entityBomb(const QByteArray &root)
{
    QByteArray doc = "<?xml version=\"1.0\"?>\n<!DOCTYPE " + root + " [\n<!ENTITY e0 \"laugh\">\n";
    for (int level = 1; level <= 10; ++level) {
        doc += "<!ENTITY e" + QByteArray::number(level) + " \"";
        for (int i = 0; i < 10; ++i)
            doc += "&e" + QByteArray::number(level - 1) + ';';
        doc += "\">\n";
    }
    return doc + "]>\n<" + root + ">&e10;</" + root + ">\n";
}

// A document that every reader takes unless a limit stops it: under a root
// that any reader takes, a tag, by which the definitions reader's refusal
// (the "None" channel alone) shows.
QByteArray withTag(const QByteArray &prolog, const QByteArray &content = QByteArray())
{
    return prolog + "<r><TagList><Tag><Id>7</Id></Tag></TagList>" + content + "</r>";
}

// The internal subset of a document type declaring @p declarations.
QByteArray subset(const QByteArray &declarations)
{
    return "<!DOCTYPE r [" + declarations + "]>";
}

QByteArray entity(const QByteArray &name, const QByteArray &value)
{
    return "<!ENTITY " + name + " \"" + value + "\">";
}

// Entity declarations e1, e2, ... of one character each (names of parameter entities with @p parameter).
QByteArray declarations(int count, bool parameter = false)
{
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "<!ENTITY " + QByteArray(parameter ? "% p" : "e") + QByteArray::number(i) + " \"x\">";
    return text;
}

// A document in which @p count references stand for an entity of @p length
// characters each; padded with whitespace after the root to @p size
// characters in all.
QByteArray growing(int length, int count, int size)
{
    const QByteArray document = withTag(subset(entity("e", QByteArray(length, 'y'))), "<x>" + QByteArray("&e;").repeated(count) + "</x>");
    return document + QByteArray(qMax(0, size - document.size()), ' ');
}

QByteArray utf16(const QByteArray &document)
{
    return QTextCodec::codecForName("UTF-16LE")->fromUnicode(QString::fromUtf8(document)); // with a byte order mark
}

// Each reader's verdict on @p document: whether it takes it, reader by reader.
QString verdicts(const QByteArray &document)
{
    QStringList said;
    const auto say = [&said](const char *reader, bool taken) {
        said << QLatin1String(reader) + (taken ? QLatin1String(" takes") : QLatin1String(" refuses"));
    };
    ScaFileData *page = ScaFileProcessor::loadFileData(document, QStringLiteral("p.xml"));
    say("scene", page);
    destroyScaFileData(page);
    page = ZadUruru::readSceneThroughDom(document, QStringLiteral("p.xml"));
    say("scene tree", page);
    destroyScaFileData(page);
    PagePropertiesData_t *properties = ScaFileProcessor::loadSceneData(document);
    say("page properties", properties);
    delete properties;
    properties = ZadUruru::readScenePropertiesThroughDom(document);
    say("page properties tree", properties);
    delete properties;
    FileDataTree *tree = TgchFileProcessor::loadFileData(document);
    say("definitions", tree->tags.size() == 1);
    destroyFileDataTree(tree);
    tree = ZadUruru::readDefinitionsThroughDom(document);
    say("definitions tree", tree->tags.size() == 1);
    destroyFileDataTree(tree);
    QList<ScadaLibObject *> objects;
    say("library", ZadUruru::readLibrary(document, &objects));
    say("library tree", ZadUruru::readLibraryThroughDom(document, &objects));
    qDeleteAll(objects);
    say("check", ZadUruru::checkWellFormed(document).wellFormed);
    return said.join(QLatin1String(", "));
}

QString allSay(bool taken)
{
    QStringList readers{"scene", "scene tree", "page properties", "page properties tree", "definitions",
                        "definitions tree", "library", "library tree", "check"};
    for (QString &reader : readers)
        reader += taken ? QLatin1String(" takes") : QLatin1String(" refuses");
    return readers.join(QLatin1String(", "));
}

// A file system object at @p path that is not a regular file, of the kind named.
QString makeSpecial(const QString &kind, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("FIFO"))
        return mkfifo(name.constData(), 0644) == 0 ? QString() : QStringLiteral("mkfifo failed");
    if (kind == QLatin1String("folder"))
        return QDir().mkdir(path) ? QString() : QStringLiteral("mkdir failed");
    if (kind == QLatin1String("device"))
        return QFile::link(QStringLiteral("/dev/zero"), path) ? QString() : QStringLiteral("link failed");
    if (kind == QLatin1String("socket")) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (name.size() >= int(sizeof address.sun_path))
            return QStringLiteral("path too long for a socket");
        qstrcpy(address.sun_path, name.constData());
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        const bool bound = bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        ::close(fd);
        return bound ? QString() : QStringLiteral("bind failed");
    }
    // Larger than any reader reads: a sparse file, where the file system makes one.
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(ZadUruru::maxFileSize + 1) ? QString()
                                                                                      : QStringLiteral("no sparse file here");
}

// Whether the definitions loader gave the tree of a refused document: the "None" channel alone.
bool definitionsRefused(const QByteArray &bytes)
{
    FileDataTree *tree = TgchFileProcessor::loadFileData(bytes);
    const bool refused = tree->channels.size() == 1 && tree->tags.isEmpty() && tree->alarms.isEmpty();
    destroyFileDataTree(tree);
    return refused;
}

} // namespace

class tst_Reliability : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        // The component library engine keeps its user files under the home directory.
        qputenv("HOME", QFile::encodeName(m_home.path()));
    }

    // Documents that are not well-formed, or that no reader should try to take
    // in: every reader gives its refusal (null, the "None" channel alone, false)
    // and none crashes.
    void refusedByEveryReader_data()
    {
        QTest::addColumn<QByteArray>("scene");
        QTest::addColumn<QByteArray>("definitions");
        QTest::addColumn<QByteArray>("library");

        // Qt's parser and document tree recurse once per level: this depth would
        // overflow the stack without the nesting limit.
        const int deep = 100000;
        QTest::newRow("nested 100000 deep")
            << nested("ScadaFile", 1, nested("PageProperties", deep))
            << nested("CTDefinitions", 1, nested("TagList", deep))
            << nested("scadaObjectTypes", 1, nested("object", deep));
        QTest::newRow("nested just past the limit")
            << nested("ScadaFile", 1, nested("PageProperties", ZadUruru::maxXmlNestingDepth))
            << nested("CTDefinitions", 1, nested("TagList", ZadUruru::maxXmlNestingDepth))
            << nested("scadaObjectTypes", 1, nested("object", ZadUruru::maxXmlNestingDepth));
        QTest::newRow("entity expansion bomb")
            << entityBomb("ScadaFile") << entityBomb("CTDefinitions") << entityBomb("scadaObjectTypes");
        const QByteArray utf16Bom("\xff\xfe");
        QTest::newRow("UTF-16 byte order mark on UTF-8 bytes")
            << utf16Bom + "<ScadaFile><PageProperties><pageID>1</pageID></PageProperties></ScadaFile>"
            << utf16Bom + "<CTDefinitions><TagList><Tag><Id>1</Id></Tag></TagList></CTDefinitions>"
            << utf16Bom + "<scadaObjectTypes><object name=\"a\"/></scadaObjectTypes>";
        const QByteArray nul("\0", 1);
        QTest::newRow("NUL byte in the markup")
            << "<ScadaFile><PageProp" + nul + "erties/></ScadaFile>"
            << "<CTDefinitions><TagList><Tag" + nul + "><Id>1</Id></Tag></TagList></CTDefinitions>"
            << "<scadaObjectTypes><obj" + nul + "ect name=\"a\"/></scadaObjectTypes>";
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                                << QByteArray("\x1f\x8b\x08\0", 4) << QByteArray("PK\x03\x04", 4);
    }

    void refusedByEveryReader()
    {
        QFETCH(QByteArray, scene);
        QFETCH(QByteArray, definitions);
        QFETCH(QByteArray, library);

        QCOMPARE(ScaFileProcessor::loadFileData(scene, QStringLiteral("page.xml")), nullptr);
        QCOMPARE(ScaFileProcessor::loadSceneData(scene), nullptr);
        QVERIFY(definitionsRefused(definitions));

        ScadaEngine engine;
        const QString path = m_home.filePath(QStringLiteral("userlib.xml"));
        QVERIFY(writeAll(path, library));
        QVERIFY(!engine.readLibDir(path));
        QVERIFY(engine.getUserObjectList().isEmpty());
    }

    // The limits of every reader, wherever the prolog hides what comes after
    // it: the nesting as the elements are read (those that entities hold
    // included), the entities before the parser starts. The message is the
    // one the check gives; empty when every reader takes the document.
    void limits_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("message");

        using ZadUruru::XmlLimit;
        const QString taken;
        const QString tooDeep = ZadUruru::xmlLimitMessage(XmlLimit::Nesting);
        const QString tooMany = ZadUruru::xmlLimitMessage(XmlLimit::EntityDeclarations);
        const QString tooLong = ZadUruru::xmlLimitMessage(XmlLimit::EntityExpansion);
        const QString unread = ZadUruru::xmlLimitMessage(XmlLimit::DocumentType);
        // The root is the first level, so that 255 levels below it reach the limit.
        const int below = ZadUruru::maxXmlNestingDepth - 1;
        QCOMPARE(below, 255);

        QTest::newRow("plain, at the limit") << withTag("", nested("a", below)) << taken;
        QTest::newRow("plain, one past the limit") << withTag("", nested("a", below + 1)) << tooDeep;
        QTest::newRow("parsed, at the limit") << withTag("<!--c-->", nested("a", below)) << taken;
        QTest::newRow("parsed, one past the limit") << withTag("<!--c-->", nested("a", below + 1)) << tooDeep;
        QTest::newRow("parsed, 100000 deep") << withTag("<!--c-->", nested("a", 100000)) << tooDeep;
        QTest::newRow("siblings do not add up") << withTag("<!--c-->", nested("a", below).repeated(3)) << taken;
        // The prolog that hid the nesting from a check before parsing: a quote in a comment of the internal subset.
        const QByteArray reported = "<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!--'-->]>";
        QTest::newRow("quote in a comment of the subset, at the limit") << withTag(reported, nested("a", below)) << taken;
        QTest::newRow("quote in a comment of the subset, one past") << withTag(reported, nested("a", below + 1)) << tooDeep;
        QTest::newRow("quote in a comment of the subset, 100000 deep") << withTag(reported, nested("a", 100000)) << tooDeep;
        const QList<QPair<const char *, QByteArray>> prologs{
            {"quote in a processing instruction of the subset", "<!DOCTYPE r [<?pi \"?>]>"},
            {"'[' in a comment of the subset", "<!DOCTYPE r [<!--[-->]>"},
            {"'>' and ']' in a literal", subset(entity("e", "]>"))},
            {"'[' and '>' in an external identifier", "<!DOCTYPE r SYSTEM \"a[>'.dtd\">"},
            {"quote in a comment before the document type", "<!-- ' --><!DOCTYPE r>"},
            {"parameter entity declared, not referenced", subset("<!ENTITY % p \"<!ELEMENT a ANY>\">")},
        };
        for (const auto &prolog : prologs) {
            QTest::addRow("%s, at the limit", prolog.first) << withTag(prolog.second, nested("a", below)) << taken;
            QTest::addRow("%s, one past", prolog.first) << withTag(prolog.second, nested("a", below + 1)) << tooDeep;
        }
        QTest::newRow("entity holding the elements, at the limit")
            << withTag(subset(entity("e", nested("a", below))), "&e;") << taken;
        QTest::newRow("entity holding the elements, one past")
            << withTag(subset(entity("e", nested("a", below + 1))), "&e;") << tooDeep;
        QTest::newRow("nesting shared by the document and an entity")
            << withTag(subset(entity("e", nested("a", 156))), nested("b", 100, "&e;")) << tooDeep;
        QTest::newRow("UTF-16, at the limit") << utf16(withTag("", nested("a", below))) << taken;
        QTest::newRow("UTF-16, one past") << utf16(withTag("", nested("a", below + 1))) << tooDeep;

        QTest::newRow("1000 entity declarations") << withTag(subset(declarations(1000)), "&e1000;") << taken;
        QTest::newRow("1001 entity declarations") << withTag(subset(declarations(1001))) << tooMany;
        QTest::newRow("parameter entity declarations count")
            << withTag(subset(declarations(999) + declarations(2, true))) << tooMany;
        // The document may grow to eight times its size: its references may stand for 7 * 10000 characters.
        QTest::newRow("growing to 8 times the size") << growing(1000, 70, 10000) << taken;
        QTest::newRow("one character of document less") << growing(1000, 70, 9999) << tooLong;
        QTest::newRow("growing in an attribute value")
            << withTag(subset(entity("e", QByteArray(1000, 'y'))), "<x v=\"" + QByteArray("&e;").repeated(20) + "\"/>") << tooLong;
        QTest::newRow("growing in a default of an attribute list")
            << withTag(subset(entity("e", QByteArray(1000, 'y')) + "<!ATTLIST x v CDATA \"" + QByteArray("&e;").repeated(20) + "\">")) << tooLong;
        const QByteArray thousand = entity("e1", QByteArray(1000, 'y'));
        QTest::newRow("nested references multiply") << withTag(subset(thousand + entity("e2", QByteArray("&e1;").repeated(10))), "&e2;") << tooLong;
        QTest::newRow("references in an entity not referenced cost nothing")
            << withTag(subset(thousand + entity("e2", QByteArray("&e1;").repeated(10))), "&e1;") << taken;
        QTest::newRow("'&#38;' makes a reference") << withTag(subset(thousand + entity("e2", QByteArray("&#38;e1;").repeated(10))), "&e2;") << tooLong;
        QTest::newRow("'&#x26;' makes a reference") << withTag(subset(thousand + entity("e2", QByteArray("&#x26;e1;").repeated(10))), "&e2;") << tooLong;
        QTest::newRow("'&#38;#38;' makes none") << withTag(subset(thousand + entity("e2", QByteArray("&#38;#38;e1;").repeated(10))), "&e2;") << taken;
        QTest::newRow("the first declaration holds")
            << withTag(subset(entity("e", "x") + entity("e", QByteArray(1000, 'y'))), "<x>" + QByteArray("&e;").repeated(20) + "</x>") << taken;
        QTest::newRow("the first declaration holds, large")
            << withTag(subset(entity("e", QByteArray(1000, 'y')) + entity("e", "x")), "<x>" + QByteArray("&e;").repeated(20) + "</x>") << tooLong;
        QTest::newRow("declarations among others")
            << withTag(subset("<!ELEMENT r ANY><?pi x?><!-- c --><!NOTATION n SYSTEM \"n\">" + entity("e", QByteArray(1000, 'y'))),
                       "<x>" + QByteArray("&e;").repeated(20) + "</x>") << tooLong;
        QTest::newRow("an empty comment before the document type")
            << withTag("<!---->" + subset(entity("e", QByteArray(1000, 'y'))), "<x>" + QByteArray("&e;").repeated(20) + "</x>") << tooLong;
        QTest::newRow("an external entity adds nothing")
            << withTag(subset("<!ENTITY x SYSTEM \"x.xml\">"), "<x>" + QByteArray("&x;").repeated(10000) + "</x>") << taken;
        QTest::newRow("entities referring to each other, not referenced")
            << withTag(subset(entity("a", "&b;") + entity("b", "&a;"))) << taken;
        QTest::newRow("entities referring to each other") << withTag(subset(entity("a", "&b;") + entity("b", "&a;")), "&a;") << tooLong;
        // One entity of 4000 characters referenced 100000 times: gigabytes from 300 KB.
        const QByteArray bomb = withTag("<?xml version=\"1.0\"?>\n" + subset(entity("e", QByteArray(4000, 'y'))),
                                        "<x>" + QByteArray("&e;").repeated(100000) + "</x>");
        QTest::newRow("the entity of the report") << bomb << tooLong;
        QTest::newRow("the entity of the report in UTF-16") << utf16(bomb) << tooLong;
        QTest::newRow("parameter entity referenced in the subset")
            << withTag(subset("<!ENTITY % p \"<!ENTITY e 'x'>\"> %p;"), "&e;") << unread;
        QTest::newRow("parameter entity referenced in a literal") << withTag(subset("<!ENTITY % p \"x\">" + entity("e", "a%p;b")), "&e;") << unread;
        QTest::newRow("parameter entity referenced in a declaration") << withTag(subset("<!ENTITY % p \"ANY\"><!ELEMENT r %p;>")) << unread;
        QTest::newRow("a section in the subset") << withTag(subset("<![INCLUDE[" + entity("e", "x") + "]]>"), "&e;") << unread;
    }

    void limits()
    {
        QFETCH(QByteArray, document);
        QFETCH(QString, message);
        QCOMPARE(verdicts(document), allSay(message.isEmpty()));
        const ZadUruru::WellFormedness check = ZadUruru::checkWellFormed(document);
        QCOMPARE(check.message, message);
        QCOMPARE(check.overLimit, !message.isEmpty());
    }

    // Attributes are read in time linear in their number, whichever reader
    // reads them, and the last of a name given twice holds.
    void manyAttributes_data()
    {
        QTest::addColumn<QByteArray>("prolog");
        QTest::newRow("plain") << QByteArray();
        QTest::newRow("parsed") << QByteArray("<!--c-->");
    }
    void manyAttributes()
    {
        QFETCH(QByteArray, prolog);
        QByteArray attributes;
        for (int i = 0; i < 100000; ++i)
            attributes += " a" + QByteArray::number(i) + "=\"" + QByteArray::number(i) + '"';
        const QByteArray page = prolog + "<ScadaFile><PageProperties><pageGeometry W=\"1\"" + attributes
            + " W=\"640\"" + attributes + " H=\"480\"/></PageProperties></ScadaFile>";
        for (auto read : {ScaFileProcessor::loadSceneData, ZadUruru::readScenePropertiesThroughDom}) {
            PagePropertiesData_t *properties = read(page);
            QVERIFY(properties);
            QCOMPARE(properties->W, 640);
            QCOMPARE(properties->H, 480);
            delete properties;
        }
        const QByteArray library = prolog + "<l><object name=\"a\"" + attributes + " name=\"b\"><objectUID>4</objectUID></object></l>";
        QList<ScadaLibObject *> objects;
        QVERIFY(ZadUruru::readLibrary(library, &objects));
        QVERIFY(ZadUruru::readLibraryThroughDom(library, &objects));
        QCOMPARE(objects.size(), 2);
        QCOMPARE(objects.first()->name, QStringLiteral("b"));
        QCOMPARE(objects.last()->name, QStringLiteral("b"));
        qDeleteAll(objects);
        const QByteArray definitions = prolog + "<CTDefinitions><TagList><Tag" + attributes + "><Id>3</Id></Tag></TagList></CTDefinitions>";
        FileDataTree *tree = TgchFileProcessor::loadFileData(definitions);
        QCOMPARE(tree->tags.size(), 1);
        QCOMPARE(tree->tags.first()->Id, 3);
        destroyFileDataTree(tree);
        QVERIFY(ZadUruru::checkWellFormed(library).wellFormed);
    }

    // Every path a reader opens that is not a regular file within the size
    // limit is refused at once: no reader waits for a FIFO's writer, reads a
    // device without end or takes in a file larger than the limit. The
    // readers run in a child that is stopped if one of them hangs.
    void specialFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("why");
        QTest::newRow("FIFO") << "FIFO" << "is a FIFO, not a regular file";
        QTest::newRow("folder") << "folder" << "is a folder, not a regular file";
        QTest::newRow("link to a device") << "device" << "is a device, not a regular file";
        QTest::newRow("socket") << "socket" << "is a socket, not a regular file";
        QTest::newRow("larger than 1 GiB") << "sparse" << "is larger than 1 GiB";
    }
    void specialFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("special.xml"));
        const QString made = makeSpecial(kind, path);
        if (!made.isEmpty())
            QSKIP(qPrintable(made));
        const QString watched = dir.filePath(QStringLiteral("watched.xml"));
        QVERIFY(writeAll(watched, "<CTDefinitions><TagList><Tag/></TagList></CTDefinitions>"));

        const QString problem = inForkedChild([&] {
            QStringList problems;
            QString error;
            if (!ZadUruru::readRegularFile(path, &error).isNull() || error != why)
                problems << QStringLiteral("readRegularFile: ") + error;
            if (FileDataTree *tree = TgchFileProcessor::loadFileData(path)) {
                problems << QStringLiteral("the definitions loader read it");
                destroyFileDataTree(tree);
            }
            if (FileDataTree *tree = TgchFileProcessor::loadTagsFromCSV(path)) {
                problems << QStringLiteral("the tag list import read it");
                destroyFileDataTree(tree);
            }
            ScadaEngine engine;
            if (engine.readLibDir(path))
                problems << QStringLiteral("the library reader read it");
            // A watched file replaced by it: the reload leaves no tree and says so.
            TagChFileWatcher watcher(watched, nullptr);
            int updates = 0;
            QObject::connect(&watcher, &TagChFileWatcher::tgchFileUpdated, [&updates] { ++updates; });
            if (!watcher.tagChData())
                problems << QStringLiteral("the watcher did not load its file");
            QFile::remove(watched);
            QFile::rename(path, watched);
            QMetaObject::invokeMethod(&watcher, "onFileChanged", Qt::DirectConnection, Q_ARG(QString, watched));
            if (watcher.tagChData() || updates != 1)
                problems << QStringLiteral("the watcher's reload read it");
            return problems.join(QLatin1String("; "));
        });
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // Regular files are read whole, up to the limit and no further, also
    // when the file tells a size other than what it gives.
    void readRegularFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<QByteArray>("content"); // null: refused

        QTest::newRow("within the limit") << "hundred" << qint64(100) << QByteArray(100, 'h');
        QTest::newRow("past the limit") << "hundred" << qint64(99) << QByteArray();
        QTest::newRow("through a link") << "link" << qint64(100) << QByteArray(100, 'h');
        QTest::newRow("empty") << "empty" << qint64(100) << QByteArray("");
        QTest::newRow("missing") << "missing" << qint64(100) << QByteArray();
        // A file of /proc tells the size 0 and gives more.
        QTest::newRow("larger than it tells, within the limit") << "/proc/sys/kernel/ostype" << qint64(6) << QByteArray("Linux\n");
        QTest::newRow("larger than it tells, past the limit") << "/proc/sys/kernel/ostype" << qint64(5) << QByteArray();
        QTest::newRow("no more than the library's limit") << "hundred" << qint64(1) << QByteArray();
    }
    void readRegularFile()
    {
        QFETCH(QString, path);
        QFETCH(qint64, limit);
        QFETCH(QByteArray, content);
        // The documented limit of every reader.
        QCOMPARE(ZadUruru::maxFileSize, Q_INT64_C(1073741824));
        QTemporaryDir dir;
        QVERIFY(writeAll(dir.filePath("hundred"), QByteArray(100, 'h')));
        QVERIFY(writeAll(dir.filePath("empty"), QByteArray()));
        QVERIFY(QFile::link(dir.filePath("hundred"), dir.filePath("link")));
        const QString file = path.startsWith('/') ? path : dir.filePath(path);
        QString error;
        const QByteArray bytes = ZadUruru::readRegularFile(file, &error, limit);
        QCOMPARE(bytes, content);
        QCOMPARE(bytes.isNull(), content.isNull());
        QCOMPARE(error.isEmpty(), !content.isNull());
        if (path == QLatin1String("missing"))
            QCOMPARE(error, QStringLiteral("No such file or directory"));
        else if (content.isNull())
            QCOMPARE(error, QStringLiteral("is larger than %1 bytes").arg(limit));
    }

    // A file that may not be read is refused with the reason; the readers
    // read as an ordinary user, since root may read any file.
    void unreadableFile()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                      | QFileDevice::ExeOther));
        const QString path = dir.filePath(QStringLiteral("secret.xml"));
        QVERIFY(writeAll(path, "<CTDefinitions/>"));
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        const QString problem = inForkedChild([&] {
            if (!becomeNobody())
                return QStringLiteral("cannot become nobody");
            QString error;
            if (!ZadUruru::readRegularFile(path, &error).isNull() || error != QLatin1String("Permission denied"))
                return QStringLiteral("read, or refused for: ") + error;
            return TgchFileProcessor::loadFileData(path) ? QStringLiteral("the definitions loader read it") : QString();
        });
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // A reader that runs out of memory refuses the document as it would a
    // malformed one, whatever it was doing when the memory ran out: it never
    // aborts the process. The readers run in a fresh process (whose heap holds
    // no memory freed by other tests), each time in a child of it whose
    // address space leaves them more room.
    void outOfMemory_data()
    {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QByteArray>("prolog"); // a comment: for the parser, not the plain scanner
        for (const char *reader : {"scene", "page properties", "definitions", "definitions file", "tag list file",
                                   "library file"}) {
            QTest::addRow("%s, plain", reader) << reader << QByteArray();
            QTest::addRow("%s, parsed", reader) << reader << QByteArray("<!--c-->");
        }
        // The plain scanner's check holds no text.
        QTest::newRow("check, parsed") << "check" << QByteArray("<!--c-->");
    }
    void outOfMemory()
    {
        QFETCH(QString, reader);
        QFETCH(QByteArray, prolog);
        if (underAddressSanitizer)
            QSKIP("AddressSanitizer reserves more address space than a limit leaves");
        if (!inChild()) {
            QVERIFY_IN_CHILD(m_home.path(), QDir::currentPath());
            return;
        }
        const QByteArray text(8 << 20, 'x');
        QByteArray document = prolog + "<r><PageProperties><pageName>" + text + "</pageName></PageProperties>"
            "<TagList><Tag><Name>" + text + "</Name></Tag></TagList><object name=\"" + text + "\"/></r>";
        if (reader == QLatin1String("tag list file"))
            document = "1;" + text + ";n;WORD\n";
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big"));
        QVERIFY(writeAll(path, document));

        // The document's own copy in the child leaves the readers only the headroom.
        for (const qint64 headroom : {qint64(1) << 20, qint64(8) << 20, qint64(32) << 20, qint64(128) << 20}) {
            const QString problem = inForkedChild([&] {
                if (!limitAddressSpace(headroom))
                    return QStringLiteral("no address space limit");
                bool refused = false;
                if (reader == QLatin1String("scene")) {
                    ScaFileData *page = ScaFileProcessor::loadFileData(document, QStringLiteral("big.xml"));
                    refused = !page;
                    if (page && page->pageProperties.pageName.size() != text.size())
                        return QStringLiteral("a page without its name");
                } else if (reader == QLatin1String("page properties")) {
                    PagePropertiesData_t *page = ScaFileProcessor::loadSceneData(document);
                    refused = !page;
                    if (page && page->pageName.size() != text.size())
                        return QStringLiteral("page properties without the name");
                } else if (reader == QLatin1String("definitions") || reader == QLatin1String("definitions file")) {
                    FileDataTree *tree = reader == QLatin1String("definitions") ? TgchFileProcessor::loadFileData(document)
                                                                                : TgchFileProcessor::loadFileData(path);
                    refused = !tree || tree->tags.isEmpty();
                    if (tree && !refused && tree->tags.first()->Name.size() != text.size())
                        return QStringLiteral("a tag without its name");
                    if (tree && tree->channels.size() != 1)
                        return QStringLiteral("no \"None\" channel");
                    // From a file, a refusal is told from a file without records.
                    if (tree && refused && reader == QLatin1String("definitions file"))
                        return QStringLiteral("an empty tree for a file not read");
                } else if (reader == QLatin1String("tag list file")) {
                    FileDataTree *tree = TgchFileProcessor::loadTagsFromCSV(path);
                    refused = !tree;
                    if (tree && (tree->tags.size() != 1 || tree->tags.first()->VariableAddress.size() != text.size()))
                        return QStringLiteral("a tag list without its tag");
                } else if (reader == QLatin1String("library file")) {
                    ScadaEngine engine;
                    refused = !engine.readLibDir(path);
                    if (!refused && engine.getUserObjectList().value(0)->name.size() != text.size())
                        return QStringLiteral("a component without its name");
                } else {
                    const ZadUruru::WellFormedness check = ZadUruru::checkWellFormed(document);
                    refused = !check.wellFormed;
                    if (refused && (check.message != QLatin1String("not enough memory to read it") || !check.overLimit))
                        return QStringLiteral("refused for: ") + check.message;
                }
                // The least room must not be enough: the refusal is what is tested.
                return refused || headroom > qint64(1) << 20 ? QString() : QStringLiteral("read in 1 MiB");
            });
            QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("%1 MiB: %2").arg(headroom >> 20).arg(problem)));
        }
    }

    // A save never writes its file in place: where no file can be made beside
    // it (a folder the user may not write to), the save fails and the file
    // keeps every byte, also under a file size limit that would cut it. Run
    // as an ordinary user: root may write to any folder.
    void savesNeverInPlace_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::addColumn<bool>("sizeLimit");
        for (const char *writer : {"scene", "definitions", "tables", "user library"}) {
            QTest::addRow("%s, read-only folder, 4 KiB limit", writer) << writer << true << true;
            QTest::addRow("%s, read-only folder", writer) << writer << true << false;
            QTest::addRow("%s, 4 KiB limit", writer) << writer << false << true;
        }
    }
    void savesNeverInPlace()
    {
        QFETCH(QString, writer);
        QFETCH(bool, readOnlyFolder);
        QFETCH(bool, sizeLimit);
        QTemporaryDir home;
        QVERIFY(home.isValid());
        // The user library file lies in the user's folder; the others anywhere.
        const QString folder = home.filePath(QStringLiteral("Korvela"));
        const QString path = folder + (writer == QLatin1String("user library") ? "/userlib.xml" : "/file.xml");
        const QByteArray old = "<old/>\n";
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(writeAll(path, old));
        QVERIFY(QFile::setPermissions(home.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                       | QFileDevice::ReadOther | QFileDevice::ExeOther));
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther
                                                | QFileDevice::WriteOther));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                  | QFileDevice::ReadOther | QFileDevice::ExeOther
                                                  | (readOnlyFolder ? QFileDevice::Permissions() : QFileDevice::WriteOther)));

        const QString problem = inForkedChild([&] {
            if (!becomeNobody())
                return QStringLiteral("cannot become nobody");
            if (sizeLimit) {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{4096, 4096};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            bool saved = true;
            if (writer == QLatin1String("scene")) {
                ScaFileData page;
                for (int i = 0; i < 100; ++i) {
                    auto *text = new TextItemLoadData_t;
                    text->common = new ItemCommonData_t;
                    text->ItemText = QStringLiteral("text %1").arg(i);
                    page.textItems << text;
                }
                saved = ScaFileProcessor::saveFileData(&page, path);
            } else if (writer == QLatin1String("definitions")) {
                FileDataTree *tree = TgchFileProcessor::loadFileData(QByteArray());
                for (int i = 0; i < 100; ++i)
                    tree->tags << new pEtiketDef_t;
                saved = TgchFileProcessor::writeToFile(tree, path);
            } else if (writer == QLatin1String("tables")) {
                QStandardItemModel channels(0, 22);
                QStandardItemModel tags(100, 25);
                saved = TgchFileProcessor::writeToFile(&channels, &tags, path);
            } else {
                qputenv("HOME", QFile::encodeName(home.path()));
                ScadaEngine engine;
                QList<ScadaLibObject *> objects;
                for (int i = 0; i < 100; ++i)
                    objects << new ScadaLibObject{};
                saved = engine.saveUserLibraryFile(objects);
            }
            return saved ? QStringLiteral("the save reported success") : QString();
        });
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(readAll(path), old);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(path).fileName()});
    }

    // Bytes that are not valid UTF-8 are taken in as U+FFFD, not refused; a
    // UTF-8 byte order mark is read past.
    void oddEncodings()
    {
        const QByteArray invalid("\xc3\x28 \xff \xe2\x82");
        const QByteArray doc = "<CTDefinitions><TagList><Tag><Name><![CDATA[a" + invalid
            + "b]]></Name><Id>7</Id></Tag></TagList></CTDefinitions>";
        FileDataTree *tree = TgchFileProcessor::loadFileData(doc);
        QCOMPARE(tree->tags.size(), 1);
        QCOMPARE(tree->tags.first()->Id, 7);
        QVERIFY(tree->tags.first()->Name.startsWith(QLatin1Char('a')));
        QVERIFY(tree->tags.first()->Name.endsWith(QLatin1Char('b')));
        QVERIFY(tree->tags.first()->Name.contains(QChar::ReplacementCharacter));
        destroyFileDataTree(tree);

        tree = TgchFileProcessor::loadFileData(
            QByteArray("\xef\xbb\xbf<CTDefinitions><TagList><Tag><Id>3</Id></Tag></TagList></CTDefinitions>"));
        QCOMPARE(tree->tags.size(), 1);
        QCOMPARE(tree->tags.first()->Id, 3);
        destroyFileDataTree(tree);

        PagePropertiesData_t *page = ScaFileProcessor::loadSceneData(
            "\xef\xbb\xbf<ScadaFile><PageProperties><pageGeometry W=\"640\"/></PageProperties></ScadaFile>");
        QVERIFY(page);
        QCOMPARE(page->W, 640);
        delete page;
    }

    // One attribute of hundreds of megabytes is still a page: it loads whole.
    void hugeAttribute()
    {
        const QByteArray doc = "<ScadaFile><PageProperties><pageGeometry W=\"800\"/><ScrollTags><Tag TagID=\"4\" ScrollText=\""
            + QByteArray(hugeBytes, 'x') + "\"/></ScrollTags></PageProperties></ScadaFile>";
        ScaFileData *file = ScaFileProcessor::loadFileData(doc, QStringLiteral("huge.xml"));
        QVERIFY(file);
        const PagePropertiesData_t *page = &file->pageProperties;
        QCOMPARE(page->W, 800);
        QCOMPARE(page->ScrollTags.size(), 1);
        QCOMPARE(page->ScrollTags.first().TagID, 4);
        QCOMPARE(page->ScrollTags.first().ScrollText.size(), hugeBytes);
        destroyScaFileData(file);
    }

    // A definitions file of hundreds of megabytes, almost all of it one tag's text.
    void hugeDefinitionsFile()
    {
        const QByteArray doc = "<CTDefinitions><TagList><Tag><Id>1</Id><Description>" + QByteArray(hugeBytes, 'd')
            + "</Description></Tag><Tag><Id>2</Id></Tag></TagList></CTDefinitions>";
        FileDataTree *tree = TgchFileProcessor::loadFileData(doc);
        QCOMPARE(tree->tags.size(), 2);
        QCOMPARE(tree->tags.first()->Description.size(), hugeBytes);
        QCOMPARE(tree->tags.last()->Id, 2);
        destroyFileDataTree(tree);
    }

    void oddTagLists_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("tags");

        QTest::newRow("NUL bytes") << QByteArray("1;A\0B;n;LOGIC\n2;x;m;WORD\n", 25) << 2;
        QTest::newRow("one endless line") << QByteArray(4 << 20, ';') << 0;
        QTest::newRow("invalid UTF-8") << QByteArray("1;\xff\xfe;\xc3\x28;FLOAT\n") << 1;
        QTest::newRow("no line end at all") << QByteArray("1;a;b;LONG") << 1;
        QTest::newRow("only line ends") << QByteArray("\n\r\n\r\r\n\n") << 0;
    }

    void oddTagLists()
    {
        QFETCH(QByteArray, csv);
        QFETCH(int, tags);
        const QString path = m_home.filePath(QStringLiteral("tags.csv"));
        QVERIFY(writeAll(path, csv));
        FileDataTree *tree = TgchFileProcessor::loadTagsFromCSV(path);
        QVERIFY(tree);
        QCOMPARE(tree->tags.size(), tags);
        destroyFileDataTree(tree);
    }

    // Characters an XML document cannot hold are left out by every writer, so
    // that a text holding one does not fail the whole save; everything else of
    // the text is written and read back.
    void unwritableCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("readBack");

        const QString pair = QString::fromUcs4(U"\U0001F6B0");
        QTest::newRow("plain") << QStringLiteral("Pump P-301") << QStringLiteral("Pump P-301");
        QTest::newRow("control character") << QStringLiteral("P\x13ump") << QStringLiteral("Pump");
        QTest::newRow("NUL") << QString(QStringLiteral("a%1b")).arg(QChar(0)) << QStringLiteral("ab");
        QTest::newRow("U+FFFE and U+FFFF") << QString::fromUtf16(u"x\uFFFEy\uFFFFz") << QStringLiteral("xyz");
        QTest::newRow("lone surrogates") << QString(QChar(0xD800)) + "a" + QChar(0xDC00) << QStringLiteral("a");
        QTest::newRow("surrogate pair kept") << "a" + pair + "b" << "a" + pair + "b";
        QTest::newRow("tab kept") << QStringLiteral("a\tb") << QStringLiteral("a\tb");
        QTest::newRow("only unwritable") << QStringLiteral("\x01\x02") << QString();
    }

    void unwritableCharacters()
    {
        QFETCH(QString, text);
        QFETCH(QString, readBack);
        QTemporaryDir dir;

        auto *page = new ScaFileData;
        auto *item = new TextItemLoadData_t;
        item->common = new ItemCommonData_t;
        item->ItemText = text;
        item->Family = text;
        page->textItems << item;
        page->pageProperties.pageName = text;
        const QString pagePath = dir.filePath(QStringLiteral("page.xml"));
        QVERIFY(ScaFileProcessor::saveFileData(page, pagePath));
        destroyScaFileData(page);
        page = ScaFileProcessor::loadFileData(readAll(pagePath), QStringLiteral("page.xml"));
        QVERIFY(page);
        QCOMPARE(page->pageProperties.pageName, readBack);
        QCOMPARE(page->textItems.size(), 1);
        QCOMPARE(page->textItems.first()->ItemText, readBack);
        destroyScaFileData(page);

        FileDataTree *tree = TgchFileProcessor::loadFileData(QByteArray("<CTDefinitions/>"));
        auto *tag = new pEtiketDef_t;
        tag->Name = text;        // CDATA
        tag->Description = text; // character data
        tree->tags << tag;
        const QString definitionsPath = dir.filePath(QStringLiteral("definitions.xml"));
        QVERIFY(TgchFileProcessor::writeToFile(tree, definitionsPath));
        destroyFileDataTree(tree);
        tree = TgchFileProcessor::loadFileData(readAll(definitionsPath));
        QCOMPARE(tree->tags.size(), 1);
        QCOMPARE(tree->tags.first()->Name, readBack);
        QCOMPARE(tree->tags.first()->Description, readBack);
        destroyFileDataTree(tree);

        ScadaEngine engine; // reads the previous row's user library file at start
        ScadaLibObject object;
        object.name = text;
        object.objectCategory = text;
        QVERIFY(engine.saveUserLibraryFile({&object}));
        const QString libraryPath = engine.getUserLibPath() + QStringLiteral("userlib.xml");
        const int before = engine.getUserObjectList().size();
        QVERIFY(engine.readLibDir(libraryPath));
        QCOMPARE(engine.getUserObjectList().size(), before + 1);
        QCOMPARE(engine.getUserObjectList().last()->name, readBack);
        QCOMPARE(engine.getUserObjectList().last()->objectCategory, readBack);
        qDeleteAll(engine.getUserObjectList());
    }

    // Every whole-file writer killed at a dozen points of its saves.
    void killedDefinitionsSave()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("definitions.xml"));
        FileDataTree *large = TgchFileProcessor::loadFileData(QByteArray("<CTDefinitions/>"));
        for (int i = 0; i < 20000; ++i) {
            auto *tag = new pEtiketDef_t;
            tag->Id = i;
            tag->Name = QStringLiteral("tag %1").arg(i);
            large->tags << tag;
        }
        FileDataTree *small = TgchFileProcessor::loadFileData(QByteArray("<CTDefinitions/>"));
        QCOMPARE(killedSaveProblem(path, [&] { return TgchFileProcessor::writeToFile(large, path); },
                                   [&] { return TgchFileProcessor::writeToFile(small, path); }, 1000000),
                 QString());
        destroyFileDataTree(large);
        destroyFileDataTree(small);

        // The writer from the editing tables.
        QStandardItemModel channels(3, 22);
        QStandardItemModel largeTags(8000, 25);
        QStandardItemModel smallTags(2, 25);
        for (QStandardItemModel *model : {&channels, &largeTags, &smallTags})
            for (int row = 0; row < model->rowCount(); ++row)
                for (int column = 0; column < model->columnCount(); ++column)
                    model->setItem(row, column, new QStandardItem(QString::number(row * 100 + column)));
        QCOMPARE(killedSaveProblem(path, [&] { return TgchFileProcessor::writeToFile(&channels, &largeTags, path); },
                                   [&] { return TgchFileProcessor::writeToFile(&channels, &smallTags, path); }, 1000000),
                 QString());
    }

    void killedUserLibrarySave()
    {
        ScadaEngine *engine = ScadaEngine::instance();
        const QString path = engine->getUserLibPath() + QStringLiteral("userlib.xml");
        QVERIFY(path.startsWith(m_home.path()));
        QList<ScadaLibObject *> large;
        for (int i = 0; i < 20000; ++i) {
            auto *object = new ScadaLibObject;
            object->name = QStringLiteral("component %1").arg(i);
            object->objectCategory = QStringLiteral("Valves");
            object->objectUID = i;
            object->images = {QStringLiteral("images/v%1-open.png").arg(i), QStringLiteral("images/v%1-closed.png").arg(i)};
            large << object;
        }
        const QList<ScadaLibObject *> small = large.mid(0, 3);
        QCOMPARE(killedSaveProblem(path, [&] { return engine->saveUserLibraryFile(large); },
                                   [&] { return engine->saveUserLibraryFile(small); }, 1000000),
                 QString());
        qDeleteAll(large);
    }
};

QTEST_MAIN(tst_Reliability)
#include "tst_reliability.moc"
