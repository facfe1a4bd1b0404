#include "xmlSource.h"

#include <QTextCodec>

#include <algorithm>
#include <limits>

namespace {

bool isSpace(uchar c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Byte classes, looked up once per byte on the walk's hot paths.
enum : uchar { NameByte = 1, NameStartByte = 2, TextStop = 4 };

struct ByteClasses
{
    uchar of[256] = {};
    constexpr ByteClasses()
    {
        // Names are told apart from what surrounds them, not judged: any
        // byte of a multi-byte UTF-8 character may be part of one.
        for (int c = 0; c < 256; ++c) {
            const bool digit = c >= '0' && c <= '9';
            const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            if (c >= 0x80 || letter || c == '_' || c == ':')
                of[c] |= NameByte | NameStartByte;
            if (digit || c == '-' || c == '.')
                of[c] |= NameByte;
        }
        of[uchar('<')] |= TextStop;
        of[uchar('&')] |= TextStop;
        of[uchar('\r')] |= TextStop;
    }
};
constexpr ByteClasses byteClasses;

bool isNameByte(uchar c)
{
    return byteClasses.of[c] & NameByte;
}

bool isNameStartByte(uchar c)
{
    return byteClasses.of[c] & NameStartByte;
}

bool isXmlChar(uint c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

bool startsWith(const char *p, const char *end, const char *s)
{
    const std::size_t n = std::strlen(s);
    return std::size_t(end - p) >= n && std::memcmp(p, s, n) == 0;
}

// The first occurrence of @p s in [p, end), or null.
const char *find(const char *p, const char *end, const char *s)
{
    const std::size_t n = std::strlen(s);
    while (std::size_t(end - p) >= n) {
        p = static_cast<const char *>(std::memchr(p, s[0], std::size_t(end - p) - n + 1));
        if (!p)
            return nullptr;
        if (std::memcmp(p, s, n) == 0)
            return p;
        ++p;
    }
    return nullptr;
}

void appendUtf8(QByteArray &out, uint c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// The character a reference at p ('&') up to limit stands for: its code
// point, U+FFFD for a character XML cannot hold (which the library's parser
// takes), -1 for a reference to another entity, -2 when it is malformed.
// @p next receives the byte after the ';'.
long long parseReference(const char *p, const char *limit, const char *&next)
{
    const char *q = p + 1;
    if (q < limit && *q == '#') {
        ++q;
        const bool hex = q < limit && *q == 'x';
        if (hex)
            ++q;
        const char *digits = q;
        long long c = 0;
        for (; q < limit && *q != ';'; ++q) {
            const uchar d = uchar(*q);
            int v;
            if (d >= '0' && d <= '9')
                v = d - '0';
            else if (hex && d >= 'a' && d <= 'f')
                v = d - 'a' + 10;
            else if (hex && d >= 'A' && d <= 'F')
                v = d - 'A' + 10;
            else
                return -2;
            c = c * (hex ? 16 : 10) + v;
            if (c > 0x10FFFF)
                c = 0x110000; // out of range, and kept from overflowing
        }
        if (q == limit || q == digits)
            return -2;
        next = q + 1;
        return isXmlChar(uint(c)) ? c : 0xFFFD;
    }
    if (q == limit || !isNameStartByte(uchar(*q)))
        return -2;
    const char *name = q;
    while (q < limit && isNameByte(uchar(*q)))
        ++q;
    if (q == limit || *q != ';')
        return -2;
    next = q + 1;
    const QLatin1String entity(name, int(q - name));
    if (entity == QLatin1String("lt"))
        return '<';
    if (entity == QLatin1String("gt"))
        return '>';
    if (entity == QLatin1String("amp"))
        return '&';
    if (entity == QLatin1String("quot"))
        return '"';
    if (entity == QLatin1String("apos"))
        return '\'';
    return -1;
}

enum class Decoding { Text, CData, Attribute };

// Raw bytes the walk took, as XML reads them.
QString decode(const char *p, int size, Decoding mode)
{
    const auto plain = [mode](char c) {
        return c != '&' && c != '\r' && (mode != Decoding::Attribute || (c != '\t' && c != '\n'));
    };
    if (std::all_of(p, p + size, plain))
        return QString::fromUtf8(p, size);
    QByteArray out;
    out.reserve(size);
    const char *const end = p + size;
    while (p < end) {
        const char c = *p;
        if (c == '&' && mode != Decoding::CData) {
            const char *next = p + 1;
            const long long ch = parseReference(p, end, next);
            if (ch >= 0) {
                appendUtf8(out, uint(ch));
                p = next;
                continue;
            }
        } else if (c == '\r') {
            out += mode == Decoding::Attribute ? ' ' : '\n';
            p += p + 1 < end && p[1] == '\n' ? 2 : 1;
            continue;
        } else if ((c == '\n' || c == '\t') && mode == Decoding::Attribute) {
            out += ' ';
            ++p;
            continue;
        }
        out += c;
        ++p;
    }
    return QString::fromUtf8(out);
}

// The length of the valid UTF-8 sequence at p (a byte of 0x80 or more), 0 when it is not one.
int utf8Sequence(const uchar *p, const uchar *end)
{
    const auto continues = [p, end](int i) { return p + i < end && (p[i] & 0xC0) == 0x80; };
    const uchar c = p[0];
    if (c >= 0xC2 && c <= 0xDF)
        return continues(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (!continues(1) || !continues(2) || (c == 0xE0 && p[1] < 0xA0) || (c == 0xED && p[1] >= 0xA0))
            return 0;
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (!continues(1) || !continues(2) || !continues(3) || (c == 0xF0 && p[1] < 0x90) || (c == 0xF4 && p[1] >= 0x90))
            return 0;
        return 4;
    }
    return 0;
}

// The "?>" that closes an XML declaration whose pseudo-attributes start at
// @p p: a quoted value may hold "?>" itself, as the parser reads it.
const char *declarationClose(const char *p, const char *end)
{
    for (; p + 1 < end; ++p) {
        if (*p == '"' || *p == '\'') {
            p = static_cast<const char *>(std::memchr(p + 1, *p, std::size_t(end - p - 1)));
            if (!p)
                return nullptr;
        } else if (p[0] == '?' && p[1] == '>') {
            return p;
        }
    }
    return nullptr;
}

// The value of the encoding pseudo-attribute of an XML declaration at the start of [p, end).
QByteArray declarationEncoding(const char *p, const char *end)
{
    if (!startsWith(p, end, "<?xml") || p + 5 == end || !isSpace(uchar(p[5])))
        return {};
    const char *close = declarationClose(p + 5, end);
    const char *key = close ? find(p, close, "encoding") : nullptr;
    if (!key)
        return {};
    const char *q = key + 8;
    while (q < close && isSpace(uchar(*q)))
        ++q;
    if (q == close || *q++ != '=')
        return {};
    while (q < close && isSpace(uchar(*q)))
        ++q;
    if (q == close || (*q != '"' && *q != '\''))
        return {};
    const char quote = *q++;
    const char *value = q;
    while (q < close && *q != quote)
        ++q;
    return q < close ? QByteArray(value, int(q - value)) : QByteArray();
}

bool isWideCodec(const QTextCodec *codec)
{
    const int mib = codec->mibEnum();
    return mib == 1013 || mib == 1014 || mib == 1015 || mib == 1017 || mib == 1018 || mib == 1019;
}

} // namespace

QString XmlError::text() const
{
    return QStringLiteral("line %1, column %2: %3").arg(position.line).arg(position.column).arg(message);
}

QString XmlAttribute::value() const
{
    return needsDecoding ? decode(rawValue.data, rawValue.size, Decoding::Attribute) : rawValue.toString();
}

// --- XmlSource ---------------------------------------------------------------

XmlSource::XmlSource(const QByteArray &bytes)
    : m_bytes(bytes)
{
    detectEncoding(bytes);
}

void XmlSource::detectEncoding(const QByteArray &bytes)
{
    const char *const p = bytes.constData();
    const char *const end = p + bytes.size();
    if (startsWith(p, end, "\xEF\xBB\xBF")) {
        m_start = 3;
        return;
    }
    // A byte order mark, or '<' in UTF-16, says how to read the declaration.
    QTextCodec *codec = QTextCodec::codecForUtfText(bytes, nullptr);
    m_decodedMark = codec != nullptr;
    if (!codec && bytes.size() >= 4) {
        if (std::memcmp(p, "<\0?\0", 4) == 0)
            codec = QTextCodec::codecForMib(1014); // UTF-16LE
        else if (std::memcmp(p, "\0<\0?", 4) == 0)
            codec = QTextCodec::codecForMib(1013); // UTF-16BE
    }
    if (!codec) {
        m_declared = declarationEncoding(p, end);
        const QByteArray lower = m_declared.toLower();
        if (m_declared.isEmpty() || lower == "utf-8" || lower == "utf8")
            return;
        codec = QTextCodec::codecForName(m_declared);
        if (!codec) // the library's parser reads it as UTF-8 too
            return;
        if (isWideCodec(codec)) {
            m_error.offset = 0;
            m_error.position = {1, 1};
            m_error.message = QStringLiteral("the document declares the encoding \"%1\" but is not written in it")
                                  .arg(QString::fromLatin1(m_declared));
            return;
        }
    } else {
        m_declared = declarationEncoding(p, end); // only an ASCII declaration; enough for UTF-8
    }
    QTextCodec::ConverterState state;
    QString text = codec->toUnicode(p, bytes.size(), &state);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    m_bytes = text.toUtf8();
    m_raw = false;
    m_encoding = codec->name();
    // Qt's codecs put U+FFFD for what they cannot read, mostly without counting it.
    m_invalid = m_bytes.indexOf("\xEF\xBF\xBD");
}

int XmlSource::firstInvalidByte() const
{
    if (m_invalid != -2)
        return m_invalid;
    const auto *const begin = reinterpret_cast<const uchar *>(m_bytes.constData());
    const auto *const end = begin + m_bytes.size();
    m_invalid = -1;
    for (const uchar *p = begin; p < end;) {
        if (*p < 0x80) {
            quint64 word;
            if (end - p >= 8 && (std::memcpy(&word, p, 8), (word & 0x8080808080808080ULL) == 0))
                p += 8;
            else
                ++p;
            continue;
        }
        const int length = utf8Sequence(p, end);
        if (length == 0) {
            m_invalid = int(p - begin);
            break;
        }
        p += length;
    }
    return m_invalid;
}

void XmlSource::buildLineIndex() const
{
    const char *const begin = m_bytes.constData();
    const char *const end = begin + m_bytes.size();
    m_lineStarts.push_back(m_start);
    if (!std::memchr(begin, '\r', std::size_t(m_bytes.size()))) {
        for (const char *p = begin + m_start; (p = static_cast<const char *>(std::memchr(p, '\n', std::size_t(end - p))));)
            m_lineStarts.push_back(int(++p - begin));
        return;
    }
    for (const char *p = begin + m_start; p < end; ++p) {
        if (*p == '\r' && p + 1 < end && p[1] == '\n')
            ++p;
        if (*p == '\n' || *p == '\r')
            m_lineStarts.push_back(int(p + 1 - begin));
    }
}

XmlPosition XmlSource::position(int offset) const
{
    if (m_lineStarts.empty())
        buildLineIndex();
    offset = std::clamp(offset, 0, m_bytes.size());
    // The line whose start is the last at or before the offset, looked for
    // from the last answer's line on, since offsets mostly come in order; an
    // offset in the byte order mark counts as the start of line 1.
    auto from = m_lineStarts.begin();
    if (m_lastLine > 0 && offset >= m_lineStarts[std::size_t(m_lastLine - 1)])
        from += m_lastLine - 1;
    auto next = from + 1;
    for (int steps = 0; next != m_lineStarts.end() && *next <= offset && steps < 8; ++steps)
        ++next;
    if (next != m_lineStarts.end() && *next <= offset)
        next = std::upper_bound(next, m_lineStarts.end(), offset);
    else if (from == m_lineStarts.begin() && offset < *from)
        next = from;
    const int line = int(next - m_lineStarts.begin());
    if (line == 0)
        return {1, 1};
    const int lineStart = m_lineStarts[std::size_t(line - 1)];
    const char *const p = m_bytes.constData();
    const int invalid = firstInvalidByte();
    if (invalid >= 0 && invalid < offset) {
        // Count as Qt's decoder reads what is not UTF-8, the way the check counts.
        return {line, 1 + QString::fromUtf8(p + lineStart, offset - lineStart).size()};
    }
    // Valid UTF-8: each lead byte starts one UTF-16 code unit, two from four bytes
    // on, so that counts add up from the last answer on the same line.
    int counted = lineStart;
    int column = 1;
    if (line == m_lastLine && offset >= m_lastOffset) {
        counted = m_lastOffset;
        column = m_lastColumn;
    }
    for (int i = counted; i < offset; ++i) {
        const uchar c = uchar(p[i]);
        column += (c & 0xC0) != 0x80;
        column += c >= 0xF0;
    }
    m_lastLine = line;
    m_lastOffset = offset;
    m_lastColumn = column;
    return {line, column};
}

// --- XmlWalker ---------------------------------------------------------------

XmlWalker::XmlWalker(const XmlSource &source)
    : m_source(source)
    , m_begin(source.bytes().constData())
    , m_end(m_begin + source.bytes().size())
    , m_p(m_begin + source.start())
{
    if (!source.error().isNull()) {
        m_error = source.error();
        m_event = Error;
    }
}

XmlWalker::Event XmlWalker::fail(const char *at, const QString &message)
{
    m_error.offset = offset(at);
    m_error.position = m_source.position(m_error.offset);
    m_error.message = message;
    m_depth = int(m_open.size());
    return m_event = Error;
}

XmlView XmlWalker::nameAt(const char *&p) const
{
    const char *start = p;
    if (p == m_end || !isNameStartByte(uchar(*p)))
        return {};
    while (p < m_end && isNameByte(uchar(*p)))
        ++p;
    return {start, int(p - start)};
}

QString XmlWalker::describe(const Open &open) const
{
    const XmlPosition at = m_source.position(open.start);
    return QStringLiteral("<%1> of line %2, column %3")
        .arg(QString::fromUtf8(m_begin + open.nameBegin, open.nameSize))
        .arg(at.line)
        .arg(at.column);
}

XmlWalker::Event XmlWalker::next()
{
    if (atEnd())
        return m_event;
    m_attributes.clear();
    m_emptyElement = false;
    m_children = false;
    m_name = {};
    if (m_pendingEnd) {
        m_pendingEnd = false;
        m_emptyElement = true;
        return emitEnd(offset(m_p), offset(m_p) - 2);
    }
    for (;;) {
        if (m_p == m_end) {
            if (!m_open.empty())
                return fail(m_p, QStringLiteral("the data ends before the end tag of %1").arg(describe(m_open.back())));
            if (!m_rootSeen)
                return fail(m_p, QStringLiteral("the document has no root element"));
            m_depth = 0;
            m_span = m_content = {offset(m_p), offset(m_p)};
            return m_event = EndDocument;
        }
        if (*m_p != '<') {
            if (!m_open.empty())
                return textRun();
            while (m_p < m_end && isSpace(uchar(*m_p)))
                ++m_p;
            if (m_p < m_end && *m_p != '<')
                return fail(m_p, m_rootSeen ? QStringLiteral("text after the root element") : QStringLiteral("text before the root element"));
            continue;
        }
        const char next = m_p + 1 < m_end ? m_p[1] : '\0';
        if (next == '/')
            return endTag();
        if (next == '?')
            return processingInstruction();
        if (next == '!') {
            if (startsWith(m_p, m_end, "<!--"))
                return comment();
            if (startsWith(m_p, m_end, "<![CDATA[")) {
                if (m_open.empty())
                    return fail(m_p, QStringLiteral("a CDATA section outside the root element"));
                return cdata();
            }
            if (startsWith(m_p, m_end, "<!DOCTYPE"))
                return documentType();
            return fail(m_p, QStringLiteral("expected a comment, a CDATA section or a document type after \"<!\""));
        }
        if (m_rootSeen && m_open.empty())
            return fail(m_p, QStringLiteral("a second root element"));
        return startTag();
    }
}

XmlWalker::Event XmlWalker::startTag()
{
    const char *const lt = m_p++;
    const XmlView name = nameAt(m_p);
    if (!name.data)
        return fail(m_p, QStringLiteral("expected an element name after '<'"));
    for (;;) {
        while (m_p < m_end && isSpace(uchar(*m_p)))
            ++m_p;
        if (m_p == m_end)
            return fail(lt, QStringLiteral("the start tag <%1> is not closed").arg(name.toString()));
        if (*m_p == '>' || *m_p == '/')
            break;
        // The library's parser takes attributes without whitespace between them.
        XmlAttribute a;
        a.name = nameAt(m_p);
        if (!a.name.data)
            return fail(m_p, QStringLiteral("expected an attribute name in the start tag <%1>").arg(name.toString()));
        while (m_p < m_end && isSpace(uchar(*m_p)))
            ++m_p;
        if (m_p == m_end || *m_p != '=')
            return fail(m_p, QStringLiteral("expected '=' after the attribute %1").arg(a.name.toString()));
        ++m_p;
        while (m_p < m_end && isSpace(uchar(*m_p)))
            ++m_p;
        if (m_p == m_end || (*m_p != '"' && *m_p != '\''))
            return fail(m_p, QStringLiteral("expected a quoted value for the attribute %1").arg(a.name.toString()));
        a.quote = *m_p++;
        const char *const value = m_p;
        const auto *close = static_cast<const char *>(std::memchr(value, a.quote, std::size_t(m_end - value)));
        if (!close)
            return fail(value - 1, QStringLiteral("the value of the attribute %1 is not closed").arg(a.name.toString()));
        for (const char *q = value; q < close;) {
            const char c = *q;
            if (c == '<')
                return fail(q, QStringLiteral("'<' in the value of the attribute %1").arg(a.name.toString()));
            if (c == '&') {
                a.needsDecoding = true;
                if (!reference(q, close, a.unexpandedEntity))
                    return m_event;
                continue;
            }
            if (c == '\t' || c == '\n' || c == '\r')
                a.needsDecoding = true;
            ++q;
        }
        a.rawValue = {value, int(close - value)};
        a.valueSpan = {offset(value), offset(close)};
        m_p = close + 1;
        m_attributes.push_back(a);
    }
    const bool empty = *m_p == '/';
    if (empty && (m_p + 1 == m_end || m_p[1] != '>'))
        return fail(m_p, QStringLiteral("expected '>' after '/' in the start tag <%1>").arg(name.toString()));
    m_p += empty ? 2 : 1;
    if (!m_open.empty())
        m_open.back().children = true;
    m_rootSeen = true;
    m_open.push_back({offset(lt), offset(name.data), name.size, offset(m_p), false});
    m_depth = int(m_open.size());
    m_name = name;
    m_span = {offset(lt), offset(m_p)};
    m_content = {offset(m_p), offset(m_p)};
    m_emptyElement = empty;
    m_pendingEnd = empty;
    return m_event = StartElement;
}

XmlWalker::Event XmlWalker::endTag()
{
    const char *const lt = m_p;
    m_p += 2;
    const char *const nameStart = m_p;
    const XmlView name = nameAt(m_p);
    if (!name.data)
        return fail(nameStart, QStringLiteral("expected an element name after \"</\""));
    while (m_p < m_end && isSpace(uchar(*m_p)))
        ++m_p;
    if (m_p == m_end || *m_p != '>')
        return fail(m_p, QStringLiteral("expected '>' to close the end tag </%1>").arg(name.toString()));
    if (m_open.empty())
        return fail(lt, QStringLiteral("the end tag </%1> closes no element").arg(name.toString()));
    const Open &open = m_open.back();
    if (open.nameSize != name.size || std::memcmp(m_begin + open.nameBegin, name.data, std::size_t(name.size)) != 0)
        return fail(lt, QStringLiteral("the end tag </%1> does not close %2").arg(name.toString(), describe(open)));
    ++m_p;
    return emitEnd(offset(m_p), offset(lt));
}

XmlWalker::Event XmlWalker::emitEnd(int tagEnd, int contentEnd)
{
    const Open open = m_open.back();
    m_depth = int(m_open.size());
    m_open.pop_back();
    m_name = {m_begin + open.nameBegin, open.nameSize};
    m_span = {open.start, tagEnd};
    m_content = {std::min(open.contentBegin, contentEnd), contentEnd};
    m_children = open.children;
    return m_event = EndElement;
}

bool XmlWalker::reference(const char *&p, const char *limit, bool &unexpanded)
{
    const char *next = p + 1;
    const long long c = parseReference(p, limit, next);
    if (c == -2) {
        fail(p, QStringLiteral("a malformed reference"));
        return false;
    }
    if (c == -1) {
        unexpanded = true;
        m_declarations = true;
    }
    p = next;
    return true;
}

XmlWalker::Event XmlWalker::textRun()
{
    const char *const start = m_p;
    const char *q = start;
    bool unexpanded = false;
    m_textDecoding = false;
    // Runs between tags are mostly short: one pass, a table lookup a byte.
    for (;;) {
        while (q < m_end && !(byteClasses.of[uchar(*q)] & TextStop))
            ++q;
        if (q == m_end || *q == '<')
            break;
        m_textDecoding = true;
        if (*q == '\r')
            ++q;
        else if (!reference(q, m_end, unexpanded))
            return m_event;
    }
    m_p = q;
    m_depth = int(m_open.size());
    m_span = m_content = {offset(start), offset(q)};
    return m_event = Text;
}

XmlWalker::Event XmlWalker::cdata()
{
    const char *const start = m_p;
    const char *const content = start + 9;
    const char *const close = find(content, m_end, "]]>");
    if (!close)
        return fail(start, QStringLiteral("the CDATA section is not closed"));
    m_textDecoding = std::memchr(content, '\r', std::size_t(close - content)) != nullptr;
    m_p = close + 3;
    m_depth = int(m_open.size());
    m_span = {offset(start), offset(m_p)};
    m_content = {offset(content), offset(close)};
    return m_event = CData;
}

XmlWalker::Event XmlWalker::comment()
{
    const char *const start = m_p;
    const char *const content = start + 4;
    const char *const dashes = find(content, m_end, "--");
    if (!dashes)
        return fail(start, QStringLiteral("the comment is not closed"));
    if (dashes + 2 == m_end || dashes[2] != '>')
        return fail(dashes, QStringLiteral("\"--\" inside a comment"));
    m_p = dashes + 3;
    m_depth = int(m_open.size());
    m_span = {offset(start), offset(m_p)};
    m_content = {offset(content), offset(dashes)};
    return m_event = Comment;
}

XmlWalker::Event XmlWalker::processingInstruction()
{
    const char *const start = m_p;
    m_p += 2;
    const XmlView target = nameAt(m_p);
    if (!target.data)
        return fail(m_p, QStringLiteral("expected a target name after \"<?\""));
    const bool declaration = target.size == 3 && QByteArray(target.data, 3).toLower() == "xml";
    if (declaration && offset(start) != m_source.start())
        return fail(start, QStringLiteral("an XML declaration that is not at the start of the document"));
    const char *const close = declaration ? declarationClose(m_p, m_end) : find(m_p, m_end, "?>");
    if (!close)
        return fail(start, QStringLiteral("the processing instruction is not closed"));
    if (m_p != close && !isSpace(uchar(*m_p)))
        return fail(m_p, QStringLiteral("expected whitespace after the target of a processing instruction"));
    const char *data = m_p;
    while (data < close && isSpace(uchar(*data)))
        ++data;
    m_p = close + 2;
    m_depth = int(m_open.size());
    m_name = target;
    m_span = {offset(start), offset(m_p)};
    m_content = {offset(data), offset(close)};
    return m_event = ProcessingInstruction;
}

XmlWalker::Event XmlWalker::documentType()
{
    const char *const start = m_p;
    if (m_rootSeen || m_doctypeSeen)
        return fail(start, QStringLiteral("a document type after the root element or a first document type"));
    m_doctypeSeen = true;
    m_p += 9;
    if (m_p == m_end || !isSpace(uchar(*m_p)))
        return fail(m_p, QStringLiteral("expected whitespace after \"<!DOCTYPE\""));
    while (m_p < m_end && isSpace(uchar(*m_p)))
        ++m_p;
    const XmlView root = nameAt(m_p);
    if (!root.data)
        return fail(m_p, QStringLiteral("expected the root element's name in the document type"));
    m_content = {offset(m_p), offset(m_p)};
    bool subsetSeen = false;
    for (;;) {
        while (m_p < m_end && isSpace(uchar(*m_p)))
            ++m_p;
        if (m_p == m_end)
            return fail(start, QStringLiteral("the document type is not closed"));
        const char c = *m_p;
        if (c == '>') {
            break;
        } else if (c == '[' && !subsetSeen) {
            subsetSeen = true;
            const char *const subset = ++m_p;
            if (!internalSubset())
                return m_event;
            m_content = {offset(subset), offset(m_p)};
            ++m_p;
        } else if ((c == '"' || c == '\'') && !subsetSeen) {
            const auto *close = static_cast<const char *>(std::memchr(m_p + 1, c, std::size_t(m_end - m_p - 1)));
            if (!close)
                return fail(m_p, QStringLiteral("a literal in the document type is not closed"));
            m_p = close + 1;
        } else if (isNameStartByte(uchar(c)) && !subsetSeen) {
            nameAt(m_p); // SYSTEM or PUBLIC
        } else {
            return fail(m_p, QStringLiteral("unexpected '%1' in the document type").arg(QChar::fromLatin1(c)));
        }
    }
    ++m_p;
    m_depth = 0;
    m_name = root;
    m_span = {offset(start), offset(m_p)};
    return m_event = DocumentType;
}

// The declarations between '[' and ']', leaving m_p at the ']': literals,
// comments and processing instructions may hold any of '[', ']', '>' and quotes.
bool XmlWalker::internalSubset()
{
    for (;;) {
        while (m_p < m_end && isSpace(uchar(*m_p)))
            ++m_p;
        if (m_p == m_end) {
            fail(m_p, QStringLiteral("the internal subset of the document type is not closed"));
            return false;
        }
        if (*m_p == ']')
            return true;
        if (*m_p == '%') {
            const char *next = m_p + 1;
            const XmlView name = nameAt(next);
            if (!name.data || next == m_end || *next != ';') {
                fail(m_p, QStringLiteral("a malformed parameter entity reference"));
                return false;
            }
            m_declarations = true;
            m_p = next + 1;
            continue;
        }
        const char *const start = m_p;
        const char *close = nullptr;
        if (startsWith(m_p, m_end, "<!--")) {
            close = find(m_p + 4, m_end, "-->");
            m_p = close ? close + 3 : m_p;
        } else if (startsWith(m_p, m_end, "<?")) {
            close = find(m_p + 2, m_end, "?>");
            m_p = close ? close + 2 : m_p;
        } else if (startsWith(m_p, m_end, "<!")) {
            if (startsWith(m_p, m_end, "<!ENTITY") || startsWith(m_p, m_end, "<!ATTLIST"))
                m_declarations = true;
            for (const char *q = m_p + 2; q < m_end && !close; ++q) {
                if (*q == '"' || *q == '\'') {
                    q = static_cast<const char *>(std::memchr(q + 1, *q, std::size_t(m_end - q - 1)));
                    if (!q)
                        break;
                } else if (*q == '>') {
                    close = q;
                }
            }
            m_p = close ? close + 1 : m_p;
        } else {
            fail(m_p, QStringLiteral("expected a declaration in the internal subset of the document type"));
            return false;
        }
        if (!close) {
            fail(start, QStringLiteral("a declaration in the document type is not closed"));
            return false;
        }
    }
}

const XmlAttribute *XmlWalker::attribute(QLatin1String name) const
{
    for (auto it = m_attributes.rbegin(); it != m_attributes.rend(); ++it) {
        if (it->name == name)
            return &*it;
    }
    return nullptr;
}

QString XmlWalker::text() const
{
    const char *const p = m_begin + m_content.begin;
    const int size = m_content.size();
    if (m_event == Text)
        return m_textDecoding ? decode(p, size, Decoding::Text) : QString::fromUtf8(p, size);
    if (m_event == CData)
        return m_textDecoding ? decode(p, size, Decoding::CData) : QString::fromUtf8(p, size);
    if (m_event == EndElement && !m_children && !std::memchr(p, '<', std::size_t(size)))
        return decode(p, size, Decoding::Text);
    if (m_event != EndElement || m_children)
        return {};
    // The content was walked already: it holds text, CDATA sections, comments
    // and processing instructions, each closed.
    QString text;
    const char *const end = p + size;
    for (const char *q = p; q < end;) {
        if (*q != '<') {
            const auto *lt = static_cast<const char *>(std::memchr(q, '<', std::size_t(end - q)));
            const char *const runEnd = lt ? lt : end;
            text += decode(q, int(runEnd - q), Decoding::Text);
            q = runEnd;
        } else if (startsWith(q, end, "<![CDATA[")) {
            const char *const close = find(q + 9, end, "]]>");
            text += decode(q + 9, int(close - q - 9), Decoding::CData);
            q = close + 3;
        } else if (startsWith(q, end, "<!--")) {
            q = find(q + 4, end, "-->") + 3;
        } else {
            q = find(q + 2, end, "?>") + 2;
        }
    }
    return text;
}

// --- Edits -------------------------------------------------------------------

bool applyXmlEdits(QByteArray &data, std::vector<XmlEdit> edits)
{
    std::sort(edits.begin(), edits.end(), [](const XmlEdit &a, const XmlEdit &b) { return a.span.begin < b.span.begin; });
    int last = 0;
    qint64 size = data.size();
    for (const XmlEdit &edit : edits) {
        if (edit.span.begin < last || edit.span.end < edit.span.begin || edit.span.end > data.size())
            return false;
        last = edit.span.end;
        size += edit.bytes.size() - edit.span.size();
    }
    if (size > std::numeric_limits<int>::max() - 64) // more than a QByteArray holds
        return false;
    QByteArray out;
    out.reserve(int(size));
    int from = 0;
    for (const XmlEdit &edit : edits) {
        out.append(data.constData() + from, edit.span.begin - from);
        out.append(edit.bytes);
        from = edit.span.end;
    }
    out.append(data.constData() + from, data.size() - from);
    data = out;
    return true;
}

namespace {

// @p text as UTF-8 with @p escape's replacement for the characters it names;
// characters XML cannot hold are left out, as the library's writers leave them.
template <class Escape>
QByteArray escaped(const QString &text, Escape escape)
{
    QByteArray out;
    out.reserve(text.size());
    const QChar *p = text.constData();
    const QChar *const end = p + text.size();
    for (; p < end; ++p) {
        uint c = p->unicode();
        if (QChar::isHighSurrogate(c) && p + 1 < end && p[1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(p[0], p[1]);
            ++p;
        }
        if (!isXmlChar(c))
            continue;
        if (const char *replacement = escape(c))
            out += replacement;
        else
            appendUtf8(out, c);
    }
    return out;
}

} // namespace

QByteArray escapeXmlAttribute(const QString &value, char quote)
{
    return escaped(value, [quote](uint c) -> const char * {
        switch (c) {
        case '&': return "&amp;";
        case '<': return "&lt;";
        case '\t': return "&#9;";
        case '\n': return "&#10;";
        case '\r': return "&#13;";
        case '"': return quote == '"' ? "&quot;" : nullptr;
        case '\'': return quote == '\'' ? "&apos;" : nullptr;
        default: return nullptr;
        }
    });
}

QByteArray escapeXmlText(const QString &text)
{
    return escaped(text, [](uint c) -> const char * {
        switch (c) {
        case '&': return "&amp;";
        case '<': return "&lt;";
        case '>': return "&gt;";
        case '\r': return "&#13;";
        default: return nullptr;
        }
    });
}
