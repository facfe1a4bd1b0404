// The calls a host plugin reaches for first: a file loaded from its path,
// imported tags merged into a tree, the owning containers that cannot be
// copied, and the version the plugin runs with.

#include "../common/files.h"
#include "../common/toolProcess.h"

#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/scene/projectDataTree.h>
#include <zadururu/scene/scaFileProcessor.h>
#include <zadururu/zadururu_version.h>

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>
#include <memory>
#include <type_traits>

namespace {

using Tree = std::unique_ptr<FileDataTree, void (*)(FileDataTree *)>;
using Page = std::unique_ptr<ScaFileData, void (*)(ScaFileData *)>;

constexpr int maxId = std::numeric_limits<int>::max();

// Tag names and ids of @p tree, "name=id", in list order; "null" for a missing tree.
QString tagsOf(const FileDataTree *tree)
{
    if (!tree)
        return QStringLiteral("null");
    QStringList tags;
    for (const pEtiketDef_t *tag : tree->tags)
        tags << (tag ? tag->Name + '=' + QString::number(tag->Id) : QStringLiteral("(null)"));
    return QStringLiteral("channels %1: %2").arg(tree->channels.size()).arg(tags.join(' '));
}

// A tree of tags named after their ids ("t5"), or a null entry for each id given as nullId.
constexpr int nullId = std::numeric_limits<int>::min();
FileDataTree *treeOf(const QList<int> &ids, const QString &prefix)
{
    auto *tree = new FileDataTree;
    for (int id : ids) {
        if (id == nullId) {
            tree->tags << nullptr;
            continue;
        }
        tree->tags << new pEtiketDef_t;
        tree->tags.last()->Id = id;
        tree->tags.last()->Name = prefix + QString::number(id);
    }
    return tree;
}

const QByteArray definitions = "<CTDefinitions><ChannelList><Channel><Name>Line</Name></Channel></ChannelList>"
                               "<TagList><Tag><Name>Level</Name><Id>4</Id></Tag></TagList></CTDefinitions>";
const QByteArray page = "<ScadaFile><ItemList><Item><ItemType>ScadaObject</ItemType><Properties Uid=\"77\"/></Item>"
                        "</ItemList><PageProperties><pageName>Main</pageName><fileName>stored.xml</fileName>"
                        "</PageProperties></ScadaFile>";

} // namespace

class tst_HostCalls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void definitionsFromPath_data();
    void definitionsFromPath();
    void sceneFromPath_data();
    void sceneFromPath();
    void mergeImportedTags_data();
    void mergeImportedTags();
    void mergeRefused();
    void importRefusedByTheTool();
    void notCopyable_data();
    void notCopyable();
    void version();

private:
    QTemporaryDir m_dir;
    QString m_startDir;
};

void tst_HostCalls::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // The literal paths below are relative to the temporary folder.
    m_startDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    QVERIFY(QDir().mkdir("folder"));
}

void tst_HostCalls::cleanupTestCase()
{
    QDir::setCurrent(m_startDir);
}

void tst_HostCalls::definitionsFromPath_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<QString>("expected");

    QTest::newRow("definitions") << definitions << "channels 2: Level=4";
    QTest::newRow("no file") << QByteArray() << "null";
    QTest::newRow("not well-formed") << QByteArray("<CTDefinitions><TagList>") << "channels 1: ";
    QTest::newRow("empty file") << QByteArray("") << "channels 1: ";
}

// Every way of naming the file loads the same; a path held in bytes is XML.
void tst_HostCalls::definitionsFromPath()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    QFile::remove("definitions.xml");
    if (!content.isNull())
        QVERIFY(writeAll("definitions.xml", content));

    const Tree literal(TgchFileProcessor::loadFileData("definitions.xml"), destroyFileDataTree);
    QCOMPARE(tagsOf(literal.get()), expected);
    char argument[] = "definitions.xml"; // as from argv
    const Tree mutableChars(TgchFileProcessor::loadFileData(argument), destroyFileDataTree);
    QCOMPARE(tagsOf(mutableChars.get()), expected);
    const Tree text(TgchFileProcessor::loadFileData(QStringLiteral("definitions.xml")), destroyFileDataTree);
    QCOMPARE(tagsOf(text.get()), expected);
    const Tree absolute(TgchFileProcessor::loadFileData(m_dir.filePath("definitions.xml")), destroyFileDataTree);
    QCOMPARE(tagsOf(absolute.get()), expected);

    const Tree pathAsBytes(TgchFileProcessor::loadFileData(QByteArray("definitions.xml")), destroyFileDataTree);
    QCOMPARE(tagsOf(pathAsBytes.get()), QStringLiteral("channels 1: "));
}

void tst_HostCalls::sceneFromPath_data()
{
    QTest::addColumn<QString>("file");     // written with the page's bytes unless empty
    QTest::addColumn<QString>("path");     // what the host passes
    QTest::addColumn<QString>("expected"); // fileName and Uids, or "null"

    QTest::newRow("relative") << "main.xml" << "main.xml" << "main.xml 77";
    QTest::newRow("in a folder") << "folder/pumps.xml" << "folder/pumps.xml" << "pumps.xml 77";
    QTest::newRow("dot segments") << "folder/pumps.xml" << "./folder/../folder/pumps.xml" << "pumps.xml 77";
    QTest::newRow("no file") << "" << "missing.xml" << "null";
    QTest::newRow("a folder") << "" << "folder" << "null";
}

void tst_HostCalls::sceneFromPath()
{
    QFETCH(QString, file);
    QFETCH(QString, path);
    QFETCH(QString, expected);
    if (!file.isEmpty())
        QVERIFY(writeAll(file, page));
    const auto describe = [](const ScaFileData *data) {
        if (!data)
            return QStringLiteral("null");
        QString text = data->pageProperties.fileName;
        for (const ScadaObjectLoadData_t *object : data->scadaObjects)
            text += ' ' + QString::number(object->Uid);
        return text;
    };
    const Page text(ScaFileProcessor::loadFileData(path), destroyScaFileData);
    QCOMPARE(describe(text.get()), expected);
    const QByteArray native = QFile::encodeName(path);
    const Page chars(ScaFileProcessor::loadFileData(native.constData()), destroyScaFileData);
    QCOMPARE(describe(chars.get()), expected);
    const Page absolute(ScaFileProcessor::loadFileData(m_dir.filePath(path)), destroyScaFileData);
    QCOMPARE(describe(absolute.get()), expected);
}

void tst_HostCalls::mergeImportedTags_data()
{
    QTest::addColumn<QList<int>>("into");     // ids of the tree's tags
    QTest::addColumn<QList<int>>("imported"); // ids the import gave its tags, nullId for a null entry
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("tags");        // the tree's tags afterwards

    QTest::newRow("empty tree") << QList<int>{} << QList<int>{0, 0} << 2 << "i0=1 i0=2";
    QTest::newRow("after the highest, not the last")
        << QList<int>{5, 9, 3} << QList<int>{0, 7} << 2 << "t5=5 t9=9 t3=3 i0=10 i7=11";
    QTest::newRow("ids of 0 and below") << QList<int>{-4, 0} << QList<int>{0} << 1 << "t-4=-4 t0=0 i0=1";
    QTest::newRow("nothing imported") << QList<int>{7} << QList<int>{} << 0 << "t7=7";
    QTest::newRow("null entries")
        << QList<int>{nullId, 2} << QList<int>{1, nullId, 3} << 2 << "(null) t2=2 i1=3 i3=4";
    QTest::newRow("the last ids fit")
        << QList<int>{maxId - 2} << QList<int>{0, 0} << 2
        << QStringLiteral("t%1=%1 i0=%2 i0=%3").arg(maxId - 2).arg(maxId - 1).arg(maxId);
    QTest::newRow("one id too many")
        << QList<int>{maxId - 2} << QList<int>{0, 0, 0} << -1 << QStringLiteral("t%1=%1").arg(maxId - 2);
    QTest::newRow("the largest id taken")
        << QList<int>{1, maxId} << QList<int>{0} << -1 << QStringLiteral("t1=1 t%1=%1").arg(maxId);
    QTest::newRow("the largest id taken, nothing imported")
        << QList<int>{maxId} << QList<int>{nullId} << 0 << QStringLiteral("t%1=%1").arg(maxId);
}

// Each record ends in exactly one tree: freeing both frees it once (a
// double free aborts, and the sanitizers name it).
void tst_HostCalls::mergeImportedTags()
{
    QFETCH(QList<int>, into);
    QFETCH(QList<int>, imported);
    QFETCH(int, result);
    QFETCH(QString, tags);

    const Tree tree(treeOf(into, "t"), destroyFileDataTree);
    const Tree import(treeOf(imported, "i"), destroyFileDataTree);
    import->channels << new pKanalDef_t;
    import->alarms << new pAlarmItem_t;
    const QList<pEtiketDef_t *> before = import->tags;

    QCOMPARE(TgchFileProcessor::mergeImportedTags(tree.get(), import.get()), result);
    QCOMPARE(tagsOf(tree.get()), "channels 0: " + tags);
    QCOMPARE(import->tags, result < 0 ? before : QList<pEtiketDef_t *>());
    // The records themselves move, not copies of them.
    QList<pEtiketDef_t *> moved = before;
    moved.removeAll(nullptr);
    QCOMPARE(tree->tags.mid(into.size()), result < 0 ? QList<pEtiketDef_t *>() : moved);
    QCOMPARE(import->channels.size() + import->alarms.size(), 2);
}

void tst_HostCalls::mergeRefused()
{
    const Tree tree(treeOf({3}, "t"), destroyFileDataTree);
    const Tree import(treeOf({1}, "i"), destroyFileDataTree);
    QCOMPARE(TgchFileProcessor::mergeImportedTags(nullptr, import.get()), -1);
    QCOMPARE(TgchFileProcessor::mergeImportedTags(tree.get(), nullptr), -1);
    QCOMPARE(TgchFileProcessor::mergeImportedTags(tree.get(), tree.get()), -1);
    QCOMPARE(tagsOf(tree.get()) + " | " + tagsOf(import.get()), QStringLiteral("channels 0: t3=3 | channels 0: i1=1"));
}

// The tool says why, and leaves the definitions file as it was.
void tst_HostCalls::importRefusedByTheTool()
{
    const QByteArray full = "<CTDefinitions><TagList><Tag><Name>Top</Name><Id>2147483647</Id></Tag></TagList>"
                            "</CTDefinitions>";
    QVERIFY(writeAll("full.xml", full));
    QVERIFY(writeAll("tags.csv", "1;100;Pump;WORD\n"));
    const ToolRun run = runTool(ZADURURU_TOOL, {"import-csv", "tags.csv", "--into", "full.xml"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("after 2147483647") && run.err.contains("nothing was changed"), qPrintable(run.err));
    QCOMPARE(readAll("full.xml"), full);
}

void tst_HostCalls::notCopyable_data()
{
    QTest::addColumn<bool>("constructible");
    QTest::addColumn<bool>("copyConstructible");
    QTest::addColumn<bool>("copyAssignable");

    // A copy would share the record pointers, and freeing both would free them twice.
    QTest::newRow("ProjectDataTree") << std::is_default_constructible<ProjectDataTree>::value
                                     << std::is_copy_constructible<ProjectDataTree>::value
                                     << std::is_copy_assignable<ProjectDataTree>::value;
    QTest::newRow("ScaFileData") << std::is_default_constructible<ScaFileData>::value
                                 << std::is_copy_constructible<ScaFileData>::value
                                 << std::is_copy_assignable<ScaFileData>::value;
    QTest::newRow("FileDataTree") << std::is_default_constructible<FileDataTree>::value
                                  << std::is_copy_constructible<FileDataTree>::value
                                  << std::is_copy_assignable<FileDataTree>::value;
}

void tst_HostCalls::notCopyable()
{
    QFETCH(bool, constructible);
    QFETCH(bool, copyConstructible);
    QFETCH(bool, copyAssignable);
    QVERIFY(constructible);
    QVERIFY(!copyConstructible);
    QVERIFY(!copyAssignable);
}

// The library reports the version it was built as, in both forms.
void tst_HostCalls::version()
{
    QCOMPARE(QString::fromLatin1(ZadUruru::versionString()), QStringLiteral(ZADURURU_PROJECT_VERSION));
    const QStringList parts = QStringLiteral(ZADURURU_PROJECT_VERSION).split('.');
    QCOMPARE(parts.size(), 3);
    const unsigned int number = parts.at(0).toUInt() << 16 | parts.at(1).toUInt() << 8 | parts.at(2).toUInt();
    QCOMPARE(ZadUruru::version(), number);
    QCOMPARE(unsigned(ZADURURU_VERSION), number);
    QCOMPARE(QStringLiteral(ZADURURU_VERSION_STRING), QStringLiteral(ZADURURU_PROJECT_VERSION));
    QCOMPARE(QStringLiteral("%1.%2.%3").arg(ZADURURU_VERSION_MAJOR).arg(ZADURURU_VERSION_MINOR)
                 .arg(ZADURURU_VERSION_PATCH), QStringLiteral(ZADURURU_PROJECT_VERSION));
    QVERIFY(ZADURURU_VERSION_CHECK(1, 2, 3) == 0x010203 && ZADURURU_VERSION >= ZADURURU_VERSION_CHECK(1, 1, 0));
}

QTEST_MAIN(tst_HostCalls)
#include "tst_hostCalls.moc"
