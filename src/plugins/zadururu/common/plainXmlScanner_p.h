#pragma once

#include "xmlLimits.h"

#include <zadururu/zadururu_export.h>

#include <QLatin1String>
#include <QString>
#include <QVarLengthArray>

#include <cstring>

namespace ZadUruru {

/// An attribute as the scanner met it: its value is the raw bytes between the quotes.
struct PlainAttribute
{
    QLatin1String name;
    const char *value;
    int size;
    bool entities; ///< whether the value holds entity references to resolve
};

/**
 * Raw character data or an attribute value as text: UTF-8 with, when
 * @p entities is set, the five predefined entity references resolved. Only
 * bytes the scanner took may be passed: every reference is one of the five.
 */
ZADURURU_EXPORT QString plainText(const char *data, int size, bool entities);

/// Whether @p text is only whitespace in the sense of QChar::isSpace, as the parser judges text.
ZADURURU_EXPORT bool isSpaceOnly(const char *data, int size);

/**
 * Reads a document of the plain form that the library's writers and the
 * editors write, and gives its events to a sink, at a fraction of the XML
 * parser's cost: UTF-8 without a byte order mark, at most an XML declaration
 * of version 1.0 (UTF-8) and a document type of a bare name before the root,
 * elements with attributes (each after whitespace, quoted either way),
 * character data and attribute values with the five predefined
 * entities, and CDATA sections, nested no deeper than the limit of every
 * reader.
 *
 * Whatever falls outside that form, well-formed or not (comments, processing
 * instructions, character references, carriage returns, control characters,
 * spaces around an attribute's "=", anything but whitespace after the root,
 * mismatched or missing end tags...), makes scan() return false, part way,
 * and the parser decides: the scanner only ever takes documents that the
 * parser reads the same way. The sink has:
 *
 *     void open(QLatin1String name, const PlainAttribute *attributes, int count);
 *     void close();
 *     void text(const char *data, int size, bool entities); // between markup, as it stands
 *     void cdata(const char *data, int size);
 */
template <class Sink>
class PlainXmlScanner
{
public:
    PlainXmlScanner(const QByteArray &data, Sink &sink)
        : m_p(reinterpret_cast<const uchar *>(data.constData()))
        , m_end(m_p + data.size())
        , m_sink(sink)
    {
    }

    bool scan()
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
    static bool isNameStart(uchar c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
    static bool isNameChar(uchar c) { return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }
    static bool isSpace(uchar c) { return c == ' ' || c == '\t' || c == '\n'; }

    // The length of the UTF-8 sequence at @p p (a byte of 0x80 or more) when
    // it is a character that every reader takes as it is; 0 for what is left
    // to the parser: malformed and overlong sequences, surrogates, the C1
    // controls, the byte order mark, U+FFFE and U+FFFF.
    int plainSequence() const
    {
        const uchar *p = m_p;
        const uchar *end = m_end;
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

    // Steps over one character of text or of an attribute value that is not
    // markup or a reference; false when the parser must decide.
    bool plainCharacter()
    {
        const uchar c = *m_p;
        if (c >= 0x80) {
            const int length = plainSequence();
            m_p += length;
            return length > 0;
        }
        if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F)
            return false;
        ++m_p;
        return true;
    }

    // One of the five predefined references at '&'.
    bool reference()
    {
        return skip("&lt;") || skip("&gt;") || skip("&amp;") || skip("&quot;") || skip("&apos;");
    }

    const char *here() const { return reinterpret_cast<const char *>(m_p); }

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

    bool attribute()
    {
        PlainAttribute a;
        if (!name(a.name) || !skip("="))
            return false;
        if (!at('"') && !at('\''))
            return false;
        const uchar quote = *m_p++;
        a.value = here();
        a.entities = false;
        while (!at(quote)) {
            if (m_p == m_end || *m_p == '<')
                return false;
            if (*m_p == '&') {
                if (!reference())
                    return false;
                a.entities = true;
            } else if (!plainCharacter()) {
                return false;
            }
        }
        a.size = int(here() - a.value);
        ++m_p;
        // An attribute given twice is reported twice, as the parser reports
        // it; whoever reads it takes the last.
        m_attributes.append(a);
        return true;
    }

    bool startTag()
    {
        ++m_p;
        QLatin1String element;
        if (!name(element))
            return false;
        m_attributes.clear();
        for (;;) {
            const uchar *before = m_p;
            while (m_p < m_end && isSpace(*m_p))
                ++m_p;
            if (at('>') || at('/'))
                break;
            if (m_p == before || !attribute())
                return false;
        }
        if (skip(">")) {
            if (m_open.size() == maxXmlNestingDepth)
                return false;
            m_sink.open(element, m_attributes.constData(), m_attributes.size());
            m_open.append(element);
            return true;
        }
        if (!skip("/>"))
            return false;
        m_sink.open(element, m_attributes.constData(), m_attributes.size());
        m_sink.close();
        return true;
    }

    bool endTag()
    {
        m_p += 2;
        QLatin1String element;
        if (!name(element) || !skip(">") || m_open.isEmpty() || element != m_open.last())
            return false;
        m_open.removeLast();
        m_sink.close();
        return true;
    }

    // Character data up to the next markup.
    bool text()
    {
        const char *start = here();
        bool entities = false;
        while (m_p < m_end && *m_p != '<') {
            if (*m_p == '&') {
                if (!reference())
                    return false;
                entities = true;
            } else if (*m_p == '>' && here() - start >= 2 && m_p[-1] == ']' && m_p[-2] == ']') {
                return false;
            } else if (!plainCharacter()) {
                return false;
            }
        }
        m_sink.text(start, int(here() - start), entities);
        return true;
    }

    bool cdata()
    {
        m_p += 9;
        const char *start = here();
        while (!startsWith("]]>")) {
            if (m_p == m_end || !plainCharacter())
                return false;
        }
        m_sink.cdata(start, int(here() - start));
        m_p += 3;
        return true;
    }

    const uchar *m_p;
    const uchar *const m_end;
    Sink &m_sink;
    QVarLengthArray<QLatin1String, 8> m_open;
    QVarLengthArray<PlainAttribute, 16> m_attributes;
};

} // namespace ZadUruru
