// The scene reader in a host without a GUI application: no font system to
// measure texts with, which must not bring the host down.

#include <zadururu/scene/scaFileProcessor.h>

#include <QtTest>

class tst_Headless : public QObject
{
    Q_OBJECT

private slots:
    void textItemWithoutStoredSize();
};

void tst_Headless::textItemWithoutStoredSize()
{
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no GUI application"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no GUI application"));
    const QByteArray page = "<ScadaFile><ItemList>"
                            "<Item><ItemType>TextItem</ItemType><ItemText>Tank farm</ItemText></Item>"
                            "<Item><ItemType>TextItem</ItemType><ItemText>Pumps</ItemText><Width>120</Width></Item>"
                            "<Item><ItemType>TextItem</ItemType><Width>80</Width><Height>20</Height></Item>"
                            "</ItemList></ScadaFile>";
    ScaFileData *file = ScaFileProcessor::loadFileData(page, QStringLiteral("page.xml"));
    QVERIFY(file);
    QCOMPARE(file->textItems.size(), 3);
    QCOMPARE(file->textItems.at(0)->ItemText, QStringLiteral("Tank farm"));
    QCOMPARE(file->textItems.at(0)->common->W, 0);
    QCOMPARE(file->textItems.at(0)->common->H, 0);
    QCOMPARE(file->textItems.at(1)->common->W, 120); // a stored size is still read
    QCOMPARE(file->textItems.at(1)->common->H, 0);
    QCOMPARE(file->textItems.at(2)->common->W, 80);
    QCOMPARE(file->textItems.at(2)->common->H, 20);
    destroyScaFileData(file);
}

QTEST_GUILESS_MAIN(tst_Headless)
#include "tst_headless.moc"
