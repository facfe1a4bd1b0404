#include <zadururu/definitions/tgchFileProcessor.h>

#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

static void freeTree(FileDataTree *tree)
{
    if (!tree)
        return;
    qDeleteAll(tree->channels);
    qDeleteAll(tree->tags);
    qDeleteAll(tree->alarms);
    delete tree;
}

static QByteArray wrap(const QByteArray &lists)
{
    return "<?xml version=\"1.0\"?><CTDefinitions>" + lists + "</CTDefinitions>";
}

class TestTgchFileProcessor : public QObject
{
    Q_OBJECT
private slots:
    void brokenInput_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not-well-formed") << QByteArray("<CTDefinitions><ChannelList>");
        QTest::newRow("no-lists") << wrap("");
        QTest::newRow("other-root") << QByteArray("<Other><Junk/></Other>");
    }
    void brokenInput()
    {
        QFETCH(QByteArray, data);
        FileDataTree *tree = TgchFileProcessor::loadFileData(data);
        QVERIFY(tree);
        QCOMPARE(tree->channels.size(), 1);
        QCOMPARE(tree->channels.at(0)->Name, QString("None"));
        QCOMPARE(tree->channels.at(0)->ServerPORT, 1080u);
        QVERIFY(tree->tags.isEmpty());
        QVERIFY(tree->alarms.isEmpty());
        freeTree(tree);
    }

    void noneChannels()
    {
        FileDataTree *tree = TgchFileProcessor::loadFileData(wrap(
            "<TagList><Tag><Id>4</Id></Tag></TagList><ChannelList>"
            "<Channel><Name>None</Name><Id>9</Id></Channel><Tag/>"
            "<Channel><Name>none</Name></Channel><Channel><Name><![CDATA[ None]]></Name></Channel>"
            "<Channel><Name>none</Name></Channel></ChannelList>"));
        QCOMPARE(tree->channels.size(), 4);
        QCOMPARE(tree->channels.at(0)->Id, -1);
        QCOMPARE(tree->channels.at(2)->Name, QString(" None"));
        QCOMPARE(tree->channels.at(1)->Id, -1);
        QCOMPARE(tree->tags.size(), 1);
        QCOMPARE(tree->tags.at(0)->Id, 4);
        freeTree(tree);
    }

    void conversions()
    {
        FileDataTree *tree = TgchFileProcessor::loadFileData(wrap(
            "<ChannelList><Channel><Name>A</Name><Enabled>true</Enabled>"
            "<ServerPORT>4294967295</ServerPORT><Station> </Station></Channel></ChannelList>"
            "<TagList><Tag><PriLevel>300</PriLevel><TagType>200</TagType><IsLogging>-1</IsLogging>"
            "<ReadRight1>9223372036854775807</ReadRight1><Kanal_Id></Kanal_Id></Tag></TagList>"
            "<AlarmList><Alarm><limitVal>1e39</limitVal><subscribers>{5,,x,7}</subscribers></Alarm></AlarmList>"));
        const pKanalDef_t *c = tree->channels.at(1);
        QCOMPARE(c->Enabled, false);
        QCOMPARE(c->ServerPORT, 4294967295u);
        QCOMPARE(c->Station, QString(" "));
        QCOMPARE(c->ServerIP, QString());
        const pEtiketDef_t *t = tree->tags.at(0);
        QCOMPARE(int(t->PriLevel), 44);
        QCOMPARE(int(t->TagType), -56);
        QCOMPARE(int(t->IsLogging), 255);
        QCOMPARE(t->ReadRight1, Q_INT64_C(9223372036854775807));
        QCOMPARE(t->Kanal_Id, 0);
        const pAlarmItem_t *a = tree->alarms.at(0);
        QCOMPARE(a->limitVal, 0.0);
        QCOMPARE(a->subscribers, QList<int>({5, 7}));
        QCOMPARE(a->Id, 0);
        QCOMPARE(a->alarm_class, QString());

        QTemporaryDir dir;
        const QString path = dir.filePath("d.xml");
        QVERIFY(TgchFileProcessor::writeToFile(tree, path));
        QVERIFY(!TgchFileProcessor::writeToFile(tree, dir.filePath("missing/d.xml")));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QDomDocument doc;
        QVERIFY(doc.setContent(&file));
        const QDomElement root = doc.documentElement();
        QCOMPARE(root.tagName(), QString("CTDefinitions"));
        const QDomElement tag = root.firstChildElement("TagList").firstChildElement("Tag");
        QCOMPARE(tag.firstChildElement("TagType").text(), QString("-56"));
        QCOMPARE(tag.firstChildElement("IsLogging").text(), QString("255"));
        QCOMPARE(tag.childNodes().count(), 25);
        const QDomElement alarm = root.firstChildElement("AlarmList").firstChildElement("Alarm");
        QCOMPARE(alarm.firstChildElement("subscribers").text(), QString("{5,7}"));
        QCOMPARE(alarm.childNodes().count(), 20);
        QVERIFY(root.firstChildElement("ChannelList").firstChildElement("Channel")
                    .firstChildElement("Name").firstChild().isCDATASection());

        FileDataTree *again = TgchFileProcessor::loadFileData(path);
        QVERIFY(again);
        QCOMPARE(again->channels.size(), 2);
        QCOMPARE(again->channels.at(1)->ServerPORT, 4294967295u);
        QCOMPARE(again->channels.at(1)->Station, QString(" "));
        QCOMPARE(int(again->tags.at(0)->TagType), -56);
        QCOMPARE(again->alarms.at(0)->subscribers, QList<int>({5, 7}));
        freeTree(again);
        freeTree(tree);
        QVERIFY(!TgchFileProcessor::loadFileData(dir.filePath("nope.xml")));
    }
    void writtenForms_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::newRow("pri-300") << "PriLevel" << "300" << "44";
        QTest::newRow("poll-negative") << "PollFrequency" << "-5" << "0";
        QTest::newRow("freq-big") << "LoggingFreq" << "1234567" << "1.23457e+06";
        QTest::newRow("freq-tenth") << "LoggingFreq" << "0.1" << "0.1";
        QTest::newRow("enabled-2") << "Enabled" << "2" << "1";
        QTest::newRow("enabled-word") << "Enabled" << "true" << "0";
        QTest::newRow("kanal-absent") << "Kanal_Id" << QString() << "-1";
        QTest::newRow("id-junk") << "Id" << "12abc" << "0";
        QTest::newRow("sched-129") << "SchedulerIndex" << "129" << "-127";
    }
    void writtenForms()
    {
        QFETCH(QString, element);
        QFETCH(QString, text);
        QFETCH(QString, written);
        const QByteArray child = text.isNull() ? QByteArray()
            : ("<" + element + ">" + text + "</" + element + ">").toUtf8();
        FileDataTree *tree = TgchFileProcessor::loadFileData(wrap("<TagList><Tag>" + child + "</Tag></TagList>"));
        QTemporaryDir dir;
        const QString path = dir.filePath("d.xml");
        QVERIFY(TgchFileProcessor::writeToFile(tree, path));
        freeTree(tree);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QDomDocument doc;
        QVERIFY(doc.setContent(&file));
        QCOMPARE(doc.documentElement().firstChildElement("TagList").firstChildElement("Tag")
                     .firstChildElement(element).text(), written);
    }
};

QTEST_GUILESS_MAIN(TestTgchFileProcessor)
#include "tst_tgchFileProcessor.moc"
