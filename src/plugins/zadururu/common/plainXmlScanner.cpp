#include "plainXmlScanner_p.h"

#include <cstring>

namespace ZadUruru {

QString plainText(const char *data, int size, bool entities)
{
    if (!entities)
        return QString::fromUtf8(data, size);
    QString text;
    text.reserve(size);
    const char *run = data;
    const char *const end = data + size;
    for (const char *p = data; p < end;) {
        if (*p != '&') {
            ++p;
            continue;
        }
        text += QString::fromUtf8(run, int(p - run));
        const char *semicolon = static_cast<const char *>(std::memchr(p, ';', std::size_t(end - p)));
        const QLatin1String name(p + 1, int(semicolon - p - 1));
        text += name == QLatin1String("lt") ? QLatin1Char('<')
              : name == QLatin1String("gt") ? QLatin1Char('>')
              : name == QLatin1String("amp") ? QLatin1Char('&')
              : name == QLatin1String("quot") ? QLatin1Char('"')
                                              : QLatin1Char('\'');
        p = run = semicolon + 1;
    }
    text += QString::fromUtf8(run, int(end - run));
    return text;
}

bool isSpaceOnly(const char *data, int size)
{
    bool ascii = true;
    for (int i = 0; i < size; ++i) {
        const uchar c = uchar(data[i]);
        if (c >= 0x80)
            ascii = false;
        else if (c != ' ' && c != '\t' && c != '\n')
            return false;
    }
    if (ascii)
        return true;
    const QString text = QString::fromUtf8(data, size);
    for (QChar c : text) {
        if (!c.isSpace())
            return false;
    }
    return true;
}

} // namespace ZadUruru
