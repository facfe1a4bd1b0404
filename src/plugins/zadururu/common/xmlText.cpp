#include "xmlText_p.h"

namespace ZadUruru {

namespace {

bool isXmlChar(char16_t c)
{
    return c >= 0x20 ? (c < 0xFFFE) : (c == 0x9 || c == 0xA || c == 0xD);
}

// The length of the character at @p i that XML can hold (2 for a surrogate
// pair), or 0 when it cannot.
int writableLength(const QChar *text, int size, int i)
{
    const char16_t c = text[i].unicode();
    if (QChar::isHighSurrogate(c))
        return i + 1 < size && QChar::isLowSurrogate(text[i + 1].unicode()) ? 2 : 0;
    if (QChar::isLowSurrogate(c))
        return 0;
    return isXmlChar(c) ? 1 : 0;
}

} // namespace

QString xmlWritable(const QString &text)
{
    const QChar *data = text.constData();
    const int size = text.size();
    int i = 0;
    while (i < size) {
        const int length = writableLength(data, size, i);
        if (length == 0)
            break;
        i += length;
    }
    if (i == size)
        return text;

    QString writable;
    writable.reserve(size - 1);
    writable.append(data, i);
    while (i < size) {
        const int length = writableLength(data, size, i);
        writable.append(data + i, length);
        i += qMax(length, 1);
    }
    return writable;
}

} // namespace ZadUruru
