#include "../common/files.h"

#include <zadururu/definitions/tgchFileProcessor.h>
#include <tarnwickhost/openedFile.h>

#include <QDomDocument>
#include <QFile>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

static void freeTree(FileDataTree *tree)
{
    destroyFileDataTree(tree);
}


static bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A table of @p columns columns with one row per list of cell texts; a null
// text leaves its cell without an item.
static std::unique_ptr<QStandardItemModel> table(int columns, const QList<QStringList> &rows)
{
    auto model = std::make_unique<QStandardItemModel>(rows.size(), columns);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < columns && c < rows.at(r).size(); ++c)
            if (!rows.at(r).at(c).isNull())
                model->setItem(r, c, new QStandardItem(rows.at(r).at(c)));
    return model;
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

    // The example project's definitions survive load, write, load: the
    // second write gives the bytes of the first, so nothing the writer
    // writes changed on the way through the reader.
    void exampleRoundTrip()
    {
        FileDataTree *first = TgchFileProcessor::loadFileData(QStringLiteral(EXAMPLE_PROJECT "/definitions.xml"));
        QVERIFY(first);
        QVERIFY(first->channels.size() > 2);
        QVERIFY(first->tags.size() > 20);
        QVERIFY(!first->alarms.isEmpty());
        QTemporaryDir dir;
        QVERIFY(TgchFileProcessor::writeToFile(first, dir.filePath("a.xml")));
        FileDataTree *second = TgchFileProcessor::loadFileData(dir.filePath("a.xml"));
        QVERIFY(TgchFileProcessor::writeToFile(second, dir.filePath("b.xml")));
        QCOMPARE(second->channels.size(), first->channels.size());
        QCOMPARE(second->tags.size(), first->tags.size());
        QCOMPARE(second->alarms.size(), first->alarms.size());
        for (int i = 0; i < first->tags.size(); ++i)
            QCOMPARE(second->tags.at(i)->Name, first->tags.at(i)->Name);
        QCOMPARE(readAll(dir.filePath("b.xml")), readAll(dir.filePath("a.xml")));
        freeTree(first);
        freeTree(second);
    }

    // Each field is the first child element of its name, wherever it stands
    // among the others; a missing one takes its absent value.
    void fieldsInAnyOrder()
    {
        FileDataTree *tree = TgchFileProcessor::loadFileData(wrap(
            "<ChannelList><Channel><GroupID>4</GroupID><Station> </Station><x/><Name>A</Name>"
            "<Name>B</Name><Id>9</Id></Channel></ChannelList>"
            "<TagList><Tag><Protocolobjecttype>3</Protocolobjecttype><UnitName>bar</UnitName>"
            "<Other>9</Other><Name>first</Name><Name>second</Name>"
            "<Description>a<![CDATA[ <b>]]><!--note--> c</Description><Keywords>k<x>1</x>2</Keywords>"
            "<Id>7</Id><Id>8</Id></Tag>"
            "<Tag><Id>1</Id></Tag></TagList>"
            "<AlarmList><Alarm><currentState>2</currentState><subscribers>{3,4}</subscribers>"
            "<alarm_name>hot</alarm_name></Alarm></AlarmList>"));
        QCOMPARE(tree->channels.size(), 2);
        const pKanalDef_t *c = tree->channels.at(1);
        QCOMPARE(c->Name, QString("A"));
        QCOMPARE(c->Id, 9);
        QCOMPARE(c->GroupID, 4);
        QCOMPARE(c->Station, QString(" "));
        QCOMPARE(c->ServerPORT, 0u);
        QCOMPARE(c->Enabled, false);
        QCOMPARE(tree->tags.size(), 2);
        const pEtiketDef_t *t = tree->tags.at(0);
        QCOMPARE(t->Name, QString("first"));
        QCOMPARE(t->Id, 7);
        QCOMPARE(int(t->Protocolobjecttype), 3);
        QCOMPARE(t->UnitName, QString("bar"));
        QCOMPARE(t->Description, QString("a <b> c"));
        QCOMPARE(t->Keywords, QString("k12"));
        QCOMPARE(t->Kanal_Id, -1);
        QCOMPARE(t->PollFrequency, 0);
        QCOMPARE(t->DeviceAddress, QString());
        const pEtiketDef_t *u = tree->tags.at(1);
        QCOMPARE(u->Id, 1);
        QCOMPARE(u->Name, QString());
        QCOMPARE(u->Kanal_Id, -1);
        const pAlarmItem_t *a = tree->alarms.at(0);
        QCOMPARE(a->alarm_name, QString("hot"));
        QCOMPARE(a->subscribers, QList<int>({3, 4}));
        QCOMPARE(a->currentState, 2);
        QCOMPARE(a->Id, 0);
        QCOMPARE(a->tagID, 0);
        freeTree(tree);
    }

    // Texts that XML must escape come back as they were, through both writers.
    void awkwardTexts()
    {
        const QString name = QStringLiteral("a]]>b <&> \u00fc\u4e2d");
        FileDataTree tree;
        auto *channel = new pKanalDef_t;
        channel->Name = name;
        channel->FilterIP = QStringLiteral("x]]>y");
        tree.channels << channel;
        auto *tag = new pEtiketDef_t;
        tag->Name = name;
        tag->Macro = QStringLiteral("if a < b && c ]]> d");
        tree.tags << tag;
        QTemporaryDir dir;
        QVERIFY(TgchFileProcessor::writeToFile(&tree, dir.filePath("t.xml")));
        FileDataTree *back = TgchFileProcessor::loadFileData(dir.filePath("t.xml"));
        QCOMPARE(back->channels.size(), 2);
        QCOMPARE(back->channels.at(1)->Name, name);
        QCOMPARE(back->channels.at(1)->FilterIP, QString("x]]>y"));
        QCOMPARE(back->tags.at(0)->Name, name);
        QCOMPARE(back->tags.at(0)->Macro, tag->Macro);
        freeTree(back);

        auto channels = table(22, {{"1", "x]]>y <&>"}});
        auto tags = table(25, {{"1", "t]]>", QString(), QString(), QString(), QString(), QString(),
                               QString(), "m <&> ]]>"}});
        QVERIFY(TgchFileProcessor::writeToFile(channels.get(), tags.get(), dir.filePath("u.xml")));
        back = TgchFileProcessor::loadFileData(dir.filePath("u.xml"));
        QCOMPARE(back->channels.size(), 2);
        QCOMPARE(back->tags.size(), 1);
        QCOMPARE(back->channels.at(1)->Name, QString("x]]>y <&>"));
        QCOMPARE(back->tags.at(0)->Name, QString("t]]>"));
        QCOMPARE(back->tags.at(0)->Macro, QString("m <&> ]]>"));
        freeTree(back);
        qDeleteAll(tree.channels);
        qDeleteAll(tree.tags);
    }

    void csvImport_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("size");
        QTest::newRow("word") << QByteArray("1;100;Pump1;WORD") << "Pump1" << "100" << 9 << 2;
        QTest::newRow("dword") << QByteArray("1;1;a;DWORD") << "a" << "1" << 9 << 2;
        QTest::newRow("d-space-word") << QByteArray("1;1;a;D WORD") << "a" << "1" << 9 << 2;
        QTest::newRow("logical") << QByteArray("1;1;a;LOGICAL") << "a" << "1" << 16 << 1;
        QTest::newRow("float-lower") << QByteArray("1;1;a;Float") << "a" << "1" << 1 << 2;
        QTest::newRow("long-float") << QByteArray("1;1;a;LONG FLOAT") << "a" << "1" << 14 << 4;
        QTest::newRow("float-long") << QByteArray("1;1;a;FLOATLONG") << "a" << "1" << 14 << 4;
        QTest::newRow("float-word") << QByteArray("1;1;a;FLOAT WORD") << "a" << "1" << 9 << 2;
        QTest::newRow("long") << QByteArray("1;1;a;LONG") << "a" << "1" << 13 << 4;
        QTest::newRow("tab-splits") << QByteArray("1;1;a;FLO\tAT") << "a" << "1" << 1 << 2;
        QTest::newRow("crlf") << QByteArray("1;DB1;P;LOGIC\r\n") << "P" << "DB1" << 16 << 1;
        QTest::newRow("spaces-kept") << QByteArray("x; 7 ; Pump ;WORD") << " Pump " << " 7 " << 9 << 2;
        QTest::newRow("quotes-kept") << QByteArray("1;\"2\";\"n\";INT") << "\"n\"" << "\"2\"" << 1 << 2;
        QTest::newRow("empty-fields") << QByteArray(";;;") << "" << "" << 1 << 2;
    }
    void csvImport()
    {
        QFETCH(QByteArray, line);
        QTemporaryDir dir;
        const QString path = dir.filePath("t.csv");
        QVERIFY(writeBytes(path, line));
        FileDataTree *tree = TgchFileProcessor::loadTagsFromCSV(path);
        QVERIFY(tree);
        QVERIFY(tree->channels.isEmpty());
        QVERIFY(tree->alarms.isEmpty());
        QCOMPARE(tree->tags.size(), 1);
        const pEtiketDef_t *tag = tree->tags.at(0);
        QTEST(tag->Name, "name");
        QTEST(tag->VariableAddress, "address");
        QTEST(tag->VariableType, "type");
        QTEST(tag->VariableSize, "size");
        QCOMPARE(tag->PollFrequency, 3);
        QCOMPARE(tag->DeviceAddress, QString("1"));
        QCOMPARE(tag->KanalName, QString());
        QVERIFY(tag->Enabled);
        freeTree(tree);
    }

    void csvLines()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("t.csv");
        QVERIFY(writeBytes(path, ""));
        FileDataTree *tree = TgchFileProcessor::loadTagsFromCSV(path);
        QVERIFY(tree);
        QVERIFY(tree->tags.isEmpty() && tree->channels.isEmpty() && tree->alarms.isEmpty());
        freeTree(tree);

        QVERIFY(writeBytes(path, "1;a;first;WORD\n\n1;b;five;WORD;\n1;c\n1;d;again;LONG\n1;d;again;LONG\n"));
        tree = TgchFileProcessor::loadTagsFromCSV(path);
        QCOMPARE(tree->tags.size(), 3);
        QCOMPARE(tree->tags.at(0)->Name, QString("first"));
        QCOMPARE(tree->tags.at(1)->Name, QString("again"));
        QCOMPARE(tree->tags.at(2)->VariableAddress, QString("d"));
        freeTree(tree);

        QVERIFY(!TgchFileProcessor::loadTagsFromCSV(dir.filePath("missing.csv")));
        QVERIFY(!TgchFileProcessor::loadTagsFromCSV(dir.path()));
    }

    void tableWriterForms()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("t.xml");
        auto emptyChannels = table(22, {});
        auto emptyTags = table(25, {});
        QVERIFY(TgchFileProcessor::writeToFile(emptyChannels.get(), emptyTags.get(), path));
        QCOMPARE(readAll(path), QByteArray("<!DOCTYPE ChannelAndTagDefinitions>\n<CTDefinitions>\n"
                                           " <ChannelList/>\n <TagList/>\n</CTDefinitions>\n"));
        FileDataTree *tree = TgchFileProcessor::loadFileData(path);
        QCOMPARE(tree->channels.size(), 1);
        QVERIFY(tree->tags.isEmpty());
        freeTree(tree);

        QStringList channel;
        for (int c = 0; c < 22; ++c)
            channel << QString::number(c + 100);
        channel[1] = "Line A";
        channel[19] = "true";
        QStringList none = channel;
        none[1] = "None";
        QStringList tag;
        for (int c = 0; c < 25; ++c)
            tag << QString::number(c);
        tag[1] = "T1";
        tag[3] = "Line A";
        tag[9] = "3";
        auto channels = table(22, {channel, none});
        auto tags = table(25, {tag});
        QVERIFY(TgchFileProcessor::writeToFile(channels.get(), tags.get(), path));

        QDomDocument doc;
        QVERIFY(doc.setContent(readAll(path)));
        QCOMPARE(doc.doctype().name(), QString("ChannelAndTagDefinitions"));
        const QDomElement root = doc.documentElement();
        QVERIFY(root.firstChildElement("AlarmList").isNull());
        const QDomElement c0 = root.firstChildElement("ChannelList").firstChildElement("Channel");
        QCOMPARE(c0.childNodes().count(), 22);
        QVERIFY(c0.firstChildElement("FilterIP").firstChild().isCDATASection());
        QVERIFY(c0.firstChildElement("ServerIP").firstChild().isCDATASection());
        QVERIFY(c0.firstChildElement("Id").firstChild().isText()
                && !c0.firstChildElement("Id").firstChild().isCDATASection());
        const QDomElement t0 = root.firstChildElement("TagList").firstChildElement("Tag");
        QCOMPARE(t0.childNodes().count(), 25);
        QCOMPARE(t0.firstChildElement("Macro").nextSiblingElement().tagName(), QString("Kanal_Id"));
        QCOMPARE(t0.firstChildElement("VariableType").nextSiblingElement().tagName(), QString("Id"));
        QVERIFY(t0.firstChildElement("KanalName").firstChild().isCDATASection());

        tree = TgchFileProcessor::loadFileData(path);
        QCOMPARE(tree->channels.size(), 2); // the row named "None" gives way
        QCOMPARE(tree->channels.at(1)->Name, QString("Line A"));
        QCOMPARE(tree->channels.at(1)->Id, 100);
        QCOMPARE(tree->channels.at(1)->Enabled, false);
        QCOMPARE(tree->channels.at(1)->Description, QString("121"));
        QCOMPARE(tree->tags.at(0)->Kanal_Id, 3);
        QCOMPARE(tree->tags.at(0)->KanalName, QString("Line A"));
        QCOMPARE(tree->tags.at(0)->Id, 0);
        QCOMPARE(int(tree->tags.at(0)->Protocolobjecttype), 24);
        freeTree(tree);
    }

    void tableWriterFailures()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("t.xml");
        // A file with alarms, overwritten by the tables, keeps none of them.
        QVERIFY(writeBytes(path, wrap("<AlarmList><Alarm><Id>1</Id></Alarm></AlarmList>")));
        auto channels = table(22, {});
        auto tags = table(25, {{"5", "short row"}});
        OpenedFile file;
        file.filePath = path;
        file.channelModel = channels.get();
        file.tagModel = tags.get();
        QVERIFY(TgchFileProcessor::writeToFile(&file));
        FileDataTree *tree = TgchFileProcessor::loadFileData(path);
        QVERIFY(tree->alarms.isEmpty());
        QCOMPARE(tree->tags.size(), 1);
        QCOMPARE(tree->tags.at(0)->Name, QString("short row"));
        QCOMPARE(tree->tags.at(0)->PollFrequency, 0); // its cell is missing: empty element
        freeTree(tree);
        const QByteArray viaRecord = readAll(path);
        QVERIFY(TgchFileProcessor::writeToFile(channels.get(), tags.get(), dir.filePath("u.xml")));
        QCOMPARE(readAll(dir.filePath("u.xml")), viaRecord);

        // Failures leave the old file as it was.
        QVERIFY(!TgchFileProcessor::writeToFile(nullptr, tags.get(), path));
        QVERIFY(!TgchFileProcessor::writeToFile(channels.get(), nullptr, path));
        QVERIFY(!TgchFileProcessor::writeToFile(static_cast<OpenedFile *>(nullptr)));
        QVERIFY(!TgchFileProcessor::writeToFile(channels.get(), tags.get(), dir.path()));
        QVERIFY(!TgchFileProcessor::writeToFile(channels.get(), tags.get(), dir.filePath("no/t.xml")));
        QCOMPARE(readAll(path), viaRecord);
    }
};

QTEST_GUILESS_MAIN(TestTgchFileProcessor)
#include "tst_tgchFileProcessor.moc"
