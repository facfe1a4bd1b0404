#include "plainScanner_p.h"

#include "definitionsReader_p.h"

#include "common/xmlLimits.h"

#include <QLatin1String>
#include <QVarLengthArray>

#include <cstring>

namespace ZadUruru {
namespace DefinitionsXml {

namespace {

bool isNameStart(uchar c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isNameChar(uchar c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

bool isSpace(uchar c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

// The length of the UTF-8 sequence at @p p (a byte of 0x80 or more) when it
// is a character that every reader takes as it is; 0 for what is left to the
// parser: malformed and overlong sequences, surrogates, the C1 controls, the
// byte order mark, U+FFFE and U+FFFF.
int plainSequence(const uchar *p, const uchar *end)
{
    const auto continues = [p, end](int i) { return p + i < end && (p[i] & 0xC0) == 0x80; };
    const uchar c = p[0];
    if (c >= 0xC2 && c <= 0xDF)
        return continues(1) && !(c == 0xC2 && p[1] < 0xA0) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (!continues(1) || !continues(2) || (c == 0xE0 && p[1] < 0xA0) || (c == 0xED && p[1] >= 0xA0))
            return 0;
        if (c == 0xEF && ((p[1] == 0xBB && p[2] == 0xBF) || (p[1] == 0xBF && p[2] >= 0xBE)))
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

class Scanner
{
public:
    Scanner(const QByteArray &data, DefinitionsReader &reader)
        : m_p(reinterpret_cast<const uchar *>(data.constData()))
        , m_end(m_p + data.size())
        , m_reader(reader)
    {
    }

    bool document()
    {
        if (!prolog() || !at('<'))
            return false;
        bool rootClosed = false;
        while (m_p < m_end) {
            if (*m_p != '<') {
                if (m_open.isEmpty() ? !skipSpace() : !text())
                    return false;
            } else if (rootClosed) {
                return false;
            } else if (m_p + 1 < m_end && m_p[1] == '/') {
                if (!endTag())
                    return false;
                rootClosed = m_open.isEmpty();
            } else if (startsWith("<![CDATA[")) {
                if (m_open.isEmpty() || !cdata())
                    return false;
            } else {
                if (!startTag())
                    return false;
                rootClosed = m_open.isEmpty();
            }
        }
        return rootClosed;
    }

private:
    bool at(uchar c) const { return m_p < m_end && *m_p == c; }

    bool startsWith(const char *s) const
    {
        const std::size_t n = std::strlen(s);
        return std::size_t(m_end - m_p) >= n && std::memcmp(m_p, s, n) == 0;
    }

    bool skip(const char *s)
    {
        if (!startsWith(s))
            return false;
        m_p += std::strlen(s);
        return true;
    }

    // Whitespace up to the next markup; false when anything else stands there.
    bool skipSpace()
    {
        while (m_p < m_end && isSpace(*m_p))
            ++m_p;
        return m_p == m_end || *m_p == '<';
    }

    bool name(QLatin1String &out)
    {
        const uchar *start = m_p;
        if (m_p == m_end || !isNameStart(*m_p))
            return false;
        while (m_p < m_end && isNameChar(*m_p))
            ++m_p;
        out = QLatin1String(reinterpret_cast<const char *>(start), int(m_p - start));
        return true;
    }

    bool prolog()
    {
        if (!skip("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"))
            skip("<?xml version=\"1.0\"?>");
        skipSpace();
        if (skip("<!DOCTYPE ")) {
            QLatin1String doctype;
            if (!name(doctype) || !skip(">"))
                return false;
            skipSpace();
        }
        return true;
    }

    bool startTag()
    {
        ++m_p;
        QLatin1String element;
        if (!name(element))
            return false;
        if (skip(">")) {
            if (m_open.size() == maxXmlNestingDepth)
                return false;
            m_reader.open(element);
            m_open.append(element);
            return true;
        }
        if (!skip("/>"))
            return false;
        m_reader.open(element);
        m_reader.close();
        return true;
    }

    bool endTag()
    {
        m_p += 2;
        QLatin1String element;
        if (!name(element) || !skip(">") || m_open.isEmpty() || element != m_open.last())
            return false;
        m_open.removeLast();
        m_reader.close();
        return true;
    }

    // Character data up to the next markup, its entities resolved.
    bool text()
    {
        const bool wanted = m_reader.wantsText();
        QString decoded;
        const uchar *run = m_p;
        const auto flush = [&] {
            if (wanted && m_p > run)
                decoded += QString::fromUtf8(reinterpret_cast<const char *>(run), int(m_p - run));
        };
        while (m_p < m_end && *m_p != '<') {
            const uchar c = *m_p;
            if (c == '&') {
                flush();
                const char16_t resolved = skip("&lt;") ? u'<' : skip("&gt;") ? u'>' : skip("&amp;") ? u'&'
                    : skip("&quot;") ? u'"' : skip("&apos;") ? u'\'' : 0;
                if (!resolved)
                    return false;
                if (wanted)
                    decoded += QChar(resolved);
                run = m_p;
            } else if (c >= 0x80) {
                const int length = plainSequence(m_p, m_end);
                if (!length)
                    return false;
                m_p += length;
            } else if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F
                       || (c == '>' && m_p - run >= 2 && m_p[-1] == ']' && m_p[-2] == ']')) {
                return false;
            } else {
                ++m_p;
            }
        }
        flush();
        if (!decoded.isEmpty())
            m_reader.text(decoded);
        return true;
    }

    bool cdata()
    {
        m_p += 9;
        const uchar *start = m_p;
        while (!startsWith("]]>")) {
            if (m_p == m_end)
                return false;
            const uchar c = *m_p;
            if (c >= 0x80) {
                const int length = plainSequence(m_p, m_end);
                if (!length)
                    return false;
                m_p += length;
            } else if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F) {
                return false;
            } else {
                ++m_p;
            }
        }
        if (m_p > start && m_reader.wantsText())
            m_reader.text(QString::fromUtf8(reinterpret_cast<const char *>(start), int(m_p - start)));
        m_p += 3;
        return true;
    }

    const uchar *m_p;
    const uchar *const m_end;
    DefinitionsReader &m_reader;
    QVarLengthArray<QLatin1String, 8> m_open;
};

} // namespace

bool PlainScanner::scan(const QByteArray &data, DefinitionsReader &reader)
{
    return Scanner(data, reader).document();
}

} // namespace DefinitionsXml
} // namespace ZadUruru
