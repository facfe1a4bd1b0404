#include "libraryJob.h"

#include <zadururu/library/scadaLibObject.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

class tst_LibraryJob : public QObject
{
    Q_OBJECT

private slots:
    void missing_data()
    {
        QTest::addColumn<QStringList>("used");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("nothing used") << QStringList() << QStringList();
        QTest::newRow("by name") << QStringList({"pump", "tank"}) << QStringList();
        QTest::newRow("by id") << QStringList({"0", "3"}) << QStringList();
        QTest::newRow("unknown name") << QStringList({"pump", "pipe"}) << QStringList({"pipe"});
        QTest::newRow("unknown id") << QStringList({"7"}) << QStringList({"7"});
        QTest::newRow("reported once, in order")
            << QStringList({"pipe", "x", "pipe", "tank", "x"}) << QStringList({"pipe", "x"});
        QTest::newRow("empty text skipped") << QStringList({""}) << QStringList();
        QTest::newRow("names are case-sensitive") << QStringList({"Pump"}) << QStringList({"Pump"});
        QTest::newRow("id with sign is another text") << QStringList({"+1"}) << QStringList({"+1"});
    }

    void missing()
    {
        QFETCH(QStringList, used);
        QFETCH(QStringList, expected);
        ScadaLibObject pump, tank, motor;
        pump.name = "pump";
        pump.objectUID = 0;
        tank.name = "tank";
        tank.objectUID = 1;
        motor.name = "motor";
        motor.objectUID = 3;
        QCOMPARE(componentsMissingFromLibrary({&pump, &tank, &motor}, used), expected);
    }

    void exampleLibrary()
    {
        QString errors;
        QTextStream err(&errors);
        bool ok = false;
        const QDir project(EXAMPLE_PROJECT);
        const QList<ScadaLibObject *> library = readProjectLibrary(project, err, &ok);
        QVERIFY2(ok, qPrintable(errors));
        QStringList names;
        for (const ScadaLibObject *object : library) {
            names << object->name;
            QVERIFY(!object->isUserObject);
            for (const QString &image : object->images)
                QVERIFY2(QFileInfo::exists(project.filePath("library/" + image)), qPrintable(image));
        }
        QCOMPARE(names, QStringList({"pump", "tank", "valve", "motor", "level", "pipe"}));
        QCOMPARE(componentsMissingFromLibrary(library, {"pump", "drain", "valve"}), QStringList({"drain"}));

        QString report;
        QTextStream out(&report);
        QVERIFY(runLibraryJob(project, {"drain", "motor"}, out, err));
        out.flush();
        QVERIFY2(report.contains("6 components"), qPrintable(report));
        QVERIFY2(report.contains("used by the pages but not in the library: drain\n"), qPrintable(report));
        QVERIFY2(!report.contains("(missing)"), qPrintable(report));
    }

    void brokenLibrary()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("library"));
        QFile file(dir.filePath("library/objlib.xml"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<scadaObjectTypes><object");
        file.close();
        QString text;
        QTextStream stream(&text);
        QVERIFY(!runLibraryJob(QDir(dir.path()), {}, stream, stream));
        stream.flush();
        QVERIFY2(text.contains("cannot read the component library"), qPrintable(text));
        // No library file at all is not an error.
        QVERIFY(file.remove());
        QVERIFY(runLibraryJob(QDir(dir.path()), {}, stream, stream));
    }
};

QTEST_GUILESS_MAIN(tst_LibraryJob)
#include "tst_libraryJob.moc"
