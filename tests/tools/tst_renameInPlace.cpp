// rename-tag on hand-written files: every byte but those of the renamed
// values stays as it was, --dry-run shows the same change as diff -u, and a
// file that cannot be edited in place is refused before anything changes.

#include "../common/toolProcess.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A hand-written page; {10} marks each value the rename of tag 10 changes.
const char page[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- edited by hand -->
<ScadaFile>
  <ItemList>
	<Item>
		<Properties Uid='7' Name="Pump &amp; valve"/>
		<TagIDs tagID_posx = "5"   tagID_label=' {10} ' tagID_cusProp7="{10}"/>
		<Extra note="tagID_label=10">10</Extra>
		<ItemType>ScadaObject</ItemType>
	</Item>
    <Item><ItemType>ScheduleItem</ItemType><TagIDs><Tag> {10}
</Tag><Tag>11</Tag><!-- 10 --><Tag>{10}</Tag><Tag>100</Tag></TagIDs></Item>
    <Item>
      <TagIDs><TagData LineColor="#fff" Tag="{10}"/><Tag>{10}</Tag></TagIDs>
      <ItemType>RTChartItem</ItemType>
      <TagIDs><TagData Tag="10"/></TagIDs>
    </Item>
    <Item><Geometry/><ItemType>DbqTextItem</ItemType><reportTag><![CDATA[{10}]]></reportTag><reportTag>10</reportTag></Item>
    <Item><ItemType>Scheduleitem</ItemType><TagIDs><Tag>10</Tag></TagIDs></Item>
    <Item><ItemType>TableItem</ItemType><TagIDs tagID_label="10"/></Item>
    <Item><TagIDs tagID_image="{10}"/></Item>
    <Item><ItemType>TextItem</ItemType><ItemText>10</ItemText><Width>1</Width><Height>1</Height></Item>
  </ItemList>
  <ItemList><Item><TagIDs tagID_label="10"/></Item></ItemList>
  <PageProperties>
     <fileName>hand.xml</fileName>
     <ScrollTags><Tag ScrollText="ten" TagID="{10}"/><Tag TagID="100"/><Unknown TagID="10"/></ScrollTags>
  </PageProperties>
</ScadaFile>
)";

// A hand-written definitions file; {10} marks the tag's id and the alarm bindings, {Pump} its name.
const char definitions[] = R"(<?xml version="1.0"?>
<CTDefinitions>
<ChannelList/>
<TagList>
  <Tag><Id>9</Id><Name>Other</Name></Tag>
  <Tag>
    <Name><![CDATA[{Pump}]]></Name>    <Comment>tag 10</Comment>
    <Id> {10} </Id>
    <Id>11</Id>
  </Tag>
</TagList>
<AlarmList>
  <Alarm><limit_tag2_id>{10}</limit_tag2_id><alarm_name>hi</alarm_name><tagID>{10}</tagID><limit_tag_id>9</limit_tag_id></Alarm>
  <Alarm><tagID>9</tagID><tagID>10</tagID></Alarm>
</AlarmList>
<AlarmList><Alarm><tagID>10</tagID></Alarm></AlarmList>
</CTDefinitions>
)";

QByteArray filled(QByteArray text, bool renamed, bool crlf, const QByteArray &newName = "Pump")
{
    text.replace("{10}", renamed ? "900" : "10").replace("{Pump}", newName);
    if (crlf)
        text.replace("\n", "\r\n");
    return text;
}

QString makeProject(const QString &folder, bool crlf)
{
    const QString project = folder + "/p";
    QDir().mkpath(project + "/pages");
    writeAll(project + "/pages/hand.xml", filled(page, false, crlf));
    writeAll(project + "/definitions.xml", filled(definitions, false, crlf));
    return project;
}

} // namespace

class TestRenameInPlace : public QObject
{
    Q_OBJECT
private slots:
    void byteExact_data()
    {
        QTest::addColumn<bool>("crlf");
        QTest::newRow("LF") << false;
        QTest::newRow("CR LF") << true;
    }
    void byteExact()
    {
        QFETCH(bool, crlf);
        QTemporaryDir dir;
        const QString project = makeProject(dir.path(), crlf);

        const ToolRun dry = tool({"rename-tag", project, "--id", "10", "--to", "900", "--dry-run"});
        QCOMPARE(dry.exitCode, 0);
        QVERIFY2(dry.out.contains("Would rename tag Id 10 to 900: 2 files, 11 bindings.\n"), qPrintable(dry.out));
        QCOMPARE(readAll(project + "/pages/hand.xml"), filled(page, false, crlf));

        const ToolRun run = tool({"rename-tag", project, "--id", "10", "--to", "900"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(readAll(project + "/pages/hand.xml"), filled(page, true, crlf));
        QCOMPARE(readAll(project + "/definitions.xml"), filled(definitions, true, crlf));

        // The dry run's diff is the one diff -u makes of the files before and after.
        for (const QString file : {"definitions.xml", "pages/hand.xml"}) {
            const QString before = dir.filePath("before.xml");
            writeAll(before, file.startsWith("pages") ? filled(page, false, crlf) : filled(definitions, false, crlf));
            QProcess diff;
            diff.start("diff", {"-u", before, project + '/' + file});
            QVERIFY(diff.waitForFinished());
            QByteArray expected = diff.readAllStandardOutput();
            expected = "--- a/" + file.toUtf8() + "\n+++ b/" + file.toUtf8() + expected.mid(expected.indexOf("\n@@"));
            QVERIFY2(dry.out.toUtf8().contains(expected), expected.constData());
        }

        // And back, through --name too.
        QCOMPARE(tool({"rename-tag", project, "--id", "900", "--to", "10"}).exitCode, 0);
        QCOMPARE(tool({"rename-tag", project, "--name", "Pump", "--to", "P & <Q> ]]> R"}).exitCode, 0);
        QCOMPARE(readAll(project + "/pages/hand.xml"), filled(page, false, crlf));
        QCOMPARE(readAll(project + "/definitions.xml"), filled(definitions, false, crlf, "P & <Q> ]]]]><![CDATA[> R"));
    }

    // A file whose form does not allow an edit in place is named, and nothing changes.
    void refused_data()
    {
        QTest::addColumn<QByteArray>("pageBytes");
        QTest::addColumn<QString>("message");
        const QByteArray plain = filled(page, false, false);
        QTest::newRow("Latin-1") << QByteArray(plain).replace("UTF-8", "ISO-8859-1").replace("Pump &amp;", "Pump\xe9")
                                 << "pages/hand.xml: cannot be edited in place: it is encoded as ISO-8859-1";
        QTest::newRow("entity") << QByteArray(plain).replace("<ScadaFile>", "<!DOCTYPE ScadaFile [<!ENTITY t \"10\">]><ScadaFile>")
                                << "pages/hand.xml: cannot be edited in place: its document type declares entities";
        QTest::newRow("split by a comment") << QByteArray(plain).replace("<Tag>11</Tag>", "<Tag>1<!---->0</Tag>")
                                            << "pages/hand.xml: cannot be edited in place: a Tag at line 12, column 7 is split by comments or instructions;";
        QTest::newRow("split by an element") << QByteArray(plain).replace("<Tag>11</Tag>", "<Tag>1<b/>0</Tag>")
                                             << "pages/hand.xml: cannot be edited in place: it would not read back as the rename makes it (schedule 1: TagIDs differs)";
    }
    void refused()
    {
        QFETCH(QByteArray, pageBytes);
        QTemporaryDir dir;
        const QString project = makeProject(dir.path(), false);
        QVERIFY(writeAll(project + "/pages/hand.xml", pageBytes));
        const auto before = folderContents(project);
        const ToolRun run = tool({"rename-tag", project, "--id", "10", "--to", "900"});
        QCOMPARE(run.exitCode, 2);
        QFETCH(QString, message);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(run.err.contains("nothing was changed"));
        QCOMPARE(folderContents(project), before);
    }
};

QTEST_MAIN(TestRenameInPlace)
#include "tst_renameInPlace.moc"
