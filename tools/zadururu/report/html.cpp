#include "html.h"

namespace Html {

QString text(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&': escaped += QLatin1String("&amp;"); break;
        case '<': escaped += QLatin1String("&lt;"); break;
        case '>': escaped += QLatin1String("&gt;"); break;
        case '"': escaped += QLatin1String("&quot;"); break;
        case '\'': escaped += QLatin1String("&#39;"); break;
        case 0: escaped += QChar(0xFFFD); break;
        default: escaped += c;
        }
    }
    return escaped;
}

QString jsonString(const QString &text)
{
    static const char hex[] = "0123456789abcdef";
    QString json;
    json.reserve(text.size() + 2);
    json += QLatin1Char('"');
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '"' || u == '\\') {
            json += QLatin1Char('\\');
            json += c;
        } else if (u < 0x20 || u == '<' || u == '>' || u == '&' || u == 0x2028 || u == 0x2029 || u == 0x7F) {
            json += QLatin1String("\\u");
            json += QLatin1Char(hex[(u >> 12) & 0xF]);
            json += QLatin1Char(hex[(u >> 8) & 0xF]);
            json += QLatin1Char(hex[(u >> 4) & 0xF]);
            json += QLatin1Char(hex[u & 0xF]);
        } else {
            json += c;
        }
    }
    json += QLatin1Char('"');
    return json;
}

QString fill(const QString &page, const QHash<QString, QString> &values)
{
    QString filled;
    filled.reserve(page.size());
    int at = 0;
    while (true) {
        const int open = page.indexOf(QLatin1String("{{"), at);
        if (open < 0)
            break;
        const bool raw = page.midRef(open, 3) == QLatin1String("{{{");
        const int nameStart = open + (raw ? 3 : 2);
        const int close = page.indexOf(raw ? QLatin1String("}}}") : QLatin1String("}}"), nameStart);
        if (close < 0)
            break;
        filled += page.midRef(at, open - at);
        const QString value = values.value(page.mid(nameStart, close - nameStart).trimmed());
        filled += raw ? value : text(value);
        at = close + (raw ? 3 : 2);
    }
    return filled + page.midRef(at);
}

QString fileName(const QString &name)
{
    QString safe;
    for (const QChar c : name)
        safe += (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('-') || c == QLatin1Char('_')
                        || c == QLatin1Char('.')
                    ? c
                    : QLatin1Char('_');
    if (safe.isEmpty() || safe.startsWith(QLatin1Char('.')))
        safe.prepend(QLatin1Char('_'));
    return safe;
}

} // namespace Html
