// The raw XML walk of project files: spans, decoded values, lines and
// columns, encodings, hostile bytes, and edits that change only a value's bytes.

#include "../common/files.h"

#include "project/xmlSource.h"

#include <zadururu/common/wellFormed.h>

#include <QDirIterator>
#include <QRandomGenerator>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>

namespace {

// The bytes of a literal that holds NULs, without its terminator.
template <int N>
QByteArray bytes(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}

QStringList exampleFiles()
{
    QStringList files;
    QDirIterator it(QStringLiteral(EXAMPLES_DIR "/plant"), {QStringLiteral("*.xml")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

// A row "path" per XML file of the example project.
void addExampleRows()
{
    QTest::addColumn<QString>("path");
    for (const QString &path : exampleFiles())
        QTest::newRow(qPrintable(QDir(EXAMPLES_DIR).relativeFilePath(path))) << path;
}

// The walk as one line per event; the last line says how it ended.
QStringList events(const XmlSource &source, bool *declarations = nullptr)
{
    QStringList out;
    XmlWalker walker(source);
    while (!walker.atEnd()) {
        switch (walker.next()) {
        case XmlWalker::StartElement: {
            QString line = QLatin1String("S:") + walker.name().toString();
            for (const XmlAttribute &a : walker.attributes())
                line += QLatin1Char(' ') + a.name.toString() + QLatin1Char('=') + a.value();
            out << line;
            break;
        }
        case XmlWalker::EndElement:
            out << QLatin1String("E:") + walker.name().toString() + (walker.hasChildElements() ? QString() : QLatin1Char('=') + walker.text());
            break;
        case XmlWalker::Text: out << QLatin1String("T:") + walker.text(); break;
        case XmlWalker::CData: out << QLatin1String("C:") + walker.text(); break;
        case XmlWalker::Comment:
            out << QLatin1String("M:") + QString::fromUtf8(source.bytes().mid(walker.contentSpan().begin, walker.contentSpan().size()));
            break;
        case XmlWalker::ProcessingInstruction:
            out << QLatin1String("P:") + walker.name().toString() + QLatin1Char(' ')
                    + QString::fromUtf8(source.bytes().mid(walker.contentSpan().begin, walker.contentSpan().size()));
            break;
        case XmlWalker::DocumentType:
            out << QLatin1String("D:") + walker.name().toString() + QLatin1Char(' ')
                    + QString::fromUtf8(source.bytes().mid(walker.contentSpan().begin, walker.contentSpan().size()));
            break;
        case XmlWalker::EndDocument: out << QStringLiteral("end"); break;
        case XmlWalker::Error:
            out << QStringLiteral("error %1:%2").arg(walker.error().position.line).arg(walker.error().position.column);
            break;
        case XmlWalker::NoEvent: break;
        }
    }
    if (declarations)
        *declarations = walker.hasUnexpandedDeclarations();
    return out;
}

// A copy of @p bytes in a heap block of exactly their size, so that the
// sanitizers catch a read past the end.
struct ExactBytes
{
    explicit ExactBytes(const QByteArray &bytes)
        : block(new char[std::size_t(std::max(1, bytes.size()))])
    {
        std::memcpy(block.get(), bytes.constData(), std::size_t(bytes.size()));
        data = QByteArray::fromRawData(block.get(), bytes.size());
    }
    std::unique_ptr<char[]> block;
    QByteArray data;
};

// Each element's name and attributes, and the text between elements, as
// QXmlStreamReader reads them, with the line and column after each start tag.
struct StreamItem
{
    QString what;
    qint64 line;
    qint64 column;
};

} // namespace

class TestXmlSource : public QObject
{
    Q_OBJECT
private slots:
    void attributes_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("value");
        QTest::newRow("double quotes") << QByteArray("<a x=\"12\"/>") << 0 << QByteArray("12") << QString("12");
        QTest::newRow("single quotes around double") << QByteArray("<a x='say \"hi\"'/>") << 0 << QByteArray("say \"hi\"") << QString("say \"hi\"");
        QTest::newRow("double quotes around single") << QByteArray("<a x=\"it's\"/>") << 0 << QByteArray("it's") << QString("it's");
        QTest::newRow("five entities") << QByteArray("<a x=\"&lt;&gt;&amp;&quot;&apos;\"/>") << 0
                                       << QByteArray("&lt;&gt;&amp;&quot;&apos;") << QString("<>&\"'");
        QTest::newRow("character references") << QByteArray("<a x=\"&#65;&#x42;&#x1F600;\"/>") << 0
                                              << QByteArray("&#65;&#x42;&#x1F600;") << QString::fromUtf8("AB\xF0\x9F\x98\x80");
        QTest::newRow("empty") << QByteArray("<a x=\"\"/>") << 0 << QByteArray() << QString("");
        QTest::newRow("empty, single quotes") << QByteArray("<a y='1' x=''></a>") << 1 << QByteArray() << QString("");
        QTest::newRow("> inside") << QByteArray("<a x=\"a>b\" y='>'/>") << 1 << QByteArray(">") << QString(">");
        QTest::newRow("whitespace read as spaces") << QByteArray("<a x=\"1\t2\n3\r\n4\r5\"/>") << 0 << QByteArray("1\t2\n3\r\n4\r5")
                                                   << QString("1 2 3 4 5");
        QTest::newRow("referenced whitespace kept") << QByteArray("<a x=\"&#9;&#10;&#13;\"/>") << 0 << QByteArray("&#9;&#10;&#13;")
                                                    << QString("\t\n\r");
        QTest::newRow("spaces around =") << QByteArray("<a\n x \t=\r\n 'v' y=\"w\"/>") << 1 << QByteArray("w") << QString("w");
        QTest::newRow("UTF-8") << QByteArray("<a x=\"\xC3\xA9t\xC3\xA9\"/>") << 0 << QByteArray("\xC3\xA9t\xC3\xA9")
                               << QString::fromUtf8("\xC3\xA9t\xC3\xA9");
        QTest::newRow("no space between attributes") << QByteArray("<a x='1'y=\"2\"/>") << 1 << QByteArray("2") << QString("2");
        QTest::newRow("entity next to text") << QByteArray("<a b='1' c='x&amp;y'/>") << 1 << QByteArray("x&amp;y") << QString("x&y");
        QTest::newRow("the last of a repeated name") << QByteArray("<a x='1' y='2' x='3'/>") << 2 << QByteArray("3") << QString("3");
        QTest::newRow("unknown entity kept") << QByteArray("<a x=\"1&e;2\"/>") << 0 << QByteArray("1&e;2") << QString("1&e;2");
    }

    void attributes()
    {
        QFETCH(QByteArray, document);
        QFETCH(int, index);
        QFETCH(QByteArray, raw);
        QFETCH(QString, value);
        const XmlSource source(document);
        XmlWalker walker(source);
        QCOMPARE(walker.next(), XmlWalker::StartElement);
        QVERIFY(index < int(walker.attributes().size()));
        const XmlAttribute &a = walker.attributes()[std::size_t(index)];
        QCOMPARE(a.rawValue.toByteArray(), raw);
        QCOMPARE(document.mid(a.valueSpan.begin, a.valueSpan.size()), raw);
        QCOMPARE(document.at(a.valueSpan.begin - 1), a.quote);
        QCOMPARE(document.at(a.valueSpan.end), a.quote);
        QCOMPARE(a.value(), value);
        QCOMPARE(walker.attribute(QLatin1String(a.name.data, a.name.size)), &a);
        QCOMPARE(walker.attribute(QLatin1String("z")), nullptr);
        QCOMPARE(a.unexpandedEntity, raw.contains("&e;"));
        QCOMPARE(walker.next(), XmlWalker::EndElement);
        QCOMPARE(walker.next(), XmlWalker::EndDocument);
        QCOMPARE(walker.hasUnexpandedDeclarations(), raw.contains("&e;"));
    }

    void walk_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("declarations");
        QTest::newRow("entities in text") << QByteArray("<a>x &lt; y &amp;&#x41;&#66;</a>") << QStringList{"S:a", "T:x < y &AB", "E:a=x < y &AB", "end"}
                                          << false;
        QTest::newRow("CDATA between text")
            << QByteArray("<a>1<![CDATA[<b>&amp;]]]]>2</a>") << QStringList{"S:a", "T:1", "C:<b>&amp;]]", "T:2", "E:a=1<b>&amp;]]2", "end"} << false;
        QTest::newRow("comment and instruction in a leaf") << QByteArray("<a>x<!-- c>-->y<?p d?>z</a>")
                                                           << QStringList{"S:a", "T:x", "M: c>", "T:y", "P:p d", "T:z", "E:a=xyz", "end"} << false;
        QTest::newRow("line ends in text") << QByteArray("<a>1\r\n2\r3\n</a>") << QStringList{"S:a", "T:1\n2\n3\n", "E:a=1\n2\n3\n", "end"} << false;
        QTest::newRow("line ends in CDATA") << QByteArray("<a><![CDATA[1\r\n2\r]]></a>") << QStringList{"S:a", "C:1\n2\n", "E:a=1\n2\n", "end"}
                                            << false;
        QTest::newRow("referenced CR kept") << QByteArray("<a>&#13;&#10;</a>") << QStringList{"S:a", "T:\r\n", "E:a=\r\n", "end"} << false;
        QTest::newRow("empty and nested") << QByteArray("<a> <b/><c></c> </a>")
                                          << QStringList{"S:a", "T: ", "S:b", "E:b=", "S:c", "E:c=", "T: ", "E:a", "end"} << false;
        QTest::newRow("declaration, comments and instructions around the root")
            << QByteArray("<?xml version=\"1.0\"?>\n<!--1--><?p?>\n<a/>\n<!--2--><?q r ?>\n")
            << QStringList{"P:xml version=\"1.0\"", "M:1", "P:p ", "S:a", "E:a=", "M:2", "P:q r ", "end"} << false;
        QTest::newRow("declaration with \"?>\" in a quoted value")
            << QByteArray("<?xml version=\"1.0\" encoding='UT?>F-8'?><a/>")
            << QStringList{"P:xml version=\"1.0\" encoding='UT?>F-8'", "S:a", "E:a=", "end"} << false;
        QTest::newRow("bare document type") << QByteArray("<!DOCTYPE a><a/>") << QStringList{"D:a ", "S:a", "E:a=", "end"} << false;
        QTest::newRow("external document type") << QByteArray("<!DOCTYPE a PUBLIC \"-//x>[\" 'a\"].dtd'><a/>")
                                                << QStringList{"D:a ", "S:a", "E:a=", "end"} << false;
        QTest::newRow("internal subset with markup in comments and literals")
            << QByteArray("<!DOCTYPE a [\n<!-- ' \" [ ] > -->\n<!ELEMENT a (#PCDATA)>\n<?pi ' ] > ?>\n]>\n<a>t</a>")
            << QStringList{"D:a \n<!-- ' \" [ ] > -->\n<!ELEMENT a (#PCDATA)>\n<?pi ' ] > ?>\n", "S:a", "T:t", "E:a=t", "end"} << false;
        QTest::newRow("declared entity")
            << QByteArray("<!DOCTYPE a [<!ENTITY e \"x>'[]\">]><a>&e;</a>")
            << QStringList{"D:a <!ENTITY e \"x>'[]\">", "S:a", "T:&e;", "E:a=&e;", "end"} << true;
        QTest::newRow("attribute defaults") << QByteArray("<!DOCTYPE a [<!ATTLIST a x CDATA '>'>]><a/>")
                                            << QStringList{"D:a <!ATTLIST a x CDATA '>'>", "S:a", "E:a=", "end"} << true;
        QTest::newRow("parameter entity") << QByteArray("<!DOCTYPE a [ %p; ]><a/>") << QStringList{"D:a  %p; ", "S:a", "E:a=", "end"} << true;
        QTest::newRow("references to what XML cannot hold")
            << QByteArray("<a>&#0;&#xD800;&#x110000;&#99999999999999999999999;&#xFFFE;</a>")
            << QStringList{"S:a", "T:" + QString(5, QChar(0xFFFD)), "E:a=" + QString(5, QChar(0xFFFD)), "end"} << false;
        QTest::newRow("undeclared entity") << QByteArray("<a>1&nbsp;2</a>") << QStringList{"S:a", "T:1&nbsp;2", "E:a=1&nbsp;2", "end"} << true;
        QTest::newRow("names with colons and UTF-8") << QByteArray("<n:a xmlns:n='u'><\xC3\xA9.b-1/></n:a>")
                                                     << QStringList{"S:n:a xmlns:n=u", QString::fromUtf8("S:\xC3\xA9.b-1"),
                                                                    QString::fromUtf8("E:\xC3\xA9.b-1="), "E:n:a", "end"}
                                                     << false;
    }

    void walk()
    {
        QFETCH(QByteArray, document);
        QFETCH(QStringList, expected);
        QFETCH(bool, declarations);
        bool seen = false;
        const ExactBytes exact(document);
        QCOMPARE(events(XmlSource(exact.data), &seen), expected);
        QCOMPARE(seen, declarations);
    }

    void spans()
    {
        const QByteArray doc = "<r>\r\n  <a k=\"v\">x<![CDATA[y]]><!--c--></a>\r\n  <b/>\r\n</r>\r\n";
        const XmlSource source(doc);
        XmlWalker walker(source);
        QStringList seen;
        const auto text = [&doc](XmlSpan s) { return QString::fromLatin1(doc.mid(s.begin, s.size())); };
        while (!walker.atEnd()) {
            const XmlWalker::Event event = walker.next();
            if (event == XmlWalker::EndElement || event == XmlWalker::CData || event == XmlWalker::Comment)
                seen << QStringLiteral("%1|%2|%3").arg(walker.depth()).arg(text(walker.span()), text(walker.contentSpan()));
            else if (event == XmlWalker::StartElement || event == XmlWalker::Text)
                seen << QStringLiteral("%1|%2").arg(walker.depth()).arg(text(walker.span()));
        }
        QCOMPARE(seen, (QStringList{"1|<r>", "1|\r\n  ", "2|<a k=\"v\">", "2|x", "2|<![CDATA[y]]>|y", "2|<!--c-->|c",
                                    "2|<a k=\"v\">x<![CDATA[y]]><!--c--></a>|x<![CDATA[y]]><!--c-->", "1|\r\n  ", "2|<b/>", "2|<b/>|",
                                    "1|\r\n", "1|" + QString::fromLatin1(doc.trimmed()) + "|" + QString::fromLatin1(doc.mid(3, doc.size() - 9))}));
    }

    void emptyElementContent()
    {
        const QByteArray doc = "<r><b  /></r>";
        const XmlSource source(doc);
        XmlWalker walker(source);
        walker.next();
        QCOMPARE(walker.next(), XmlWalker::StartElement);
        QVERIFY(walker.isEmptyElement());
        QCOMPARE(walker.next(), XmlWalker::EndElement);
        QVERIFY(walker.isEmptyElement());
        QCOMPARE(walker.contentSpan(), (XmlSpan{7, 7}));
        QCOMPARE(walker.next(), XmlWalker::EndElement);
        QVERIFY(!walker.isEmptyElement());
        QVERIFY(walker.hasChildElements());
    }

    void errors_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::newRow("mismatched end tag") << QByteArray("<a>\n<b></c></a>") << 2 << 4;
        QTest::newRow("element left open") << QByteArray("<a>\n<b></b>") << 2 << 8;
        QTest::newRow("tag cut short") << QByteArray("<a>\n<b x='1'") << 2 << 1;
        QTest::newRow("unquoted value") << QByteArray("<a x=1/>") << 1 << 6;
        QTest::newRow("attribute without value") << QByteArray("<a x y='1'/>") << 1 << 6;
        QTest::newRow("value not closed") << QByteArray("<a x='1/>") << 1 << 6;
        QTest::newRow("'<' in a value") << QByteArray("<a\n x='<'/>") << 2 << 5;
        QTest::newRow("attribute after the tag's end") << QByteArray("<a x='1'/ y='2'>") << 1 << 9;
        QTest::newRow("'/' without '>'") << QByteArray("<a/ >") << 1 << 3;
        QTest::newRow("name missing") << QByteArray("<a>< b/></a>") << 1 << 5;
        QTest::newRow("name starting with a digit") << QByteArray("<1a/>") << 1 << 2;
        QTest::newRow("bad hex reference") << QByteArray("<a>&#xZ;</a>") << 1 << 4;
        QTest::newRow("empty reference") << QByteArray("<a>&;</a>") << 1 << 4;
        QTest::newRow("reference without ';'") << QByteArray("<a>x&amp</a>") << 1 << 5;
        QTest::newRow("text before the root") << QByteArray(" x<a/>") << 1 << 2;
        QTest::newRow("text after the root") << QByteArray("<a/>\r\n x") << 2 << 2;
        QTest::newRow("second root") << QByteArray("<a/><b/>") << 1 << 5;
        QTest::newRow("no root") << QByteArray("<!-- c -->\n") << 2 << 1;
        QTest::newRow("nothing") << QByteArray() << 1 << 1;
        QTest::newRow("CDATA outside the root") << QByteArray("<![CDATA[x]]><a/>") << 1 << 1;
        QTest::newRow("CDATA not closed") << QByteArray("<a><![CDATA[x]]</a>") << 1 << 4;
        QTest::newRow("'--' in a comment") << QByteArray("<a><!-- a--b --></a>") << 1 << 10;
        QTest::newRow("comment ending '--->'") << QByteArray("<a><!-- a ---></a>") << 1 << 11;
        QTest::newRow("comment not closed") << QByteArray("<a/><!-- x") << 1 << 5;
        QTest::newRow("declaration not at the start") << QByteArray(" <?xml version='1.0'?><a/>") << 1 << 2;
        QTest::newRow("instruction without target") << QByteArray("<a><? x?></a>") << 1 << 6;
        QTest::newRow("instruction not closed") << QByteArray("<a><?p x</a>") << 1 << 4;
        QTest::newRow("end tag closing nothing") << QByteArray("</a>") << 1 << 1;
        QTest::newRow("end tag not closed") << QByteArray("<a></a") << 1 << 7;
        QTest::newRow("document type after the root") << QByteArray("<a/><!DOCTYPE a>") << 1 << 5;
        QTest::newRow("document type not closed") << QByteArray("<!DOCTYPE a [ <!ELEMENT a ANY> ]") << 1 << 1;
        QTest::newRow("literal in a declaration not closed") << QByteArray("<!DOCTYPE a [<!ENTITY e 'x>]><a/>") << 1 << 14;
        QTest::newRow("text in the internal subset") << QByteArray("<!DOCTYPE a [ x ]><a/>") << 1 << 15;
        QTest::newRow("unknown markup") << QByteArray("<a><!ELEMENT a></a>") << 1 << 4;
        QTest::newRow("UTF-16 declared on bytes") << QByteArray("<?xml version='1.0' encoding='UTF-16'?><a/>") << 1 << 1;
    }

    void errors()
    {
        QFETCH(QByteArray, document);
        QFETCH(int, line);
        QFETCH(int, column);
        const ExactBytes exact(document);
        const XmlSource source(exact.data);
        XmlWalker walker(source);
        while (!walker.atEnd())
            walker.next();
        QVERIFY(walker.hasError());
        const XmlError &error = walker.error();
        QVERIFY(!error.message.isEmpty());
        QCOMPARE(error.position.line, line);
        QCOMPARE(error.position.column, column);
        QCOMPARE(source.position(error.offset).line, line);
        QVERIFY(error.text().startsWith(QStringLiteral("line %1, column %2: ").arg(line).arg(column)));
        QCOMPARE(walker.next(), XmlWalker::Error); // and stays there
    }

    // Positions agree with where the library's check stops on a mismatched
    // end tag: the column of its '>'.
    void positions_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::newRow("first line") << QByteArray("<a><b></c></a>");
        QTest::newRow("second line") << QByteArray("<a>\n<b></c></a>");
        QTest::newRow("tab") << QByteArray("<a>\t<b></c></a>");
        QTest::newRow("two-byte characters") << QByteArray("<a>\n\xC3\xA9\xC3\xA9<b></c></a>");
        QTest::newRow("three-byte characters") << QByteArray("<a>\n\xE2\x82\xAC<b x='\xE2\x82\xAC'></c></a>");
        QTest::newRow("character outside the BMP") << QByteArray("<a>\n\xF0\x9F\x98\x80<b></c></a>");
        QTest::newRow("CR LF") << QByteArray("<a>\r\n\r\n<b></c></a>");
        QTest::newRow("lone CR") << QByteArray("<a>\r<b>\r</c></a>");
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF<a><b></c></a>");
        QTest::newRow("Latin-1 declared") << QByteArray("<?xml version='1.0' encoding='ISO-8859-1'?>\n<a>\xE9\xE9<b></c></a>");
        QTest::newRow("invalid UTF-8") << QByteArray("<a>\n\xE9\xE9<b></c></a>");
        QTest::newRow("cut sequence") << QByteArray("<a>\n\xE2\x82<b></c></a>");
    }

    void positions()
    {
        QFETCH(QByteArray, document);
        const ZadUruru::WellFormedness library = ZadUruru::checkWellFormed(document);
        QVERIFY(!library.wellFormed);
        const XmlSource source(document);
        XmlWalker walker(source);
        while (!walker.atEnd())
            walker.next();
        QVERIFY(walker.hasError());
        const int closing = source.bytes().indexOf("</c>") + 3;
        const XmlPosition position = source.position(closing);
        QCOMPARE(position.line, library.line);
        QCOMPARE(position.column, library.column);
    }

    // Asked in any order, offsets get the same answer as asked in order.
    void positionsInAnyOrder()
    {
        const QByteArray doc = "\xEF\xBB\xBF<a>\r\n\xC3\xA9 \xF0\x9F\x98\x80 x\r\ry\n\xE9z<b/>\n</a>";
        const XmlSource forward(doc);
        QVector<XmlPosition> expected;
        for (int i = 0; i <= doc.size(); ++i)
            expected << forward.position(i);
        QCOMPARE(expected[3].line, 1);
        QCOMPARE(expected[3].column, 1);
        QCOMPARE(expected[doc.indexOf('x')].line, 2);
        QCOMPARE(expected[doc.indexOf('x')].column, 6);
        QCOMPARE(expected[doc.indexOf('y')].line, 4);
        QCOMPARE(expected[doc.indexOf('z')].column, 2);
        const XmlSource shuffled(doc);
        QVector<int> order(doc.size() + 1);
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), *QRandomGenerator::global());
        for (int i : order) {
            const XmlPosition p = shuffled.position(i);
            QVERIFY2(p.line == expected[i].line && p.column == expected[i].column, qPrintable(QString::number(i)));
        }
    }

    void encodings_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<bool>("raw");
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<int>("invalid");
        QTest::addColumn<QString>("value");
        const QString e = QString::fromUtf8("\xC3\xA9");
        QTest::newRow("UTF-8") << QByteArray("<a x='\xC3\xA9'/>") << true << QByteArray("UTF-8") << -1 << e;
        QTest::newRow("UTF-8 with a byte order mark") << QByteArray("\xEF\xBB\xBF<a x='\xC3\xA9'/>") << true << QByteArray("UTF-8") << -1 << e;
        QTest::newRow("unknown encoding, read as UTF-8")
            << QByteArray("<?xml version='1.0' encoding='x-nothing'?><a x='\xC3\xA9'/>") << true << QByteArray("UTF-8") << -1 << e;
        QTest::newRow("UTF-8 declared in lower case")
            << QByteArray("<?xml version='1.0' encoding='utf-8'?><a x='\xC3\xA9'/>") << true << QByteArray("UTF-8") << -1 << e;
        QTest::newRow("ISO-8859-1 declared") << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a x='\xE9'/>") << false
                                             << QByteArray("ISO-8859-1") << -1 << e;
        QTest::newRow("windows-1252 declared") << QByteArray("<?xml version='1.0' encoding='windows-1252'?><a x='\x80'/>") << false
                                               << QByteArray("windows-1252") << -1 << QString::fromUtf8("\xE2\x82\xAC");
        QTest::newRow("UTF-16LE with a byte order mark")
            << bytes("\xFF\xFE<\0a\0 \0x\0=\0'\0\xE9\0'\0/\0>\0") << false << QByteArray("UTF-16LE") << -1 << e;
        QTest::newRow("UTF-16BE with a byte order mark")
            << bytes("\xFE\xFF\0<\0a\0 \0x\0=\0'\0\xE9\0'\0/\0>") << false << QByteArray("UTF-16BE") << -1 << e;
        QTest::newRow("UTF-16LE without a byte order mark")
            << bytes("<\0?\0x\0m\0l\0 \0?\0>\0<\0a\0 \0x\0=\0'\0\xE9\0'\0/\0>\0") << false << QByteArray("UTF-16LE") << -1 << e;
        // 0xFF has no character in windows-1253: it stands as U+FFFD after "<a>".
        QTest::newRow("windows-1253, a byte of no character") << QByteArray("<?xml version='1.0' encoding='windows-1253'?><a>\xFF</a>") << false
                                                              << QByteArray("windows-1253") << 48 << QString();
        QTest::newRow("Latin-1 undeclared") << QByteArray("<a x='\xE9'/>") << true << QByteArray("UTF-8") << 6 << QString(QChar(0xFFFD));
        QTest::newRow("overlong sequence") << QByteArray("<a x='-\xC0\x80'/>") << true << QByteArray("UTF-8") << 7
                                           << QString("-") + QChar(0xFFFD) + QChar(0xFFFD);
        QTest::newRow("encoded surrogate") << QByteArray("<a>\n</a><!--\xED\xA0\x80-->") << true << QByteArray("UTF-8") << 12 << QString();
        QTest::newRow("sequence cut short") << QByteArray("<a x='\xE2\x82'/>") << true << QByteArray("UTF-8") << 6 << QString(2, QChar(0xFFFD));
    }

    void encodings()
    {
        QFETCH(QByteArray, document);
        QFETCH(bool, raw);
        QFETCH(QByteArray, encoding);
        QFETCH(int, invalid);
        QFETCH(QString, value);
        const ExactBytes exact(document);
        const XmlSource source(exact.data);
        QCOMPARE(source.isRaw(), raw);
        QCOMPARE(source.encoding(), encoding);
        const int declared = document.indexOf("encoding=");
        QCOMPARE(source.declaredEncoding(), declared < 0 ? QByteArray() : document.mid(declared + 10, document.indexOf(document[declared + 9], declared + 10) - declared - 10));
        QCOMPARE(source.firstInvalidByte(), invalid);
        QCOMPARE(source.hasByteOrderMark(), document.startsWith("\xEF\xBB\xBF") || document.startsWith("\xFF\xFE") || document.startsWith("\xFE\xFF"));
        if (raw)
            QCOMPARE(source.bytes(), document);
        XmlWalker walker(source);
        while (walker.next() != XmlWalker::StartElement && !walker.atEnd()) {
        }
        QVERIFY2(!walker.atEnd(), qPrintable(walker.error().text()));
        if (!value.isNull()) {
            const XmlAttribute &a = walker.attributes().front();
            QCOMPARE(a.value(), value);
            if (raw) // the span is where the value lies in the file's own bytes
                QCOMPARE(document.mid(a.valueSpan.begin, a.valueSpan.size()), a.rawValue.toByteArray());
        }
        while (!walker.atEnd())
            walker.next();
        QCOMPARE(walker.event(), XmlWalker::EndDocument);
    }

    // A document cut at every byte is refused or, once only whitespace is
    // missing, read whole; never a read past its end.
    void truncated()
    {
        const QByteArray doc = "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!-- ] > --><!ELEMENT r ANY>]>\n"
                               "<r a=\"1 &amp; &#x41;\" b='\xC3\xA9'>\r\n<!-- c --><?p d?>t&lt;<![CDATA[x]]><e/></r>\n";
        const int complete = doc.lastIndexOf('>') + 1;
        for (int n = 0; n <= doc.size(); ++n) {
            const ExactBytes exact(doc.left(n));
            const XmlSource source(exact.data);
            XmlWalker walker(source);
            int steps = 0;
            while (!walker.atEnd() && ++steps < 100)
                walker.next();
            QVERIFY(walker.atEnd());
            QVERIFY2(walker.hasError() == (n < complete), qPrintable(QString::number(n)));
            if (walker.hasError())
                QVERIFY(walker.error().offset <= n);
        }
    }

    // Bytes the library reads are walked to their end, whatever else the
    // walk meets; no bytes make it hang or read past their end.
    void mutations_data() { addExampleRows(); }

    void mutations()
    {
        QFETCH(QString, path);
        const QByteArray original = readAll(path);
        QVERIFY(!original.isEmpty());
        static const char pieces[][12] = {"<", ">", "/", "'", "\"", "&", ";", "]]>", "<!--", "-->", "<![CDATA[", "?>",
                                          "&#x41;", "&#0;", "\r", "\xC3", "\xF0\x9F", "=", " ", "&lt", "<?p ", "\x80"};
        // Seeded by the path within the examples, so that every checkout draws the same mutations.
        QRandomGenerator random(qHash(QDir(EXAMPLES_DIR).relativeFilePath(path)));
        int readByLibrary = 0;
        for (int round = 0; round < 300; ++round) {
            QByteArray bytes = original;
            for (int m = 1 + int(random.bounded(3)); m > 0; --m) {
                const int at = int(random.bounded(bytes.size()));
                switch (random.bounded(3)) {
                case 0: bytes.remove(at, 1 + int(random.bounded(8))); break;
                case 1: bytes.insert(at, pieces[random.bounded(int(sizeof pieces / sizeof *pieces))]); break;
                default: bytes[at] = char(random.bounded(256)); break;
                }
            }
            const ExactBytes exact(bytes);
            const XmlSource source(exact.data);
            XmlWalker walker(source);
            int last = 0;
            while (!walker.atEnd()) {
                walker.next();
                QVERIFY(walker.span().begin >= last - walker.span().size() || walker.event() == XmlWalker::EndElement);
                QVERIFY(walker.span().end <= source.bytes().size() && walker.contentSpan().begin >= walker.span().begin
                        && walker.contentSpan().end <= walker.span().end);
                last = walker.span().end;
            }
            if (ZadUruru::checkWellFormed(bytes).wellFormed) {
                ++readByLibrary;
                QVERIFY2(!walker.hasError(), qPrintable(walker.error().text() + "\n" + QString::fromUtf8(bytes)));
            }
        }
        QVERIFY(readByLibrary > 0);
    }

    void deepNesting()
    {
        const int depth = 100000;
        const QByteArray doc = QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
        const XmlSource source(doc);
        XmlWalker walker(source);
        int deepest = 0;
        int events = 0;
        while (!walker.atEnd()) {
            walker.next();
            deepest = std::max(deepest, walker.depth());
            ++events;
        }
        QCOMPARE(walker.event(), XmlWalker::EndDocument);
        QCOMPARE(deepest, depth);
        QCOMPARE(events, 2 * depth + 1);

        const XmlSource open(doc.left(doc.size() - 4));
        XmlWalker cut(open);
        while (!cut.atEnd())
            cut.next();
        QVERIFY(cut.hasError());
        QVERIFY(cut.error().message.contains(QLatin1String("<a> of line 1, column 1")));
    }

    void manyAttributes()
    {
        const int count = 100000;
        QByteArray doc = "<a";
        for (int i = 0; i < count; ++i)
            doc += " a" + QByteArray::number(i) + "='" + QByteArray::number(i) + "'";
        doc += "/>";
        const XmlSource source(doc);
        XmlWalker walker(source);
        QCOMPARE(walker.next(), XmlWalker::StartElement);
        QCOMPARE(int(walker.attributes().size()), count);
        QCOMPARE(walker.attributes().back().value(), QString::number(count - 1));
        QCOMPARE(walker.attribute(QLatin1String("a0"))->value(), QString("0"));
        QCOMPARE(walker.next(), XmlWalker::EndElement);
        QCOMPARE(walker.next(), XmlWalker::EndDocument);
    }

    // The example project's files read alike by QXmlStreamReader: names in
    // order, decoded values and texts, lines and columns after each start tag.
    void sameAsStreamReader_data() { addExampleRows(); }

    void sameAsStreamReader()
    {
        QFETCH(QString, path);
        const QByteArray bytes = readAll(path);
        QVERIFY(!bytes.isEmpty());
        QList<StreamItem> expected;
        QString text;
        const auto flush = [&text](QList<StreamItem> &into) {
            if (!text.isEmpty())
                into << StreamItem{QLatin1String("T:") + text, 0, 0};
            text.clear();
        };
        QXmlStreamReader reader(bytes);
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isCharacters() && reader.tokenType() != QXmlStreamReader::NoToken) {
                text += reader.text();
                continue;
            }
            if (reader.isStartElement()) {
                flush(expected);
                QString line = QLatin1String("S:") + reader.name();
                for (const QXmlStreamAttribute &a : reader.attributes())
                    line += QLatin1Char(' ') + a.qualifiedName() + QLatin1Char('=') + a.value();
                expected << StreamItem{line, reader.lineNumber(), reader.columnNumber()};
            } else if (reader.isEndElement()) {
                flush(expected);
                expected << StreamItem{QLatin1String("E:") + reader.name(), reader.lineNumber(), reader.columnNumber()};
            }
        }
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));

        const XmlSource source(bytes);
        QVERIFY(source.isRaw());
        QCOMPARE(source.firstInvalidByte(), -1);
        XmlWalker walker(source);
        QList<StreamItem> seen;
        text.clear();
        while (!walker.atEnd()) {
            const XmlWalker::Event event = walker.next();
            if (event == XmlWalker::Text || event == XmlWalker::CData) {
                text += walker.text();
                continue;
            }
            if (event == XmlWalker::StartElement || event == XmlWalker::EndElement) {
                flush(seen);
                QString line = QLatin1String(event == XmlWalker::StartElement ? "S:" : "E:") + walker.name().toString();
                for (const XmlAttribute &a : walker.attributes())
                    line += QLatin1Char(' ') + a.name.toString() + QLatin1Char('=') + a.value();
                const XmlPosition after = source.position(walker.span().end);
                seen << StreamItem{line, after.line, after.column - 1};
            }
        }
        QVERIFY2(!walker.hasError(), qPrintable(walker.error().text()));
        QVERIFY(seen.size() > 10);
        QCOMPARE(seen.size(), expected.size());
        for (int i = 0; i < seen.size(); ++i) {
            QCOMPARE(seen[i].what, expected[i].what);
            QCOMPARE(seen[i].line, expected[i].line);
            QCOMPARE(seen[i].column, expected[i].column);
        }
    }

    // A value replaced in the raw bytes of an example file: the file reads the
    // new value there, every other byte as it was.
    void editExample_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("replacement");
        for (const QString &path : exampleFiles()) {
            const QString name = QDir(EXAMPLES_DIR).relativeFilePath(path);
            QTest::newRow(qPrintable(name + ", number")) << path << QString("4711");
            QTest::newRow(qPrintable(name + ", markup")) << path << QString::fromUtf8("a<b> & \"c\" 'd'\n\t]]>\xC3\xA9");
            QTest::newRow(qPrintable(name + ", empty")) << path << QString("");
        }
    }

    void editExample()
    {
        QFETCH(QString, path);
        QFETCH(QString, replacement);
        const QByteArray bytes = readAll(path);
        QVERIFY(!bytes.isEmpty());
        // The last attribute and the last leaf element of the file.
        const XmlSource source(bytes);
        XmlWalker walker(source);
        XmlAttribute attribute;
        int attributeIndex = -1;
        int attributes = 0;
        XmlSpan leaf;
        int leafIndex = -1;
        int ends = 0;
        while (!walker.atEnd()) {
            const XmlWalker::Event event = walker.next();
            if (event == XmlWalker::StartElement && !walker.attributes().empty()) {
                attribute = walker.attributes().back();
                attributes += int(walker.attributes().size());
                attributeIndex = attributes - 1;
            } else if (event == XmlWalker::EndElement) {
                if (!walker.hasChildElements() && !walker.isEmptyElement()) {
                    leaf = walker.contentSpan();
                    leafIndex = ends;
                }
                ++ends;
            }
        }
        QVERIFY(leafIndex >= 0);

        std::vector<XmlEdit> edits{{leaf, escapeXmlText(replacement)}};
        if (attributeIndex >= 0)
            edits.push_back({attribute.valueSpan, escapeXmlAttribute(replacement, attribute.quote)});
        QByteArray changed = bytes;
        QVERIFY(applyXmlEdits(changed, edits));

        // Outside the spans, the bytes are those of the file.
        std::sort(edits.begin(), edits.end(), [](const XmlEdit &a, const XmlEdit &b) { return a.span.begin < b.span.begin; });
        int from = 0;
        int shift = 0;
        for (const XmlEdit &edit : edits) {
            QCOMPARE(changed.mid(from + shift, edit.span.begin - from), bytes.mid(from, edit.span.begin - from));
            shift += edit.bytes.size() - edit.span.size();
            from = edit.span.end;
        }
        QCOMPARE(changed.mid(from + shift), bytes.mid(from));

        QVERIFY2(ZadUruru::checkWellFormed(changed).wellFormed, qPrintable(ZadUruru::checkWellFormed(changed).message));
        const XmlSource again(changed);
        XmlWalker reread(again);
        attributes = 0;
        ends = 0;
        while (!reread.atEnd()) {
            const XmlWalker::Event event = reread.next();
            if (event == XmlWalker::StartElement) {
                for (const XmlAttribute &a : reread.attributes()) {
                    if (attributes++ == attributeIndex)
                        QCOMPARE(a.value(), replacement);
                }
            } else if (event == XmlWalker::EndElement && ends++ == leafIndex) {
                QCOMPARE(reread.text(), replacement);
            }
        }
        QCOMPARE(reread.event(), XmlWalker::EndDocument);
    }

    // Escaped values read back alike by the walk and QXmlStreamReader.
    void escapes_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("read");
        QTest::newRow("plain") << QString("abc") << QString("abc");
        QTest::newRow("markup") << QString("<a href=\"x\">'&amp;'</a>") << QString("<a href=\"x\">'&amp;'</a>");
        QTest::newRow("CDATA end") << QString("]]>") << QString("]]>");
        QTest::newRow("line ends and tab") << QString("1\r\n2\r3\n4\t5") << QString("1\r\n2\r3\n4\t5");
        QTest::newRow("outside the BMP") << QString::fromUtf8("\xF0\x9F\x98\x80") << QString::fromUtf8("\xF0\x9F\x98\x80");
        QTest::newRow("characters XML cannot hold") << QString("a") + QChar(1) + QChar(0xFFFE) + QChar(0xD800) + "b" << QString("ab");
    }

    void escapes()
    {
        QFETCH(QString, value);
        QFETCH(QString, read);
        for (const char quote : {'"', '\''}) {
            const QByteArray doc = "<a x=" + QByteArray(1, quote) + escapeXmlAttribute(value, quote) + QByteArray(1, quote) + ">"
                                 + escapeXmlText(value) + "</a>";
            const XmlSource source(doc);
            XmlWalker walker(source);
            QCOMPARE(walker.next(), XmlWalker::StartElement);
            QCOMPARE(walker.attributes().front().value(), read);
            while (walker.next() != XmlWalker::EndElement && !walker.atEnd()) {
            }
            QCOMPARE(walker.text(), read);
            QXmlStreamReader reader(doc);
            QVERIFY(reader.readNextStartElement());
            QCOMPARE(reader.attributes().value(QLatin1String("x")).toString(), read);
            QCOMPARE(reader.readElementText(), read);
        }
    }

    void edits_data()
    {
        QTest::addColumn<QList<int>>("spans"); // begin, end, begin, end...
        QTest::addColumn<QByteArray>("result"); // empty when refused
        QTest::newRow("one") << QList<int>{1, 2} << QByteArray("0[]23456789");
        QTest::newRow("in any order") << QList<int>{8, 9, 1, 2} << QByteArray("0[]234567[]9");
        QTest::newRow("touching") << QList<int>{1, 2, 2, 3} << QByteArray("0[][]3456789");
        QTest::newRow("insertion") << QList<int>{10, 10} << QByteArray("0123456789[]");
        QTest::newRow("whole") << QList<int>{0, 10} << QByteArray("[]");
        QTest::newRow("overlapping") << QList<int>{1, 3, 2, 4} << QByteArray();
        QTest::newRow("past the end") << QList<int>{9, 11} << QByteArray();
        QTest::newRow("reversed") << QList<int>{3, 2} << QByteArray();
    }

    void edits()
    {
        QFETCH(QList<int>, spans);
        QFETCH(QByteArray, result);
        std::vector<XmlEdit> edits;
        for (int i = 0; i < spans.size(); i += 2)
            edits.push_back({{spans[i], spans[i + 1]}, "[]"});
        QByteArray data = "0123456789";
        QCOMPARE(applyXmlEdits(data, edits), !result.isEmpty());
        QCOMPARE(data, result.isEmpty() ? QByteArray("0123456789") : result);
    }
};

QTEST_GUILESS_MAIN(TestXmlSource)
#include "tst_xmlSource.moc"
