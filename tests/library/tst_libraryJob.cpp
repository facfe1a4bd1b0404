#include "../common/files.h"
#include "libraryJob.h"

#include <zadururu/library/scadaLibObject.h>

#include <QtTest>

// The host's library job: which component texts of the pages name no
// component of the project's library, and its report.
class tst_LibraryJob : public QObject
{
    Q_OBJECT

private slots:
    void missing_data()
    {
        QTest::addColumn<QStringList>("used");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("by name and by id") << QStringList({"pump", "0", "3", ""}) << QStringList();
        QTest::newRow("once, in order") << QStringList({"pipe", "7", "pipe", "tank", "7"}) << QStringList({"pipe", "7"});
        QTest::newRow("exact texts only") << QStringList({"Pump", "+1"}) << QStringList({"Pump", "+1"});
    }

    void missing()
    {
        QFETCH(QStringList, used);
        QFETCH(QStringList, expected);
        ScadaLibObject pump, tank, unnamed;
        pump.name = "pump";
        tank.name = "tank";
        tank.objectUID = 1;
        unnamed.objectUID = 3;
        QCOMPARE(componentsMissingFromLibrary({&pump, &tank, &unnamed}, used), expected);
    }

    void report()
    {
        QString text;
        QTextStream out(&text);
        QVERIFY(runLibraryJob(QDir(EXAMPLE_PROJECT), {"drain", "motor"}, out, out));
        out.flush();
        QVERIFY2(text.contains(": 6 components\n") && text.contains("library: drain\n") && !text.contains("(missing)"),
                 qPrintable(text));

        QTemporaryDir dir; // a broken library file
        QVERIFY(QDir(dir.path()).mkpath("library") && writeAll(dir.filePath("library/objlib.xml"), "<object"));
        QVERIFY(!runLibraryJob(QDir(dir.path()), {}, out, out));
    }
};

QTEST_GUILESS_MAIN(tst_LibraryJob)
#include "tst_libraryJob.moc"
