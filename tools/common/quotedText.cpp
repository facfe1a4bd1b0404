#include "quotedText.h"

void appendQuoted(QString &out, const QString &text)
{
    out += QLatin1Char('"');
    int from = 0;
    for (int i = 0; i < text.size(); ++i) {
        const ushort c = text.at(i).unicode();
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        out += text.midRef(from, i - from);
        from = i + 1;
        switch (c) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            out += QStringLiteral("\\u%1").arg(c, 4, 16, QLatin1Char('0'));
        }
    }
    out += text.midRef(from);
    out += QLatin1Char('"');
}

QString quoted(const QString &text)
{
    QString result;
    result.reserve(text.size() + 2);
    appendQuoted(result, text);
    return result;
}
