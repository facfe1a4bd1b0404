#include "tableDocument_p.h"

#include <QLatin1String>

namespace ZadUruru {
namespace DefinitionsXml {

void TableDocument::openLine(int depth, const char *element)
{
    indent(depth);
    m_text += QLatin1Char('<') + QLatin1String(element) + QLatin1String(">\n");
}

void TableDocument::closeLine(int depth, const char *element)
{
    indent(depth);
    m_text += QLatin1String("</") + QLatin1String(element) + QLatin1String(">\n");
}

void TableDocument::emptyLine(int depth, const char *element)
{
    indent(depth);
    m_text += QLatin1Char('<') + QLatin1String(element) + QLatin1String("/>\n");
}

void TableDocument::textLine(int depth, const char *element, const QString &text, bool cdata)
{
    indent(depth);
    m_text += QLatin1Char('<') + QLatin1String(element) + QLatin1Char('>');
    if (cdata)
        appendCData(text);
    else
        appendCharacters(text);
    m_text += QLatin1String("</") + QLatin1String(element) + QLatin1String(">\n");
}

void TableDocument::indent(int depth)
{
    for (int i = 0; i < depth; ++i)
        m_text += QLatin1Char(' ');
}

// "<" and "&" escaped, ">" only where it would end "]]>", and a carriage
// return as a reference, so that a reader keeps it; everything else as it is.
void TableDocument::appendCharacters(const QString &text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('<'))
            m_text += QLatin1String("&lt;");
        else if (c == QLatin1Char('&'))
            m_text += QLatin1String("&amp;");
        else if (c == QLatin1Char('\r'))
            m_text += QLatin1String("&#xd;");
        else if (c == QLatin1Char('>') && m_text.endsWith(QLatin1String("]]")))
            m_text += QLatin1String("&gt;");
        else
            m_text += c;
    }
}

// A CDATA section cannot hold "]]>": the text is split between its "]]" and
// ">" into consecutive sections, which every reader joins again.
void TableDocument::appendCData(const QString &text)
{
    const QLatin1String end("]]>");
    int from = 0;
    for (int at = text.indexOf(end); at >= 0; at = text.indexOf(end, from)) {
        appendSection(text.midRef(from, at + 2 - from));
        from = at + 2;
    }
    appendSection(text.midRef(from));
}

void TableDocument::appendSection(const QStringRef &piece)
{
    m_text += QLatin1String("<![CDATA[") + piece + QLatin1String("]]>");
}

} // namespace DefinitionsXml
} // namespace ZadUruru
