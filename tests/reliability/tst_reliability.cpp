// What every reader does with input that no editor wrote, and what every
// whole-file writer leaves behind when its process dies in the middle.

#include "../common/files.h"
#include "../common/killedSave.h"
#include "../common/sanitizers.h"

#include <zadururu/common/xmlLimits.h>
#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/library/scadaEngine.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QDir>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

namespace {

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

    void nestingLimit_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<bool>("tooDeep");

        const int limit = ZadUruru::maxXmlNestingDepth;
        QTest::newRow("at the limit, 256") << nested("a", 256) << false;
        QTest::newRow("one past the limit") << nested("a", 257) << true;
        QTest::newRow("past the limit, never closed") << QByteArray("<a>").repeated(limit + 1) << true;
        QTest::newRow("siblings do not add up") << QByteArray("<a><b></b></a>").repeated(5000) << false;
        QTest::newRow("self-closing elements do not nest")
            << nested("a", limit - 1, QByteArray("<b x='1'/>").repeated(1000)) << false;
        QTest::newRow("attributes on open tags count") << nested("a x=\"1\" y='2'", limit + 1).replace("</a x=\"1\" y='2'>", "</a>") << true;
        QTest::newRow("markup in a comment")
            << "<r><!--" + QByteArray("<a>").repeated(1000) + "--></r>" << false;
        QTest::newRow("markup in CDATA")
            << "<r><![CDATA[" + QByteArray("<a>").repeated(1000) + "]]></r>" << false;
        QTest::newRow("markup in an attribute value")
            << "<r v=\"" + QByteArray("<a>").repeated(1000) + "\" w='" + QByteArray("<b>").repeated(1000) + "'/>" << false;
        QTest::newRow("'>' in an attribute value")
            << nested("a v=\">\"", limit + 1).replace("</a v=\">\">", "</a>") << true;
        QTest::newRow("markup in a processing instruction")
            << "<?pi " + QByteArray("<a>").repeated(1000) + "?><r/>" << false;
        QTest::newRow("markup in the document type")
            << "<!DOCTYPE r [" + QByteArray("<!ELEMENT a ANY>").repeated(1000) + "]><r/>" << false;
        QTest::newRow("deep inside the limit after a comment")
            << "<!-- <a> -->" + nested("a", limit + 1) << true;
        // What follows a comment, CDATA section or processing instruction
        // right after its end still counts, and the next one's end is not taken for it.
        QTest::newRow("after an empty comment") << "<r><!---->" + nested("a", limit) + "<!--x--></r>" << true;
        QTest::newRow("after an empty CDATA section")
            << "<r><![CDATA[]]>" + nested("a", limit) + "<![CDATA[x]]></r>" << true;
        QTest::newRow("after a processing instruction") << "<r><?pi?>" + nested("a", limit) + "<?pi?></r>" << true;
        QTest::newRow("stray ']' in a tag") << "<r x]>" + nested("a", limit) + "</r>" << true;
        QTest::newRow("stray end tags do not lower the depth") << "</x></x>" + nested("a", limit + 1) << true;
        QTest::newRow("nor raise it") << "</x>" + nested("a", limit) << false;
        QTest::newRow("an end tag closes one level") << "<x></x>" + nested("a", limit + 1) << true;
        QTest::newRow("quote in CDATA") << "<r><![CDATA[\"]]>" + nested("a", limit) + "</r>" << true;
        QTest::newRow("cut inside the tag past the limit") << QByteArray("<a>").repeated(256) + "<b" << true;
        QTest::newRow("cut before the end of an empty tag") << QByteArray("<a>").repeated(256) + "<b/" << true;
        QTest::newRow("cut at the start of an end tag") << QByteArray("<a>").repeated(256) + "</" << false;
        QTest::newRow("unterminated comment") << "<r><!--" + QByteArray("<a>").repeated(1000) << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("a lone '<'") << QByteArray("<") << false;
    }

    void nestingLimit()
    {
        QFETCH(QByteArray, document);
        QFETCH(bool, tooDeep);
        QCOMPARE(ZadUruru::isTooDeeplyNested(document), tooDeep);
        // Data without a terminator, as from a mapped file: what lies past its
        // end is never read, here a '>' that would close the last tag.
        const QByteArray buffer = document + '>';
        QCOMPARE(ZadUruru::isTooDeeplyNested(QByteArray::fromRawData(buffer.constData(), document.size())), tooDeep);
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
