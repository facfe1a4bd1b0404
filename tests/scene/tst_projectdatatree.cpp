#include <zadururu/scene/blockLoadData.h>
#include <zadururu/scene/projectDataTree.h>

#include <QtTest>

// The project's loaded pages and their component instances ("blocks").
namespace {

QList<ScadaObjectLoadData_t *> instances(const QList<int> &uids)
{
    QList<ScadaObjectLoadData_t *> list;
    for (int uid : uids) {
        list << new ScadaObjectLoadData_t;
        list.last()->common = new ItemCommonData_t;
        list.last()->Uid = uid;
    }
    return list;
}

ScaFileData *pageWith(int pageId, const QString &fileName, const QList<int> &uids)
{
    auto *file = new ScaFileData;
    file->pageProperties.pageID = pageId;
    file->pageProperties.fileName = fileName;
    file->scadaObjects = instances(uids);
    return file;
}

// The first four values qrand() gives after seeding with @p seed; the generator is left seeded so.
QList<int> sequence(uint seed)
{
    qsrand(seed);
    const QList<int> values{qrand(), qrand(), qrand(), qrand()};
    qsrand(seed);
    return values;
}

} // namespace

class tst_ProjectDataTree : public QObject
{
    Q_OBJECT

private slots:
    void records();
    void lookups();
    void uniqueId_data();
    void uniqueId();
};

void tst_ProjectDataTree::records()
{
    ScaFileData file;
    QVERIFY(file.pageProperties.W == -1 && file.pageProperties.H == -1 && file.hostFlag1 && !file.hostFlag2);
    file.scadaObjects = instances({5, 6, 5});
    QVERIFY(file.getBlock(5) == file.scadaObjects.at(0) && file.getBlock(6) == file.scadaObjects.at(1));
    QCOMPARE(file.getBlock(7), nullptr);
    const QList<ScadaObjectLoadData_t *> objects = file.scadaObjects;
    file.clear();
    QVERIFY(file.scadaObjects.isEmpty());
    file.scadaObjects = objects; // clear() destroyed nothing
    file.erase();
    QVERIFY(file.scadaObjects.isEmpty());
    destroyScaFileData(nullptr);

    const ScadaObjectLoadData_t fresh;
    QCOMPARE(fresh.labelText + fresh.labelStyleSheet, QStringLiteral("%.3ffont: 22px \"Arial\";"));
    BlockLoadData_t block;
    QVERIFY(!block.initDone && !block.hostSlot && !(block.hostWords[0] | block.hostWords[1] | block.hostWords[2]));
    block.init();
    block.init();
    QVERIFY(block.initDone);
}

void tst_ProjectDataTree::lookups()
{
    ProjectDataTree tree;
    QVERIFY(!tree.hostFlag0 && !tree.hostFlag2 && !tree.hostFlag3 && !tree.hostFlag4);
    QVERIFY(!tree.getBlock(0) && !tree.getFiledataWithName("a") && !tree.containsFileName(""));
    QVERIFY(tree.getFileNameContainingBlock(0).isNull() && tree.getFileNameWithPageId(-1).isNull());
    QVERIFY(tree.getAllBlocks().isEmpty());
    tree.files.insert("main.xml", pageWith(7, "stored-main.xml", {1, 2}));
    tree.files.insert("pumps.xml", pageWith(8, "stored-pumps.xml", {3}));
    tree.files.insert("twin.xml", pageWith(7, "stored-twin.xml", {4}));
    tree.files.insert("none.xml", nullptr);

    QVERIFY(tree.containsFileName("main.xml"));
    QVERIFY(!tree.containsFileName("Main.xml"));
    QCOMPARE(tree.getFiledataWithName("pumps.xml"), tree.files.value("pumps.xml"));
    // Whichever file the hash visits first, each instance is found in its own.
    const QHash<int, QString> owner{{1, "main.xml"}, {2, "main.xml"}, {3, "pumps.xml"}, {4, "twin.xml"}};
    for (auto it = owner.cbegin(); it != owner.cend(); ++it) {
        QCOMPARE(tree.getFileNameContainingBlock(it.key()), it.value());
        QVERIFY(tree.files.value(it.value())->scadaObjects.contains(tree.getBlock(it.key())));
    }
    QVERIFY(tree.getFileNameContainingBlock(9).isNull() && !tree.getBlock(9));
    // The page's own fileName, not the key; either page numbered 7 may answer.
    QCOMPARE(tree.getFileNameWithPageId(8), QStringLiteral("stored-pumps.xml"));
    QVERIFY((QStringList{"stored-main.xml", "stored-twin.xml"}).contains(tree.getFileNameWithPageId(7)));
    QVERIFY(tree.getFileNameWithPageId(9).isNull());

    const QList<ScadaObjectLoadData_t *> all = tree.getAllBlocks();
    QCOMPARE(all.size(), 4);
    for (ScadaObjectLoadData_t *o : all)
        QCOMPARE(tree.getBlock(o->Uid), o);
    // Each file's instances stay together and in their own order.
    const int first = all.indexOf(tree.files.value("main.xml")->scadaObjects.first());
    QCOMPARE(all.value(first + 1), tree.files.value("main.xml")->scadaObjects.at(1));
    tree.selfDestruct();
    QVERIFY(tree.files.isEmpty());
    QVERIFY(tree.getAllBlocks().isEmpty());
    tree.selfDestruct(); // nothing left to destroy
}

void tst_ProjectDataTree::uniqueId_data()
{
    QTest::addColumn<QList<int>>("uids");  // indexes into the generator's sequence; -1: an unused id
    QTest::addColumn<int>("expected");     // index of the id returned

    QTest::newRow("no instances") << QList<int>{} << 0;
    QTest::newRow("no collision") << QList<int>{-1, -1} << 0;
    QTest::newRow("first candidate taken") << QList<int>{-1, 0, -1} << 1;
    QTest::newRow("two in a row") << QList<int>{0, 1} << 2;
    // A new candidate is compared only with the records not yet visited.
    QTest::newRow("single pass") << QList<int>{1, 0} << 1;
}

void tst_ProjectDataTree::uniqueId()
{
    QFETCH(QList<int>, uids);
    QFETCH(int, expected);
    const QList<int> next = sequence(7);
    QList<int> values;
    for (int i : uids)
        values << (i < 0 ? -5 : next.at(i));
    ProjectDataTree tree;
    tree.files.insert("only.xml", pageWith(1, "only.xml", values));
    tree.files.insert("none.xml", nullptr);
    QCOMPARE(tree.requestUniqueId(), next.at(expected));
    tree.selfDestruct();
}

QTEST_MAIN(tst_ProjectDataTree)
#include "tst_projectdatatree.moc"
