#include <zadururu/scene/projectDataTree.h>

#include <QtTest>

#include <cstdlib>

namespace {

ScaFileData *pageWith(int pageId, const QString &fileName, const QList<int> &uids)
{
    auto *file = new ScaFileData;
    file->pageProperties.pageID = pageId;
    file->pageProperties.fileName = fileName;
    for (int uid : uids) {
        auto *o = new ScadaObjectLoadData_t;
        o->common = new ItemCommonData_t;
        o->Uid = uid;
        file->scadaObjects << o;
    }
    return file;
}

// The values qrand() will produce next after seeding with @p seed.
QList<int> sequence(uint seed, int count)
{
    qsrand(seed);
    QList<int> values;
    for (int i = 0; i < count; ++i)
        values << qrand();
    qsrand(seed);
    return values;
}

} // namespace

class tst_ProjectDataTree : public QObject
{
    Q_OBJECT

private slots:
    void emptyTree();
    void lookups();
    void uniqueIdSinglePass_data();
    void uniqueIdSinglePass();
    void selfDestruct();
};

void tst_ProjectDataTree::emptyTree()
{
    ProjectDataTree tree;
    const QList<int> next = sequence(42, 1);
    QCOMPARE(tree.requestUniqueId(), next.first());
    QCOMPARE(tree.getBlock(0), nullptr);
    QVERIFY(tree.getFileNameContainingBlock(0).isNull());
    QVERIFY(tree.getFileNameWithPageId(-1).isNull());
    QCOMPARE(tree.getFiledataWithName("a"), nullptr);
    QVERIFY(!tree.containsFileName(""));
    QVERIFY(tree.getAllBlocks().isEmpty());
}

void tst_ProjectDataTree::lookups()
{
    ProjectDataTree tree;
    tree.files.insert("main.xml", pageWith(7, "stored-main.xml", {1, 2}));
    tree.files.insert("pumps.xml", pageWith(8, "stored-pumps.xml", {3}));
    tree.files.insert("twin.xml", pageWith(7, "stored-twin.xml", {}));

    QVERIFY(tree.containsFileName("main.xml"));
    QVERIFY(!tree.containsFileName("Main.xml"));
    QCOMPARE(tree.getFiledataWithName("pumps.xml"), tree.files.value("pumps.xml"));
    QCOMPARE(tree.getFileNameContainingBlock(3), QStringLiteral("pumps.xml"));
    QVERIFY(tree.getFileNameContainingBlock(9).isNull());
    // The page's own fileName, not the key; either page numbered 7 may answer.
    QCOMPARE(tree.getFileNameWithPageId(8), QStringLiteral("stored-pumps.xml"));
    QVERIFY((QStringList{"stored-main.xml", "stored-twin.xml"}).contains(tree.getFileNameWithPageId(7)));

    const QList<ScadaObjectLoadData_t *> all = tree.getAllBlocks();
    QCOMPARE(all.size(), 3);
    for (ScadaObjectLoadData_t *o : all)
        QCOMPARE(tree.getBlock(o->Uid), o);
    // Each file's instances stay together and in their own order.
    const int first = all.indexOf(tree.files.value("main.xml")->scadaObjects.first());
    QCOMPARE(all.value(first + 1), tree.files.value("main.xml")->scadaObjects.at(1));
    tree.selfDestruct();
}

void tst_ProjectDataTree::uniqueIdSinglePass_data()
{
    QTest::addColumn<int>("collisionsPlanted");
    QTest::addColumn<int>("expectedIndex"); // index into the generator's sequence

    QTest::newRow("no collision") << 0 << 0;
    QTest::newRow("first candidate taken") << 1 << 1;
    QTest::newRow("two in a row") << 2 << 2;
}

// Instances carrying the generator's next values, placed in visiting order,
// make each new candidate collide with the next record visited.
void tst_ProjectDataTree::uniqueIdSinglePass()
{
    QFETCH(int, collisionsPlanted);
    QFETCH(int, expectedIndex);
    const QList<int> next = sequence(7, 4);

    ProjectDataTree tree;
    tree.files.insert("only.xml", pageWith(1, "only.xml", next.mid(0, collisionsPlanted)));
    qsrand(7);
    QCOMPARE(tree.requestUniqueId(), next.at(expectedIndex));
    tree.selfDestruct();

    // A candidate drawn after a collision is not compared with records already
    // passed: the second draw equal to the first record's Uid is returned.
    ProjectDataTree behind;
    behind.files.insert("a.xml", pageWith(1, "a.xml", {next.at(1), next.at(0)}));
    qsrand(7);
    QCOMPARE(behind.requestUniqueId(), next.at(1));
    behind.selfDestruct();
}

void tst_ProjectDataTree::selfDestruct()
{
    ProjectDataTree tree;
    tree.files.insert("a.xml", pageWith(1, "a.xml", {1, 2, 3}));
    tree.files.insert("b.xml", pageWith(2, "b.xml", {}));
    tree.files.insert("null.xml", nullptr);
    tree.selfDestruct();
    QVERIFY(tree.files.isEmpty());
    QVERIFY(!tree.containsFileName("a.xml"));
    QVERIFY(tree.getAllBlocks().isEmpty());
    tree.selfDestruct(); // nothing left to destroy
}

QTEST_MAIN(tst_ProjectDataTree)
#include "tst_projectdatatree.moc"
