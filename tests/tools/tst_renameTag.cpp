#include "../common/toolProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using Run = ToolRun;

class TestRenameTag : public QObject
{
    Q_OBJECT
private slots:
    // A rename that is refused, or stopped by a full disk, leaves every file as it was.
    void renameRefused_data()
    {
        QTest::addColumn<QString>("project");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("fullDisk");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("no such id") << "plant" << QStringList{"--id", "999", "--to", "1000"} << QByteArray() << 1 << "no tag has the id 999";
        QTest::newRow("id taken") << "plant" << QStringList{"--id", "10", "--to", "11"} << QByteArray() << 1 << "a tag has the id 11 already";
        QTest::newRow("name taken") << "plant" << QStringList{"--name", "Pump_10", "--to", "Flow_02"} << QByteArray() << 1 << "a tag has the name \"Flow_02\"";
        QTest::newRow("no such name") << "plant" << QStringList{"--name", "Pump", "--to", "P"} << QByteArray() << 1 << "no tag has the name";
        QTest::newRow("two with the id") << "broken-readable" << QStringList{"--id", "12", "--to", "70"} << QByteArray() << 1 << "2 tags have the id 12";
        QTest::newRow("new id bound") << "broken-readable" << QStringList{"--id", "1", "--to", "58"} << QByteArray() << 1
                                      << "no tag has the id 58, but pages/tankfarm.xml binds it";
        QTest::newRow("unreadable page") << "broken" << QStringList{"--id", "1", "--to", "70"} << QByteArray() << 2 << "every file of the project must be read";
        QTest::newRow("no --to") << "plant" << QStringList{"--id", "10"} << QByteArray() << 2 << "--to NEW";
        QTest::newRow("id and name") << "plant" << QStringList{"--id", "10", "--name", "Pump_10", "--to", "9"} << QByteArray() << 2 << "--to NEW";
        QTest::newRow("to -1") << "plant" << QStringList{"--id", "10", "--to", "-1"} << QByteArray() << 2 << "other than -1";
        QTest::newRow("dry run") << "plant" << QStringList{"--id", "10", "--to", "900", "--dry-run"} << QByteArray() << 0
                                 << "";
        QTest::newRow("disk full, first file") << "plant" << QStringList{"--id", "10", "--to", "900"} << QByteArray("1") << 2 << "did not reach the disk whole";
        QTest::newRow("disk full, last file") << "plant" << QStringList{"--id", "10", "--to", "900"} << QByteArray("3") << 2 << "did not reach the disk whole";
    }
    void renameRefused()
    {
        QFETCH(QString, project);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, fullDisk);
        QTemporaryDir dir;
        const QString path = projectCopy(dir.path(), project);
        const auto before = folderContents(path);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ZADURURU_SIMULATE_FULL_DISK", fullDisk);
        const Run run = runTool(ZADURURU_TOOL, QStringList{"rename-tag", path} + arguments, environment);
        QTEST(run.exitCode, "exitCode");
        QFETCH(QString, message);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(folderContents(path) == before);
        if (run.exitCode == 0)
            QVERIFY(run.out.endsWith("Would rename tag Id 10 to 900: 3 files, 4 bindings.\n"));
    }

};

QTEST_GUILESS_MAIN(TestRenameTag)
#include "tst_renameTag.moc"
