// The table codec of the tool's export and import: cell conversions, the CSV
// and JSON readers, decoding, the merge of imported records, and the round
// trip of every stored field through a table.

#include "../common/files.h"
#include "../common/oddDefinitions.h"

#include "csvTable.h"
#include "definitionsTable.h"
#include "jsonTable.h"
#include "tableImport.h"
#include "textDecoding.h"

#include <zadururu/definitions/tgchFileProcessor.h>

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(FieldType)
Q_DECLARE_METATYPE(RecordKind)
Q_DECLARE_METATYPE(MatchKey)
Q_DECLARE_METATYPE(ConflictPolicy)
Q_DECLARE_METATYPE(TableFormat)

namespace {

using Tree = std::unique_ptr<FileDataTree, void (*)(FileDataTree *)>;

Tree tree(FileDataTree *t)
{
    return Tree(t, destroyFileDataTree);
}

QByteArray written(FileDataTree *t)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("d.xml"));
    return TgchFileProcessor::writeToFile(t, path) ? readAll(path) : QByteArray("not written");
}

// Channels A (1) and B (2); tags T1 (1, on A), T2 (2, on B), T5 (5, none), two named Twin (7, 8);
// alarms Al1 (1, on T1) and Top (the largest Id).
Tree baseTree()
{
    auto *t = TgchFileProcessor::loadFileData(QByteArray());
    for (int i = 1; i <= 2; ++i) {
        auto *c = new pKanalDef_t;
        c->Name = QStringLiteral("AB").mid(i - 1, 1);
        c->Id = i;
        t->channels.append(c);
    }
    const QList<QPair<QString, int>> tags{{"T1", 1}, {"T2", 2}, {"T5", 5}, {"Twin", 7}, {"Twin", 8}};
    for (const auto &named : tags) {
        auto *tag = new pEtiketDef_t;
        tag->Name = named.first;
        tag->Id = named.second;
        tag->KanalName = named.second <= 2 ? t->channels.at(named.second)->Name : QString();
        tag->Kanal_Id = named.second <= 2 ? named.second : -1;
        tag->Description = QStringLiteral("d") + QString::number(named.second);
        t->tags.append(tag);
    }
    for (const auto &named : QList<QPair<QString, int>>{{"Al1", 1}, {"Top", std::numeric_limits<int>::max()}}) {
        auto *alarm = new pAlarmItem_t;
        alarm->alarm_name = named.first;
        alarm->Id = named.second;
        alarm->tagID = 1;
        t->alarms.append(alarm);
    }
    return tree(t);
}

// The text of @p bytes in @p encoding (or found), or "refused: " and why.
QString decoded(const QByteArray &bytes, const QString &encoding = QString())
{
    DecodedText text;
    QString problem;
    return decodeText(bytes, encoding, &text, &problem) ? text.text : QStringLiteral("refused: ") + problem;
}

// Every record of @p kind in @p from merged into @p into through a table in @p format.
QString importThrough(FileDataTree &from, FileDataTree &into, RecordKind kind, TableFormat format)
{
    Table table;
    QVector<TableProblem> problems;
    if (!readTable(decoded(exportTable(from, kind, format)), format, &table, &problems))
        return QStringLiteral("not read: line %1: %2").arg(problems.value(0).at.line).arg(problems.value(0).message);
    const ImportResult result = importTable(into, table, {kind, MatchKey::Name, ConflictPolicy::Fail});
    return result.problems.isEmpty() ? QString() : result.problems.first().message;
}

// The import of @p text, a JSON array or else CSV, read as it goes.
ImportResult importOf(FileDataTree &into, const QString &text, const ImportOptions &options)
{
    return importText(into, text, text.startsWith('[') ? TableFormat::Json : TableFormat::Csv, options);
}

QString problemText(const TableProblem &p)
{
    return QStringLiteral("%1:%2:%3:%4").arg(p.at.line).arg(p.at.column).arg(p.column, p.message);
}

} // namespace

class TestDefinitionsTable : public QObject
{
    Q_OBJECT
private slots:
    // The cell text of each type, and what reads back from it or is refused.
    void cells_data()
    {
        QTest::addColumn<FieldType>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("canonical"); // empty: refused
        QTest::newRow("int max") << FieldType::Int << "2147483647" << "2147483647";
        QTest::newRow("int min") << FieldType::Int << "-2147483648" << "-2147483648";
        QTest::newRow("int past max") << FieldType::Int << "2147483648" << "";
        QTest::newRow("int spaces, plus") << FieldType::Int << " +12 " << "12";
        QTest::newRow("int fraction") << FieldType::Int << "1.5" << "";
        QTest::newRow("int empty") << FieldType::Int << "" << "";
        QTest::newRow("int hex") << FieldType::Int << "0x10" << "";
        QTest::newRow("uint max") << FieldType::UInt << "4294967295" << "4294967295";
        QTest::newRow("uint negative") << FieldType::UInt << "-1" << "";
        QTest::newRow("uint8 255") << FieldType::UInt8 << "255" << "255";
        QTest::newRow("uint8 256") << FieldType::UInt8 << "256" << "";
        QTest::newRow("int8 -128") << FieldType::Int8 << "-128" << "-128";
        QTest::newRow("int8 128") << FieldType::Int8 << "128" << "";
        QTest::newRow("int64 max") << FieldType::Int64 << "9223372036854775807" << "9223372036854775807";
        QTest::newRow("int64 min") << FieldType::Int64 << "-9223372036854775808" << "-9223372036854775808";
        QTest::newRow("int64 past max") << FieldType::Int64 << "9223372036854775808" << "";
        QTest::newRow("bool true") << FieldType::Bool << "TRUE" << "1";
        QTest::newRow("bool 0") << FieldType::Bool << "0" << "0";
        QTest::newRow("bool 2") << FieldType::Bool << "2" << "";
        QTest::newRow("double third") << FieldType::Double << "0.33333333333333331" << "0.3333333333333333";
        QTest::newRow("double denormal") << FieldType::Double << "4.9406564584124654e-324" << "5e-324";
        QTest::newRow("double max") << FieldType::Double << "1.7976931348623157e308" << "1.7976931348623157e+308";
        QTest::newRow("double overflow") << FieldType::Double << "1e309" << "";
        QTest::newRow("double inf") << FieldType::Double << "-inf" << "-inf";
        QTest::newRow("double nan") << FieldType::Double << "NaN" << "nan";
        QTest::newRow("double comma") << FieldType::Double << "0,5" << "";
        QTest::newRow("single tenth") << FieldType::Single << "0.1" << "0.1";
        QTest::newRow("single of a long double") << FieldType::Single << "0.10000000149011612" << "0.1";
        QTest::newRow("single max") << FieldType::Single << "3.4028235e38" << "3.4028235e+38";
        QTest::newRow("single past max") << FieldType::Single << "3.5e38" << "";
        QTest::newRow("single underflow") << FieldType::Single << "1e-50" << "";
        QTest::newRow("single smallest") << FieldType::Single << "1.4e-45" << "1e-45";
        QTest::newRow("single 2^24+1") << FieldType::Single << "16777217" << "16777216";
        QTest::newRow("ids braced") << FieldType::IdList << "{3, 17,4}" << "{3,17,4}";
        QTest::newRow("ids bare") << FieldType::IdList << "-2147483648,2147483647" << "{-2147483648,2147483647}";
        QTest::newRow("ids empty") << FieldType::IdList << "{}" << "{}";
        QTest::newRow("ids gap") << FieldType::IdList << "{1,,2}" << "";
        QTest::newRow("ids word") << FieldType::IdList << "{1,x}" << "";
        QTest::newRow("text kept") << FieldType::Text << " a;\"b\"\r\n" << " a;\"b\"\r\n";
        QTest::newRow("text loses what XML cannot hold")
            << FieldType::Text << QStringLiteral("a") + QChar(1) + QChar(0xFFFF) + QChar(0xD800) + QStringLiteral("b") + QChar(0xDC00)
            << "ab";
        QTest::newRow("text keeps a pair") << FieldType::Text << QString::fromUtf8("😀\t") << QString::fromUtf8("😀\t");
    }
    void cells()
    {
        QFETCH(FieldType, type);
        QFETCH(QString, text);
        QFETCH(QString, canonical);
        FieldValue value;
        QString problem;
        const bool read = parseCell(type, text, &value, &problem);
        QCOMPARE(read, !canonical.isEmpty() || (type == FieldType::Text && text.isEmpty()));
        QCOMPARE(problem.isEmpty(), read);
        if (!read)
            return;
        QCOMPARE(cellText(type, value), canonical);
        // What a cell says reads back as the same value.
        FieldValue again;
        QVERIFY(parseCell(type, canonical, &again, &problem));
        QCOMPARE(cellText(type, again), canonical);
    }

    // Fields quoted where RFC 4180 needs it, and where a spreadsheet would trim.
    void csvFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << "Pump 1" << "Pump 1";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("comma") << "a,b" << "\"a,b\"";
        QTest::newRow("quote") << "say \"hi\"" << "\"say \"\"hi\"\"\"";
        QTest::newRow("line feed") << "a\nb" << "\"a\nb\"";
        QTest::newRow("carriage return") << "a\rb" << "\"a\rb\"";
        QTest::newRow("leading space") << " a" << "\" a\"";
        QTest::newRow("semicolon") << "a;b" << "a;b";
    }
    void csvFields()
    {
        QFETCH(QString, field);
        QString line = QStringLiteral("x,");
        appendCsvField(line, field);
        QTEST(line.mid(2), "written");
    }

    // What the CSV reader makes of a text: cells by row, "|" between cells, "/" between rows, or the problems.
    void csvRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("lines"); // the line of each row
        QTest::newRow("comma, CR LF") << "a,b\r\n1,2\r\n3,4\r\n" << "1|2/3|4" << "2,3";
        QTest::newRow("semicolon") << "a;b\n1;2" << "1|2" << "2";
        QTest::newRow("tab") << "a\tb\n1,5\t2" << "1,5|2" << "2";
        QTest::newRow("quoted separators") << "a,b\n\"x,y\",\"q\"\"q\"" << "x,y|q\"q" << "2";
        QTest::newRow("line break in a field") << "a,b\n\"1\r\n2\",3\n4,5\n" << "1\r\n2|3/4|5" << "2,4";
        QTest::newRow("empty lines skipped") << "\n\na,b\n\n1,2\n\r\n" << "1|2" << "5";
        QTest::newRow("CR line ends") << "a,b\r1,2\r" << "1|2" << "2";
        QTest::newRow("empty fields") << "a,b,c\n,,\n" << "||" << "2";
        QTest::newRow("header only") << "a,b\r\n" << "" << "";
        QTest::newRow("nothing") << "" << "" << "";
        QTest::newRow("never closed") << "a,b\n1,\"2\n3\n" << "2:2:a quoted field is never closed" << "";
        QTest::newRow("text after quote") << "a,b\n\"1\"x,2" << "2:1:text after the closing quote" << "";
        QTest::newRow("bare quote") << "a,b\n1,2\"\n" << "2:2:a quote inside a field" << "";
        QTest::newRow("field counts") << "a,b\n1\n1,2\n1,2,3\n" << "2:1:1 fields where the first line names 2 columns/4:1:3 fields" << "";
    }
    void csvRead()
    {
        QFETCH(QString, text);
        Table table;
        QVector<TableProblem> problems;
        const bool read = readCsv(text, &table, &problems);
        QStringList rows, lines;
        for (const TableRow &row : table.rows) {
            QStringList cells;
            for (const TableCell &cell : row.cells)
                cells << cell.text;
            rows << cells.join('|');
            lines << QString::number(row.at.line);
        }
        QStringList found;
        for (const TableProblem &p : problems)
            found << QStringLiteral("%1:%2:%3").arg(p.at.line).arg(p.at.column).arg(p.message);
        QCOMPARE(read, problems.isEmpty());
        if (!read) {
            QFETCH(QString, rows);
            const QStringList expected = rows.split('/');
            QCOMPARE(found.size(), expected.size());
            for (int i = 0; i < expected.size(); ++i)
                QVERIFY2(found.at(i).startsWith(expected.at(i)), qPrintable(found.join('\n')));
            return;
        }
        QTEST(rows.join('/'), "rows");
        QTEST(lines.join(','), "lines");
    }

    // The JSON reader: cells as "column=type:text", or the place and reason of the fault.
    void jsonRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("typed") << "[{\"a\": \"x\\n\\u00e4\\ud83d\\ude00\", \"b\": -1.5e3, \"c\": true, \"d\": [1, -2], \"e\": null}]"
                               << QString::fromUtf8("a=1:x\nä😀 b=2:-1.5e3 c=3:true d=5:1,-2 e=4:null");
        QTest::newRow("members differ") << "[{\"a\": 1}, {\"b\": 2}]" << "a=2:1 b=0: / a=0: b=2:2";
        QTest::newRow("64-bit digits") << "[{\"a\": 9223372036854775807}]" << "a=2:9223372036854775807";
        QTest::newRow("empty") << " [ ] " << "";
        QTest::newRow("not an array") << "{\"a\": 1}" << "1:1:the file is not a JSON array";
        QTest::newRow("not an object") << "[1]" << "1:2:each item of the array must be an object";
        QTest::newRow("twice") << "[{\"a\": 1,\n \"a\": 2}]" << "2:2:the member \"a\" is given twice";
        QTest::newRow("nested") << "[{\"a\": {}}]" << "1:8:an object is no value";
        QTest::newRow("list of texts") << "[{\"a\": [\"x\"]}]" << "1:9:a list holds numbers only";
        QTest::newRow("bad number") << "[{\"a\": 01}]" << "1:9:',' or '}' expected";
        QTest::newRow("raw line break") << "[{\"a\": \"x\ny\"}]" << "1:10:a control character";
        QTest::newRow("bad escape") << "[{\"a\": \"\\x\"}]" << "1:9:an unknown escape";
        QTest::newRow("short \\u") << "[{\"a\": \"\\u12\"}]" << "1:9:\\u must be followed";
        QTest::newRow("open string") << "[{\"a\": \"x}]" << "1:8:a string is never closed";
        QTest::newRow("trailing text") << "[]x" << "1:3:text after the end";
    }
    void jsonRead()
    {
        QFETCH(QString, text);
        QFETCH(QString, result);
        Table table;
        QVector<TableProblem> problems;
        if (!readJson(text, &table, &problems)) {
            QCOMPARE(problems.size(), 1);
            const QString found = QStringLiteral("%1:%2:%3").arg(problems.first().at.line).arg(problems.first().at.column).arg(problems.first().message);
            QVERIFY2(found.startsWith(result), qPrintable(found));
            return;
        }
        QStringList rows;
        for (const TableRow &row : table.rows) {
            QStringList cells;
            for (int c = 0; c < table.columns.size(); ++c) {
                const TableCell &cell = row.cells.at(c);
                cells << QStringLiteral("%1=%2:%3").arg(table.columns.at(c)).arg(int(cell.type))
                             .arg(cell.type == TableCell::List ? cell.items.join(',') : cell.text);
            }
            rows << cells.join(' ');
        }
        QCOMPARE(rows.join(QStringLiteral(" / ")), result);
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("text"); // or the start of the refusal
        QTest::newRow("UTF-8") << QByteArray("a\xc3\xa4") << "" << QString::fromUtf8("aä");
        QTest::newRow("UTF-8 mark") << QByteArray("\xef\xbb\xbf" "a") << "" << "a";
        QTest::newRow("UTF-16LE mark") << QByteArray("\xff\xfe" "a\0\xe4\0", 6) << "" << QString::fromUtf8("aä");
        QTest::newRow("Latin-1 unnamed") << QByteArray("ok\nstill ok\nK\xfchler\n") << "" << "refused: line 3 is not valid UTF-8";
        QTest::newRow("Latin-1 named") << QByteArray("K\xfchler") << "latin1" << QString::fromUtf8("Kühler");
        QTest::newRow("windows-1252 named") << QByteArray("\x80 \x93x\x94") << "windows-1252" << QString::fromUtf8("€ “x”");
        QTest::newRow("UTF-8 named, mark read past") << QByteArray("\xef\xbb\xbf" "a") << "UTF-8" << "a";
        QTest::newRow("UTF-8 named, invalid") << QByteArray("a\nb\xff") << "utf-8" << "refused: line 2 is not valid UTF-8";
        QTest::newRow("mark of another encoding") << QByteArray("\xff\xfe" "a\0", 4) << "latin1" << "refused: the file begins with a UTF-16LE";
        QTest::newRow("unknown encoding") << QByteArray("a") << "klingon" << "refused: no encoding is called \"klingon\"";
        QTest::newRow("overlong") << QByteArray("\xc0\xaf") << "" << "refused: line 1";
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << "" << "refused: line 1";
        QTest::newRow("past U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << "" << "refused: line 1";
        QTest::newRow("cut sequence") << QByteArray("\n\xe2\x82") << "" << "refused: line 2";
        QTest::newRow("four bytes") << QByteArray("\xf0\x9f\x98\x80") << "" << QString::fromUtf8("😀");
    }
    void decoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, encoding);
        const QString result = decoded(bytes, encoding);
        QFETCH(QString, text);
        QVERIFY2(result.startsWith(text) && (text.startsWith("refused") || result == text), qPrintable(result));
    }

    // Export, then import into an empty tree: the writer writes the same bytes as from the source.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<TableFormat>("format");
        for (const char *source : {"odd", "odd, loaded", "plant"}) {
            QTest::addRow("%s, CSV", source) << source << TableFormat::Csv;
            QTest::addRow("%s, JSON", source) << source << TableFormat::Json;
        }
    }
    void roundTrip()
    {
        QFETCH(QString, source);
        QFETCH(TableFormat, format);
        Tree from = tree(oddDefinitions());
        if (source == "odd, loaded")
            from = tree(TgchFileProcessor::loadFileData(written(from.get())));
        else if (source == "plant")
            from = tree(TgchFileProcessor::loadFileData(QStringLiteral(EXAMPLES_DIR "/plant/definitions.xml")));
        QVERIFY(from && from->tags.size() > 10 && from->alarms.size() > 3);
        Tree into = tree(TgchFileProcessor::loadFileData(QByteArray()));
        for (const RecordKind kind : {RecordKind::Channel, RecordKind::Tag, RecordKind::Alarm})
            QCOMPARE(importThrough(*from, *into, kind, format), QString());
        QCOMPARE(written(into.get()), written(from.get()));
    }

    // The raw bytes of an export: byte-order mark and CR LF for CSV, one object per line for JSON.
    void exportBytes()
    {
        Tree t = baseTree();
        t->alarms.first()->subscribers = {3, 17};
        t->alarms.first()->limitVal = double(0.1f);
        const QByteArray csv = exportTable(*t, RecordKind::Alarm, TableFormat::Csv);
        QVERIFY(csv.startsWith("\xef\xbb\xbfId,alarm_name,alarm_desc,alarm_class,enabled,"));
        QVERIFY2(csv.contains("\r\n1,Al1,,General,0,1,1,1,0,0,0,0.1,0,0,-1,-1,0,0,\"{3,17}\",0\r\n"), csv.constData());
        QVERIFY(csv.endsWith("{}\",0\r\n") || csv.endsWith("{},0\r\n"));
        const QByteArray json = exportTable(*t, RecordKind::Channel, TableFormat::Json);
        QVERIFY2(json.startsWith("[\n{\"Name\": \"A\", \"Id\": 1, \"MediaType\": 0,"), json.constData());
        QCOMPARE(json.count('\n'), 4);
        QVERIFY(json.contains("\"Enabled\": true"));
        t->tags.first()->LoggingFreq = qInf();
        t->tags.first()->ReadRight1 = std::numeric_limits<qint64>::max();
        const QByteArray tags = exportTable(*t, RecordKind::Tag, TableFormat::Json);
        QVERIFY(tags.contains("\"LoggingFreq\": \"inf\""));
        QVERIFY(tags.contains("\"ReadRight1\": 9223372036854775807,"));
        QCOMPARE(exportTable(*tree(TgchFileProcessor::loadFileData(QByteArray())), RecordKind::Channel, TableFormat::Json),
                 QByteArray("[\n]\n"));
    }

    // What an import refuses, each reason at its line, column and field; the tree is then unchanged.
    void importRefused_data()
    {
        QTest::addColumn<RecordKind>("kind");
        QTest::addColumn<MatchKey>("match");
        QTest::addColumn<ConflictPolicy>("policy");
        QTest::addColumn<QString>("csv");
        QTest::addColumn<QStringList>("problems");
        const auto tags = RecordKind::Tag;
        const auto name = MatchKey::Name;
        const auto fail = ConflictPolicy::Fail;
        const auto update = ConflictPolicy::Update;
        QTest::newRow("conflict") << tags << name << fail << "Name\nT1\n" << QStringList{"2:1:Name:tag \"T1\" (Id 1) is in the definitions already"};
        QTest::newRow("key twice") << tags << name << ConflictPolicy::Skip << "Name\nN%2\nT1\nN%2\n" << QStringList{"4:1:Name:the name \"N%2\" is on line 2 already"};
        QTest::newRow("Id twice") << tags << name << fail << "Name,Id\nN,50\nM,50\n" << QStringList{"3:2:Id:the Id 50 is on line 2 already"};
        QTest::newRow("unknown column") << tags << name << fail << "Name,Nope\nN,1\n" << QStringList{"1:2:Nope:a tag has no field \"Nope\"; the fields are: Name, PollFrequency"};
        QTest::newRow("letter case") << tags << name << fail << "Name,description\n" << QStringList{"1:2:description:a tag has no field \"description\" (did you mean \"Description\"?)"};
        QTest::newRow("column twice") << tags << name << fail << "Name,Id,Name\nN,1,N\n" << QStringList{"1:3:Name:the column \"Name\" is named twice"};
        QTest::newRow("no key column") << tags << name << fail << "Description\nx\n" << QStringList{"1:1:Name:the tags are matched by Name, and no column gives it (--match id"};
        QTest::newRow("no Id column") << tags << MatchKey::Id << fail << "Name\nx\n" << QStringList{"1:1:Id:the tags are matched by Id"};
        QTest::newRow("every value") << tags << name << fail << "Name,PollFrequency,IsLogging,Enabled\nN,x,256,yes\n"
                                     << QStringList{"2:2:PollFrequency:\"x\" is not a whole number", "2:3:IsLogging:256 lies outside 0 to 255",
                                                    "2:4:Enabled:\"yes\" is neither"};
        QTest::newRow("channel name") << tags << name << fail << "Name,KanalName\nN,Zed\n" << QStringList{"2:2:KanalName:no channel is named \"Zed\""};
        QTest::newRow("channel id") << tags << name << fail << "Name,Kanal_Id\nN,9\n" << QStringList{"2:2:Kanal_Id:no channel has the Id 9"};
        QTest::newRow("channel disagrees") << tags << name << fail << "Name,KanalName,Kanal_Id\nN,A,2\n" << QStringList{"2:3:Kanal_Id:the channel \"A\" has the Id 1, not 2"};
        QTest::newRow("Id taken") << tags << name << fail << "Name,Id\nN,2\n" << QStringList{"2:2:Id:the Id 2 is taken by tag \"T2\" (Id 2)"};
        QTest::newRow("name taken") << tags << MatchKey::Id << fail << "Id,Name\n60,T2\n" << QStringList{"2:2:Name:the name \"T2\" is taken by tag \"T2\" (Id 2)"};
        QTest::newRow("new without a name") << tags << MatchKey::Id << update << "Id,Description\n60,x\n1,y\n" << QStringList{"2:1:Name:a new tag needs a Name"};
        QTest::newRow("no new Id by update") << tags << name << update << "Name,Id\nT1,7\n" << QStringList{"2:2:Id:tag \"T1\" (Id 1) keeps its Id"};
        QTest::newRow("rename to a taken name") << tags << MatchKey::Id << update << "Id,Name\n1,T2\n" << QStringList{"2:2:Name:tag \"T2\" (Id 2) has the name \"T2\" already"};
        QTest::newRow("two of the name") << tags << name << update << "Name\nTwin\n" << QStringList{"2:1:Name:2 tags of the definitions have the name \"Twin\""};
        QTest::newRow("alarm tag") << RecordKind::Alarm << name << fail << "alarm_name,tagID,limit_tag2_id\nX,99,98\n"
                                   << QStringList{"2:1:Id:1 new alarm needs Ids after 2147483647", "2:2:tagID:no tag has the Id 99",
                                                  "2:3:limit_tag2_id:no tag has the Id 98"};
        QTest::newRow("no Ids left") << RecordKind::Alarm << name << fail << "alarm_name\nX\n" << QStringList{"2:1:Id:1 new alarm needs Ids after 2147483647"};
        QTest::newRow("channel None") << RecordKind::Channel << name << fail << "Name\nNone\n" << QStringList{"2:1:Name:\"None\" is the name of the loader's own channel"};
        QTest::newRow("channel rename") << RecordKind::Channel << MatchKey::Id << update << "Id,Name\n1,C\n" << QStringList{"2:2:Name:1 tag names the channel \"A\" (KanalName): renamed, it would leave it without it"};
        QTest::newRow("CSV fault after a bad row") << tags << name << fail << "Name,Id\nN,x\nM,\"1\n" << QStringList{"2:2:Id:\"x\" is not a whole number", "3:2::a quoted field is never closed"};
        QTest::newRow("JSON types") << tags << name << fail << "[{\"Name\": \"N\", \"Description\": 5, \"Enabled\": null},\n {\"Id\": 3}]"
                                    << QStringList{"1:31:Description:5 is a number where a text is wanted", "1:45:Enabled:null is no value",
                                                   "2:2:Name:the tag gives no Name to match it by"};
    }
    void importRefused()
    {
        QFETCH(RecordKind, kind);
        QFETCH(MatchKey, match);
        QFETCH(ConflictPolicy, policy);
        QFETCH(QString, csv);
        QFETCH(QStringList, problems);
        Tree t = baseTree();
        const QByteArray before = written(t.get());
        const ImportResult result = importOf(*t, csv, {kind, match, policy});
        QStringList found;
        for (const TableProblem &p : result.problems)
            found << problemText(p);
        QCOMPARE(found.size(), problems.size());
        for (int i = 0; i < problems.size(); ++i)
            QVERIFY2(found.at(i).startsWith(problems.at(i)), qPrintable(found.join('\n')));
        QVERIFY(result.entries.isEmpty());
        QCOMPARE(written(t.get()), before);
    }

    // What an import does: each record's action, Id and changed fields, and the fields it leaves.
    void imported_data()
    {
        QTest::addColumn<RecordKind>("kind");
        QTest::addColumn<MatchKey>("match");
        QTest::addColumn<ConflictPolicy>("policy");
        QTest::addColumn<QString>("csv");
        QTest::addColumn<QStringList>("entries"); // action:id:name:changed fields
        QTest::addColumn<QString>("record");      // "Id|Name|PollFrequency|DeviceAddress|KanalName|Kanal_Id|Description" of the first entry's tag
        const auto tags = RecordKind::Tag;
        const auto name = MatchKey::Name;
        const auto update = ConflictPolicy::Update;
        QTest::newRow("added with defaults") << tags << name << ConflictPolicy::Fail << "Name,Description\nN,x\nM,y\n"
                                             << QStringList{"0:9:N:", "0:10:M:"} << "9|N|1000|1||-1|x";
        QTest::newRow("Id kept") << tags << name << ConflictPolicy::Fail << "Name,Id\nN,100\n" << QStringList{"0:100:N:"} << "100|N|1000|1||-1|";
        QTest::newRow("Id given and not") << tags << name << ConflictPolicy::Fail << "Name,Id\nN,\nM,100\n" << QStringList{"0:101:N:", "0:100:M:"}
                                          << "101|N|1000|1||-1|";
        QTest::newRow("empty number cell") << tags << name << update << "Name,PollFrequency,Description\nT1, ,x\n" << QStringList{"1:1:T1:Description"}
                                           << "1|T1|1000|1|A|1|x";
        QTest::newRow("update given fields") << tags << name << update << "Name,Description,PollFrequency\nT1,new,1000\nT2,d2,7\n"
                                             << QStringList{"1:1:T1:Description", "1:2:T2:PollFrequency"} << "1|T1|1000|1|A|1|new";
        QTest::newRow("unchanged") << tags << name << update << "Name,Description,Kanal_Id\nT1,d1,1\n" << QStringList{"2:1:T1:"} << "1|T1|1000|1|A|1|d1";
        QTest::newRow("skipped") << tags << name << ConflictPolicy::Skip << "Name,Description\nT1,x\nN,y\n"
                                 << QStringList{"3:1:T1:", "0:9:N:"} << "1|T1|1000|1|A|1|d1";
        QTest::newRow("channel by name") << tags << name << update << "Name,KanalName\nT1,B\n" << QStringList{"1:1:T1:KanalName,Kanal_Id"} << "1|T1|1000|1|B|2|d1";
        QTest::newRow("channel by Id") << tags << name << ConflictPolicy::Fail << "Name,Kanal_Id\nN,1\n" << QStringList{"0:9:N:"} << "9|N|1000|1|A|1|";
        QTest::newRow("channel cleared") << tags << name << update << "Name,KanalName\nT2,\n" << QStringList{"1:2:T2:KanalName,Kanal_Id"} << "2|T2|1000|1||-1|d2";
        QTest::newRow("renamed by Id") << tags << MatchKey::Id << update << "Id,Name\n5,Five\n" << QStringList{"1:5:Five:Name"} << "5|Five|1000|1||-1|d5";
        QTest::newRow("JSON") << tags << name << update << "[{\"Name\": \"T1\", \"DeviceAddress\": \"7\", \"Enabled\": true}]"
                              << QStringList{"1:1:T1:DeviceAddress"} << "1|T1|1000|7|A|1|d1";
        QTest::newRow("channel after the highest") << RecordKind::Channel << name << ConflictPolicy::Fail << "Name,Id\nC,\nD,-5\n"
                                                   << QStringList{"0:3:C:", "0:-5:D:"} << "";
    }
    void imported()
    {
        QFETCH(RecordKind, kind);
        QFETCH(MatchKey, match);
        QFETCH(ConflictPolicy, policy);
        QFETCH(QString, csv);
        Tree t = baseTree();
        const QByteArray before = written(t.get());
        const ImportResult result = importOf(*t, csv, {kind, match, policy});
        QVERIFY2(result.problems.isEmpty(), qPrintable(result.problems.value(0).message));
        QStringList entries;
        for (const ImportEntry &e : result.entries) {
            QStringList changed;
            for (const FieldChange &c : e.changes)
                changed << c.field;
            entries << QStringLiteral("%1:%2:%3:%4").arg(int(e.action)).arg(e.id).arg(e.name, changed.join(','));
        }
        QTEST(entries, "entries");
        QCOMPARE(written(t.get()) == before, !result.changed());
        QFETCH(QString, record);
        if (record.isEmpty())
            return;
        const pEtiketDef_t *tag = nullptr;
        for (const pEtiketDef_t *candidate : t->tags)
            if (candidate->Id == result.entries.first().id)
                tag = candidate;
        QVERIFY(tag);
        QCOMPARE(QStringList({QString::number(tag->Id), tag->Name, QString::number(tag->PollFrequency), tag->DeviceAddress,
                              tag->KanalName, QString::number(tag->Kanal_Id), tag->Description})
                     .join('|'),
                 record);
    }

    // A tag list's tags merge by name, and update only what the list gives.
    void listedTags()
    {
        Tree t = baseTree();
        auto listed = [](const QString &name, const QString &address) {
            auto *tag = new pEtiketDef_t;
            tag->Name = name;
            tag->VariableAddress = address;
            tag->VariableType = 9;
            tag->PollFrequency = 3;
            return tag;
        };
        ImportResult result = importListedTags(*t, {{listed("T1", "DB1"), 4}, {listed("New", "DB2"), 5}}, false, ConflictPolicy::Update);
        QVERIFY(result.problems.isEmpty());
        QCOMPARE(result.entries.at(0).changes.size(), 2); // VariableAddress and VariableType, not PollFrequency
        QCOMPARE(t->tags.first()->PollFrequency, 1000);
        QCOMPARE(t->tags.last()->Id, 9);
        QCOMPARE(t->tags.last()->PollFrequency, 3);
        result = importListedTags(*t, {{listed("New", "DB2"), 1}, {listed("New", "DB3"), 2}}, false, ConflictPolicy::Skip);
        QCOMPARE(result.problems.size(), 1);
        QCOMPARE(problemText(result.problems.first()), QStringLiteral("2:3:Name:the name \"New\" is on line 1 already"));
    }
};

QTEST_GUILESS_MAIN(TestDefinitionsTable)
#include "tst_definitionsTable.moc"
