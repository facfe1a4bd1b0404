#include "../common/files.h"
#include "../common/killedSave.h"
#include "fields.h"

#include <zadururu/scene/scaFileProcessor.h>

#include <QtTest>

#include <csignal>
#include <sys/resource.h>

// The scene file frame: parsing, page properties and the bytes a save writes.
// Runs without a GUI application, as a host without one would.
namespace {

struct FileDeleter
{
    static void cleanup(ScaFileData *file) { destroyScaFileData(file); }
};
using FilePtr = QScopedPointer<ScaFileData, FileDeleter>;

ScaFileData *load(const QByteArray &data, const QString &fileName = QString())
{
    return ScaFileProcessor::loadFileData(data, fileName);
}

QString fields(const PagePropertiesData_t &r)
{
    QStringList scroll;
    for (const ScrollingText &t : r.ScrollTags)
        scroll << QString::number(t.TagID) + ':' + t.ScrollText;
    return QStringList{FIELD(pageName), FIELD(fileName), FIELD(relativePath), FIELD(pageID), FIELD(pageAux),
                       FIELD(W), FIELD(H), FIELD(pageBgImage), FIELD(pageIcon), FIELD(pageType), FIELD(customPageSize),
                       FIELD(addScrollingText), FIELD(pageAccessRights), FIELD(pageAccessRights2),
                       FIELD(scaleToWindow), "ScrollTags=" + scroll.join(',')}
        .join('|');
}

const char *const pageDefaults = "pageName=|fileName=|relativePath=|pageID=-1|pageAux=-1|W=250|H=150|pageBgImage=|"
                                 "pageIcon=|pageType=0|customPageSize=0|addScrollingText=0|pageAccessRights=0|"
                                 "pageAccessRights2=0|scaleToWindow=0|ScrollTags=";

QString mixedSavedAs(const QString &path)
{
    return QString::fromUtf8(readAll(QFINDTESTDATA("testdata/mixed-saved.xml"))).replace("@PATH@", path);
}

} // namespace

class tst_ScaFileProcessor : public QObject
{
    Q_OBJECT

private slots:
    void notWellFormed_data();
    void notWellFormed();
    void pageProperties_data();
    void pageProperties();
    void fileNameArgument();
    void savedBytes();
    void unwritableCharacters();
    void textItemWithoutGui();
    void saveFailures();
    void writeErrorKeepsOldFile();
    void killedSaveKeepsWholeFile();
};

void tst_ScaFileProcessor::notWellFormed_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("blank") << QByteArray("   \n");
    QTest::newRow("truncated") << QByteArray("<ScadaFile><ItemList><Item>");
    QTest::newRow("mismatched") << QByteArray("<ScadaFile></Scadafile>");
    QTest::newRow("two roots") << QByteArray("<a/><b/>");
}

void tst_ScaFileProcessor::notWellFormed()
{
    QFETCH(QByteArray, data);
    QCOMPARE(load(data), nullptr);
    QCOMPARE(ScaFileProcessor::loadSceneData(data), nullptr);
}

void tst_ScaFileProcessor::pageProperties_data()
{
    QTest::addColumn<QByteArray>("properties");
    QTest::addColumn<QString>("expected"); // differences from the defaults, field=value|...

    QTest::newRow("none") << QByteArray() << QString();
    QTest::newRow("empty elements")
        << QByteArray("<pageName/><fileName/><relativePath/><pageID/><pageType/><customPageSize/><addScrollingText/>"
                      "<scaleToWindow/><pageBgImage/><pageIcon/><pageAccessRights/><pageAccessRights2/>"
                      "<pageGeometry/><ScrollTags/>")
        << "pageID=0";
    QTest::newRow("not numbers")
        << QByteArray("<pageID>abc</pageID><pageType>2x</pageType><scaleToWindow>-</scaleToWindow>"
                      "<pageGeometry W=\"wide\" H=\"\"/><pageAccessRights>9223372036854775808</pageAccessRights>")
        << "pageID=0|W=0|H=0";
    QTest::newRow("flags apart") << QByteArray("<customPageSize>0</customPageSize><addScrollingText>-2</addScrollingText>")
                                 << "addScrollingText=1";
    QTest::newRow("geometry W only") << QByteArray("<pageGeometry W=\"800\"/>") << "W=800";
    QTest::newRow("scroll tag defaults")
        << QByteArray("<ScrollTags><Tag/><Tag TagID=\"x\" ScrollText=\"\"/></ScrollTags>") << "ScrollTags=0:Text,0:";
}

void tst_ScaFileProcessor::pageProperties()
{
    QFETCH(QByteArray, properties);
    QFETCH(QString, expected);
    const QString want = withChanges(pageDefaults, expected);
    const QByteArray data = "<ScadaFile>" + (properties.isNull() ? QByteArray() : "<PageProperties>" + properties + "</PageProperties>")
                            + "</ScadaFile>";
    FilePtr file(load(data));
    QVERIFY(file);
    QCOMPARE(fields(file->pageProperties), want);
    QScopedPointer<PagePropertiesData_t> scene(ScaFileProcessor::loadSceneData(data));
    QVERIFY(scene);
    QCOMPARE(fields(*scene), want.section("|ScrollTags=", 0, 0) + "|ScrollTags=");
}

void tst_ScaFileProcessor::fileNameArgument()
{
    const QByteArray data = readAll(QFINDTESTDATA("testdata/mixed.xml"));
    QVERIFY(!data.isEmpty());
    FilePtr fromFile(load(data));
    QCOMPARE(fields(fromFile->pageProperties),
             QString("pageName=Pump station|fileName=old-name.xml|relativePath=pages/pumps.xml|pageID=3|pageAux=-1|"
                     "W=1280|H=800|pageBgImage=bg & sky.png|pageIcon=icon.png|pageType=4|customPageSize=1|"
                     "addScrollingText=1|pageAccessRights=-9223372036854775808|"
                     "pageAccessRights2=9223372036854775807|scaleToWindow=2|ScrollTags=5:Level high,0:Text,-6: spaced "));
    QScopedPointer<PagePropertiesData_t> scene(ScaFileProcessor::loadSceneData(data));
    QCOMPARE(fields(*scene), fields(fromFile->pageProperties).section("|ScrollTags=", 0, 0) + "|ScrollTags=");

    FilePtr empty(load(data, QStringLiteral("")));
    QVERIFY(!empty->pageProperties.fileName.isNull());
    QVERIFY(empty->pageProperties.fileName.isEmpty());
    FilePtr given(load(data, QStringLiteral("given.xml")));
    QCOMPARE(given->pageProperties.fileName, QStringLiteral("given.xml"));
}

// The exact bytes: declaration, four-space indentation, CDATA where texts go,
// items grouped by kind, the path as the file name, and the document's end.
void tst_ScaFileProcessor::savedBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("pumps.xml");
    FilePtr file(load(readAll(QFINDTESTDATA("testdata/mixed.xml"))));
    QVERIFY(file);
    QCOMPARE(file->labelTagIds, (QList<int>{2, 99}));
    file->pageProperties.pageAux = 5;
    QVERIFY(ScaFileProcessor::saveFileData(file.data(), path));
    QCOMPARE(QString::fromUtf8(readAll(path)), mixedSavedAs(path));

    // What was saved reads back to the same file, but for the text item's group Z
    // value, which is written where the reader does not look.
    FilePtr back(load(readAll(path)));
    QCOMPARE(back->pageProperties.pageAux, -1);
    QVERIFY(ScaFileProcessor::saveFileData(back.data(), path));
    QCOMPARE(QString::fromUtf8(readAll(path)), mixedSavedAs(path).replace("GZVAL=\"86\"", "GZVAL=\"0\""));

    FilePtr bare(load("<ScadaFile/>"));
    QVERIFY(ScaFileProcessor::saveFileData(bare.data(), path));
    QCOMPARE(QString::fromUtf8(readAll(path)),
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ScadaFile>\n    <ItemList/>\n    <PageProperties>\n"
             "        <pageName></pageName>\n        <fileName>" + path + "</fileName>\n"
             "        <relativePath></relativePath>\n        <pageID>-1</pageID>\n        <pageType>0</pageType>\n"
             "        <customPageSize>0</customPageSize>\n        <addScrollingText>0</addScrollingText>\n"
             "        <scaleToWindow>0</scaleToWindow>\n        <pageBgImage></pageBgImage>\n"
             "        <pageIcon></pageIcon>\n        <pageAccessRights>0</pageAccessRights>\n"
             "        <pageAccessRights2>0</pageAccessRights2>\n        <pageGeometry W=\"250\" H=\"150\"/>\n"
             "        <ScrollTags/>\n    </PageProperties>\n</ScadaFile>\n");
}

// Characters XML cannot hold are left out rather than failing the save.
void tst_ScaFileProcessor::unwritableCharacters()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.xml");
    const QString pair = QString::fromUcs4(U"\U0001F600");
    ScaFileData file;
    file.pageProperties.pageName = QString("a\x01 b\tc") + QChar(0xFFFE) + QChar(0xFFFD) + QChar(0xD800) + "d"
                                   + pair + QChar(0xDC00) + "e\x1F" + QChar(0xD83D);
    file.pageProperties.ScrollTags << ScrollingText{1, QString("x\x02y\nz")};
    auto *o = new ScadaObjectLoadData_t;
    o->common = new ItemCommonData_t;
    o->MacroText = QString("m\x0Bn\ro");
    file.scadaObjects << o;
    QVERIFY(ScaFileProcessor::saveFileData(&file, path));
    const QString saved = QString::fromUtf8(readAll(path));
    QVERIFY2(saved.contains("<pageName>a b\tc" + QString(QChar(0xFFFD)) + "d" + pair + "e</pageName>"), qPrintable(saved));
    QVERIFY(saved.contains("ScrollText=\"xy&#10;z\""));
    QVERIFY(saved.contains("<MacroText><![CDATA[mn\ro]]></MacroText>"));
    file.erase();
}

void tst_ScaFileProcessor::textItemWithoutGui()
{
    QTest::ignoreMessage(QtWarningMsg, "ScaFileProcessor: no GUI application to measure a text item; its missing size is 0");
    FilePtr file(load("<ScadaFile><ItemList><Item><ItemType>TextItem</ItemType><ItemText>abc</ItemText>"
                      "</Item></ItemList></ScadaFile>"));
    QCOMPARE(file->textItems.size(), 1);
    QCOMPARE(file->textItems.first()->common->W, 0);
    QCOMPARE(file->textItems.first()->common->H, 0);
}

void tst_ScaFileProcessor::saveFailures()
{
    QTemporaryDir dir;
    ScaFileData file;
    QVERIFY(!ScaFileProcessor::saveFileData(&file, dir.filePath("missing/page.xml")));
    QVERIFY(!ScaFileProcessor::saveFileData(&file, dir.path())); // a directory
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

static void addInstances(ScaFileData *file, int count, int textLength)
{
    for (int i = 0; i < count; ++i) {
        auto *o = new ScadaObjectLoadData_t;
        o->common = new ItemCommonData_t;
        o->Uid = i;
        o->MacroText = QString(textLength, QChar('a' + i % 26));
        file->scadaObjects << o;
    }
}

// A save that fails while writing (here: the file-size limit) reports it and keeps the old file.
void tst_ScaFileProcessor::writeErrorKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.xml");
    FilePtr file(load(readAll(QFINDTESTDATA("testdata/mixed.xml"))));
    QVERIFY(ScaFileProcessor::saveFileData(file.data(), path));
    const QByteArray old = readAll(path);
    addInstances(file.data(), 200, 10);

    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{rlim_t(old.size() + 4096), rlim_t(old.size() + 4096)};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(ScaFileProcessor::saveFileData(file.data(), path) ? 1 : 0);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0); // the save reported failure
    QCOMPARE(readAll(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"big.xml"});
}

// A save killed at any moment leaves the target whole: the old content or the new;
// a completed one leaves no temporary file.
void tst_ScaFileProcessor::killedSaveKeepsWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("page.xml");
    const QByteArray data = readAll(QFINDTESTDATA("testdata/mixed.xml"));
    FilePtr small(load(data)), large(load(data));
    addInstances(large.data(), 3000, 200);
    QCOMPARE(killedSaveProblem(path, [&] { return ScaFileProcessor::saveFileData(large.data(), path); },
                               [&] { return ScaFileProcessor::saveFileData(small.data(), path); }, 500000),
             QString());
}

QTEST_GUILESS_MAIN(tst_ScaFileProcessor)
#include "tst_scafileprocessor.moc"
