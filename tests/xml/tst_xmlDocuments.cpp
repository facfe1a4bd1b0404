#include <zadururu/common/plainXmlScanner_p.h>
#include <zadururu/common/wellFormed.h>
#include <zadururu/common/xmlLimits_p.h>

#include <QDomDocument>

#include <QtTest>

#include <sys/mman.h>
#include <unistd.h>

// The plain scanner is the fast path of every reader: it must take the plain
// form the writers write, give the events the parser would give, and refuse
// the rest part way, so that the parser decides. A refusal it should not
// make costs only speed; a document it takes wrongly would be read wrongly.

using ZadUruru::PlainAttribute;

namespace {

// The events as text: <name a=[value]>, </>, text[...], cdata[...].
struct Recorder
{
    QString log;

    void open(QLatin1String name, const PlainAttribute *attributes, int count)
    {
        log += '<' + QString(name);
        for (int i = 0; i < count; ++i)
            log += ' ' + QString(attributes[i].name) + "=[" + ZadUruru::plainText(attributes[i].value, attributes[i].size, attributes[i].entities) + ']';
        log += '>';
    }
    void close() { log += QLatin1String("</>"); }
    void text(const char *data, int size, bool entities) { log += "text[" + ZadUruru::plainText(data, size, entities) + ']'; }
    void cdata(const char *data, int size) { log += "cdata[" + QString::fromUtf8(data, size) + ']'; }
};

// A copy of a document that ends where readable memory ends, as a file mapped
// to the end of its last page may: reading a byte past its end faults.
class AtPageEnd
{
public:
    explicit AtPageEnd(const QByteArray &document)
    {
        const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
        const std::size_t size = std::size_t(document.size());
        m_length = (size + page - 1) / page * page + page;
        void *map = mmap(nullptr, m_length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (map == MAP_FAILED)
            qFatal("mmap failed");
        m_map = static_cast<char *>(map);
        char *guard = m_map + m_length - page;
        if (mprotect(guard, page, PROT_NONE) != 0)
            qFatal("mprotect failed");
        std::memcpy(guard - size, document.constData(), size);
        m_data = QByteArray::fromRawData(guard - size, int(size));
    }
    ~AtPageEnd() { munmap(m_map, m_length); }
    AtPageEnd(const AtPageEnd &) = delete;
    AtPageEnd &operator=(const AtPageEnd &) = delete;

    const QByteArray &data() const { return m_data; }

private:
    char *m_map = nullptr;
    std::size_t m_length = 0;
    QByteArray m_data;
};

QByteArray nested(int depth)
{
    return QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
}

// An entity "b" of 1000 characters; twenty references to it make a document
// of this size grow far past the limit, one does not.
const QString big = "<!ENTITY b \"" + QString(1000, 'y') + "\">";
const QString twenty = QString("&b;").repeated(20);

// A document whose internal subset holds @p declarations, with @p content in its root.
QString withSubset(const QString &declarations, const QString &content, const QString &prolog = QString())
{
    return prolog + "<!DOCTYPE r [" + declarations + "]><r>" + content + "</r>";
}

} // namespace

class tst_XmlDocuments : public QObject
{
    Q_OBJECT

private slots:
    // A refused document's events do not matter: the parser starts over.
    void scan_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("events"); // null: refused

        QTest::newRow("writer's form") << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<S>\n    <G X=\"1\" Y='-2'/>\n    <T>a b</T>\n</S>\n")
                                       << "<S>text[\n    ]<G X=[1] Y=[-2]></>text[\n    ]<T>text[a b]</>text[\n]</>";
        QTest::newRow("short declaration, doctype") << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE r>\n<r/>") << "<r></>";
        QTest::newRow("names") << QByteArray("<_a-b.c1 z9_=\"\"/>") << "<_a-b.c1 z9_=[]></>";
        QTest::newRow("spaces in a tag") << QByteArray("<a\tx=\"1\"\n  y=\"2\" ></a>") << "<a x=[1] y=[2]></>";
        QTest::newRow("entities") << QByteArray("<a v=\"&lt;&amp;&quot;&apos;&gt;\">x&lt;&gt;&amp;&quot;&apos;y</a>")
                                  << "<a v=[<&\"'>]>text[x<>&\"'y]</>";
        QTest::newRow("each entity alone") << QByteArray("<a v=\"&amp;1&quot;2\">&lt;a&gt;b&amp;c&quot;d&apos;e</a>")
                                       << "<a v=[&1\"2]>text[<a>b&c\"d'e]</>";
        QTest::newRow("raw tab and line feed in a value") << QByteArray("<a v=\"a\tb\nc\"/>") << "<a v=[a\tb\nc]></>";
        QTest::newRow("quotes of the other kind") << QByteArray("<a v='\"' w=\"'\"/>") << "<a v=[\"] w=[']></>";
        QTest::newRow("markup characters that need no escape") << QByteArray("<a v=\"a>b\">]>]]</a>") << "<a v=[a>b]>text[]>]]]</>";
        QTest::newRow("'>' and ']]' apart in text") << QByteArray("<a>ab>c]]d]]</a>") << "<a>text[ab>c]]d]]]</>";
        QTest::newRow("CDATA") << QByteArray("<a><![CDATA[<b>&amp;]]]]><![CDATA[]]></a>") << "<a>cdata[<b>&amp;]]]cdata[]</>";
        QTest::newRow("UTF-8 of every length") << QByteArray("<a v=\"\xc3\xa9\">\xc2\xa0\xe2\x82\xac\xf0\x9f\x9a\xb0\xf4\x8f\xbf\xbd</a>")
                                               << QString::fromUtf8("<a v=[\xc3\xa9]>text[\xc2\xa0\xe2\x82\xac\xf0\x9f\x9a\xb0\xf4\x8f\xbf\xbd]</>");
        // The characters next to every range the scanner leaves to the parser.
        const QByteArray edges = "\xc2\xa0\xdf\xbf\xe0\xa0\x80\xed\x9f\xbf\xee\x80\x80\xef\xbb\xbe\xef\xbf\xbd\xf0\x90\x80\x80\xf4\x8f\xbf\xbf ~\t";
        QTest::newRow("UTF-8 next to what is refused") << "<a v=\"" + edges + "\">" + edges + "<![CDATA[" + edges + "]]></a>"
            << "<a v=[" + QString::fromUtf8(edges) + "]>text[" + QString::fromUtf8(edges) + "]cdata[" + QString::fromUtf8(edges) + "]</>";
        QTest::newRow("two-byte sequence before ASCII") << QByteArray("<a>\xc2\xa0x\xc2\xbf\x7e</a>") << QString::fromUtf8("<a>text[\xc2\xa0x\xc2\xbf~]</>");
        QTest::newRow("names at the edges of their ranges") << QByteArray("<AZaz_09-.Q Za_=\"\"/>") << "<AZaz_09-.Q Za_=[]></>";
        QTest::newRow("trailing whitespace") << QByteArray("<a/> \n\t") << "<a></>";
        // The parser reports an attribute given twice twice too; its readers take the last.
        QTest::newRow("attribute given twice") << QByteArray("<a x=\"1\" y='2' x=\"3\"/>") << "<a x=[1] y=[2] x=[3]></>";
        QTest::newRow("deepest nesting") << nested(ZadUruru::maxXmlNestingDepth) << QString("<a>").repeated(ZadUruru::maxXmlNestingDepth) + QString("</>").repeated(ZadUruru::maxXmlNestingDepth);

        const QStringList refused = {
            "", " ", "x<a/>", "<a>", "<a></b>", "<a></a >", "<a/><b/>", "<a/>x", "<a/><![CDATA[x]]>", "<![CDATA[x]]><a/>",
            "<1a/>", "<a:b/>", "<a><!--c--></a>", "<?pi x?><a/>", "<a><?pi x?></a>", "<?xml version=\"1.1\"?><a/>",
            "<!DOCTYPE a [<!ENTITY e \"x\">]><a/>", "<!DOCTYPE a SYSTEM \"a.dtd\"><a/>", "<!DOCTYPE a",
            "<a>&#65;</a>", "<a>&e;</a>", "<a>&amp</a>", "<a v=\"&#9;\"/>", "<a v=\"&x;\"/>",
            "<a>x\ry</a>", "<a>\x01</a>", "<a>\x7f</a>", "<a v=\"\x01\"/>", "<a><![CDATA[\x01]]></a>", "<a>]]></a>",
            "<a x=\"1\"y=\"2\"/>", "<a x =\"1\"/>", "<a x= \"1\"/>", "<a x=1/>", "<a x=/>", "<a x=></a>", "<a x=\"<\"/>", "<a =\"1\"/>", "<a 1=\"1\"/>", "</>",
            "<!DOCTYPE ><a/>", "<!DOCTYPE a<a/>", "<!DOCTYPE a [<a/>",
            "<a x=\"1/>", "<a x=\"1'/>", "<a><![CDATA[x</a>", "<a", "<a/", "<a><", "</a>",
        };
        for (const QString &document : refused)
            QTest::newRow(qPrintable("refused: " + document)) << document.toUtf8() << QString();
        const QList<QByteArray> badUtf8 = {
            "\xc0\x80", "\xc1\xbf", "\xc2\x85", "\xc2", "\xe0\x9f\xbf", "\xed\xa0\x80", "\xef\xbb\xbf", "\xef\xbf\xbe",
            "\xef\xbf\xbf", "\xf0\x8f\xbf\xbf", "\xf4\x90\x80\x80", "\xf5\x80\x80\x80", "\xe2\x82", "\x80", "\xff",
            "\xc3\x41", "\xe1\x41\x80", "\xe1\x80\x41", "\xf1\x41\x80\x80", "\xf1\x80\x41\x80", "\xf1\x80\x80\x41",
        };
        for (const QByteArray &bytes : badUtf8) {
            const QString hex = QString::fromLatin1(bytes.toHex(' '));
            QTest::newRow(qPrintable("refused in text: " + hex)) << "<a>" + bytes + "</a>" << QString();
            QTest::newRow(qPrintable("refused in a value: " + hex)) << "<a v=\"" + bytes + "\"/>" << QString();
            QTest::newRow(qPrintable("refused in CDATA: " + hex)) << "<a><![CDATA[" + bytes + "]]></a>" << QString();
        }
        QTest::newRow("refused: cut inside a sequence") << QByteArray("<a>\xe2\x82") << QString();
        QTest::newRow("refused: nested past the limit") << nested(ZadUruru::maxXmlNestingDepth + 1) << QString();
    }
    void scan()
    {
        QFETCH(QByteArray, document);
        QFETCH(QString, events);
        // Also on data without a terminator, as from a mapped file, followed by
        // bytes that would change the verdict or the events if they were read.
        for (const char after : {'\0', ' ', '>', '<', 'a', ']', '/', '-', '"'}) {
            const QByteArray buffer = document + after;
            const QByteArray data = after ? QByteArray::fromRawData(buffer.constData(), document.size()) : document;
            Recorder recorder;
            const bool taken = ZadUruru::PlainXmlScanner<Recorder>(data, recorder).scan();
            QCOMPARE(taken, !events.isNull());
            if (taken)
                QCOMPARE(recorder.log, events);
        }
        const AtPageEnd mapped(document);
        Recorder recorder;
        QCOMPARE(ZadUruru::PlainXmlScanner<Recorder>(mapped.data(), recorder).scan(), !events.isNull());
    }

    // The check answers as the document tree does, with the same message and
    // position, whether the scanner or the parser decides.
    void checkWellFormed_data()
    {
        QTest::addColumn<QByteArray>("document");
        const QList<QByteArray> documents = {
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r a=\"1\"><b>x</b></r>\n", "<!--c--><r/>", "<r>&#65;</r>",
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>\xe9</r>", "", "  \n", "<r>", "<r></s>", "<r/><r/>",
            "<r/>x", "<r>&nope;</r>", "\n\n<r>\n  <a b=\"<\"/>\n</r>", "<r>\xff</r>", "<r a=\"1\" a=\"2\"/>", "<1/>",
            "<p:r q:a=\"1\"><s:t/></p:r>",
        };
        for (const QByteArray &document : documents)
            QTest::newRow(document.left(40).toPercentEncoding(" <>/=\"!?&;").constData()) << document;
    }
    void checkWellFormed()
    {
        QFETCH(QByteArray, document);
        QDomDocument tree;
        QString message;
        int line = 0;
        int column = 0;
        const bool wellFormed = tree.setContent(document, &message, &line, &column);
        const ZadUruru::WellFormedness check = ZadUruru::checkWellFormed(document);
        QCOMPARE(check.wellFormed, wellFormed);
        QCOMPARE(check.root, wellFormed ? tree.documentElement().tagName() : QString());
        QCOMPARE(check.message, message);
        QCOMPARE(check.line, line);
        QCOMPARE(check.column, column);
    }
    // A document past a limit is refused with the limit's message: nested
    // too deep where the element too many opens, the entities before the
    // parser starts.
    void checkWellFormed_limits_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        const int limit = ZadUruru::maxXmlNestingDepth;
        QTest::newRow("at the limit") << nested(limit) << QString() << 0 << 0;
        QTest::newRow("one past the limit") << nested(limit + 1) << "elements nested more than 256 levels deep" << 1 << 3 * (limit + 1);
        QTest::newRow("one past, on the third line") << "\n\n" + nested(limit + 1) << "elements nested more than 256 levels deep" << 3 << 3 * (limit + 1);
        QByteArray entities = "<!DOCTYPE a [";
        for (int i = 0; i <= ZadUruru::maxXmlEntityDeclarations; ++i)
            entities += "<!ENTITY e" + QByteArray::number(i) + " 'x'>";
        QTest::newRow("entity declarations") << entities + "]><a/>" << "more than 1000 entity declarations" << 0 << 0;
        QTest::newRow("entity expansion") << "<!DOCTYPE a [<!ENTITY e '" + QByteArray(100, 'x') + "'>]><a>" + QByteArray("&e;").repeated(20) + "</a>"
                                          << "entity references that would make the document grow past 8 times its size" << 0 << 0;
    }
    void checkWellFormed_limits()
    {
        QFETCH(QByteArray, document);
        QFETCH(QString, message);
        const ZadUruru::WellFormedness check = ZadUruru::checkWellFormed(document);
        QCOMPARE(check.wellFormed, message.isEmpty());
        QCOMPARE(check.overLimit, !message.isEmpty());
        QCOMPARE(check.message, message);
        QTEST(check.line, "line");
        QTEST(check.column, "column");
    }

    // What the entities of a document come to, judged before it is parsed:
    // the declarations the prolog holds, however it is laid out, and every
    // reference after them.
    void entityLimit_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<int>("limit");
        using ZadUruru::XmlLimit;
        const int none = int(XmlLimit::None);
        const int tooMany = int(XmlLimit::EntityDeclarations);
        const int tooLong = int(XmlLimit::EntityExpansion);
        const int unread = int(XmlLimit::DocumentType);

        QTest::newRow("no entity declared") << "<r>&amp;&lt;&#38;</r>" << none;
        QTest::newRow("one reference") << withSubset(big, "&b;") << none;
        QTest::newRow("twenty references") << withSubset(big, twenty) << tooLong;
        // 35 references to 1000 characters in a document of 5000 characters
        // grow it by exactly 7 times its size, the most that is allowed.
        const QString thirtyFive = QString("&b;").repeated(35);
        const int padding = 5000 - withSubset(big, thirtyFive).size();
        QTest::newRow("grown to exactly the limit") << withSubset(big, thirtyFive + QString(padding, 'z')) << none;
        QTest::newRow("a character short of the limit") << withSubset(big, thirtyFive + QString(padding - 1, 'z')) << tooLong;
        QTest::newRow("in an attribute value") << withSubset(big, "<x v='" + twenty + "'/>") << tooLong;
        // Whatever stands before the document type is stepped over.
        for (const char *prolog : {"<?xml version=\"1.0\"?>\n", "<?xml version=\"1.0\"?>\r\n", "\t", " ", "<!---->",
                                   "<!-- <!DOCTYPE x> -->", "<?pi ]> ' \" ?>"})
            QTest::addRow("after %s", prolog) << withSubset(big, twenty, prolog) << tooLong;
        QTest::newRow("a document type in a comment") << "<!-- " + withSubset(big, "") + " --><r>" + twenty + "</r>" << none;
        QTest::newRow("a prolog cut short") << "<?pi " + withSubset(big, twenty) << none;
        QTest::newRow("a comment cut short") << "<!-- " + withSubset(big, twenty) << none;
        QTest::newRow("the root first") << "<r/>" + withSubset(big, twenty) << none;
        QTest::newRow("no internal subset") << "<!DOCTYPE r SYSTEM \"x[\"><r>" + big + twenty + "</r>" << none;
        QTest::newRow("an empty external identifier") << "<!DOCTYPE r SYSTEM '' [" + big + "]><r>" + twenty + "</r>" << tooLong;
        QTest::newRow("'>' in the external identifier") << "<!DOCTYPE r SYSTEM 'x>' [" + big + "]><r>" + twenty + "</r>" << tooLong;
        QTest::newRow("external identifier cut short") << "<!DOCTYPE r SYSTEM 'x [" + big + "]><r>" + twenty + "</r>" << none;
        QTest::newRow("document type cut short") << QString("<!DOCTYPE r") << none;
        // In the internal subset.
        for (const char *before : {"<!-- ' [ ] -->", "<?pi ]> ' ?>", "<!ELEMENT r ANY>", "<!ATTLIST r v CDATA \">]'\">",
                                   "<!NOTATION n SYSTEM '>'>", "<!ENTITY % p \"x\">", "<!ENTITY x SYSTEM 'x.xml'>",
                                   "<!ENTITY u SYSTEM 'u' NDATA n>", " \t\r\n"})
            QTest::addRow("after %s", before) << withSubset(before + big, twenty) << tooLong;
        QTest::newRow("single quotes") << withSubset("<!ENTITY b '" + QString(1000, 'y') + "'>", twenty) << tooLong;
        QTest::newRow("'>' in the literal") << withSubset("<!ENTITY b '" + QString(1000, '>') + "'>", twenty) << tooLong;
        QTest::newRow("references in an attribute list's default") << withSubset(big + "<!ATTLIST r v CDATA '" + twenty + "'>", "") << tooLong;
        QTest::newRow("references to an external entity") << withSubset("<!ENTITY b SYSTEM 'b.xml'>", twenty) << none;
        QTest::newRow("an entity without a name") << withSubset("<!ENTITY '" + QString(1000, 'y') + "'>", QString("&;").repeated(20)) << none;
        QTest::newRow("references to undeclared entities") << withSubset(big, QString("&c;").repeated(20)) << none;
        QTest::newRow("a parameter entity of the same name") << withSubset("<!ENTITY % b \"" + QString(1000, 'y') + "\">", twenty) << none;
        QTest::newRow("character references in content") << withSubset(big, QString("&#38;b;").repeated(20)) << none;
        QTest::newRow("'%' that refers to nothing") << withSubset("<!ENTITY b \"50% " + QString(1000, 'y') + "\">", twenty) << tooLong;
        QTest::newRow("a parameter entity referenced") << withSubset("<!ENTITY % p \"<!ENTITY b 'y'>\"> %p;", "") << unread;
        QTest::newRow("a parameter entity in a literal") << withSubset("<!ENTITY % p 'y'><!ENTITY b \"%p;\">", "") << unread;
        QTest::newRow("a parameter entity after a '%'") << withSubset("<!ENTITY % p 'y'><!ENTITY b \"%%p;\">", "") << unread;
        QTest::newRow("a reference after an '&'") << withSubset(big, QString("&&b;").repeated(20)) << tooLong;
        QTest::newRow("a parameter entity in a parameter entity's literal") << withSubset("<!ENTITY % p 'y'><!ENTITY % q '%p;'>", "") << unread;
        QTest::newRow("a parameter entity in a declaration") << withSubset("<!ENTITY % p 'ANY'><!ELEMENT r %p;>", "") << unread;
        QTest::newRow("a parameter entity in an external entity") << withSubset("<!ENTITY % p 'x'><!ENTITY b SYSTEM %p;>", "") << unread;
        QTest::newRow("not a declaration") << withSubset("<r/>" + big, twenty) << unread;
        QTest::newRow("a subset cut short") << "<!DOCTYPE r [" + big << none;
        QTest::newRow("a comment in the subset cut short") << "<!DOCTYPE r [<!-- " + big + "]><r>" + twenty + "</r>" << none;
        QTest::newRow("a literal cut short") << "<!DOCTYPE r [<!ATTLIST r v CDATA '" + big + "]><r>" + twenty + "</r>" << none;
        QTest::newRow("an entity's literal cut short") << "<!DOCTYPE r [<!ENTITY b '" + QString(1000, 'y') << none;
        QTest::newRow("an external entity cut short") << "<!DOCTYPE r [<!ENTITY b SYSTEM 'y" << none;
        QString declarations;
        for (int i = 0; i < 1000; ++i)
            declarations += QStringLiteral("<!ENTITY e%1 'x'>").arg(i);
        QTest::newRow("1000 declarations") << withSubset(declarations, "") << none;
        QTest::newRow("1001 declarations") << withSubset(declarations + "<!ENTITY % p 'x'>", "") << tooMany;
        // Replacement texts: nested references, character references made into references.
        QTest::newRow("nested references") << withSubset(big + "<!ENTITY c '" + QString("&b;").repeated(20) + "'>", "&c;") << tooLong;
        QTest::newRow("nested, not referenced") << withSubset(big + "<!ENTITY c '" + QString("&b;").repeated(20) + "'>", "&b;") << none;
        for (const char *ampersand : {"&#38;", "&#x26;", "&#038;"})
            QTest::addRow("'%s' makes a reference", ampersand)
                << withSubset(big + "<!ENTITY c '" + QString(ampersand + QString("b;")).repeated(20) + "'>", "&c;") << tooLong;
        for (const char *none2 : {"&#38;#38;", "&#38", "&#38b", "&#;", "&#x;", "&#X26;", "&#3a8;", "&#99999999999;"})
            QTest::addRow("'%s' makes none", none2)
                << withSubset(big + "<!ENTITY c '" + QString(none2 + QString("b;")).repeated(20) + "'>", "&c;") << none;
        QTest::newRow("the first declaration holds") << withSubset("<!ENTITY b 'y'>" + big, twenty) << none;
        QTest::newRow("the first declaration holds, large") << withSubset(big + "<!ENTITY b 'y'>", twenty) << tooLong;
        QTest::newRow("an entity referring to itself") << withSubset("<!ENTITY a '&b;'><!ENTITY b '&a;'>", "&a;") << tooLong;
        QTest::newRow("an entity referring to itself, not referenced") << withSubset("<!ENTITY a '&b;'><!ENTITY b '&a;'>", "") << none;
        // Forty entities each twice the one before: weighed once each, or never done.
        QString doubling = "<!ENTITY d0 'y'>";
        for (int i = 1; i <= 40; ++i)
            doubling += QStringLiteral("<!ENTITY d%1 '&d%2;&d%2;'>").arg(i).arg(i - 1);
        QTest::newRow("doubling forty times") << withSubset(doubling, "&d40;") << tooLong;
        // Exactly 7 times the document's size stand for its references (28 * 1000 for a document of 4000).
        const QString references = withSubset(big, QString("&b;").repeated(28));
        QTest::newRow("growing to 8 times the size") << references + QString(4000 - references.size(), ' ') << none;
        QTest::newRow("one past") << references + QString(3999 - references.size(), ' ') << tooLong;
    }
    void entityLimit()
    {
        QFETCH(QString, document);
        QFETCH(int, limit);
        QCOMPARE(int(ZadUruru::entityLimit(document)), limit);
    }

    // The parser drops text that is only whitespace by QChar::isSpace, which is more than ASCII.
    void isSpaceOnly_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("spaceOnly");
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("ASCII whitespace") << QByteArray(" \t\n ") << true;
        QTest::newRow("no-break and ideographic spaces") << QByteArray(" \xc2\xa0\xe3\x80\x80\xe2\x80\xa8") << true;
        QTest::newRow("a letter last") << QByteArray("  \nx") << false;
        QTest::newRow("a letter first") << QByteArray("x  ") << false;
        QTest::newRow("a letter beyond ASCII") << QByteArray(" \xc3\xa9") << false;
    }
    void isSpaceOnly()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, spaceOnly);
        QCOMPARE(ZadUruru::isSpaceOnly(text.constData(), text.size()), spaceOnly);
    }

    // Text ends where its span ends, whatever lies past it: here an entity begun.
    void textWithoutTerminator() { QCOMPARE(ZadUruru::plainText("x&lt;y&amp;", 6, true), QStringLiteral("x<y")); }
};

QTEST_APPLESS_MAIN(tst_XmlDocuments)
#include "tst_xmlDocuments.moc"
