#include "textDecoding.h"

#include <QTextCodec>

#include <algorithm>

namespace {

int lineOf(const QByteArray &bytes, int offset)
{
    return 1 + int(std::count(bytes.constBegin(), bytes.constBegin() + offset, '\n'));
}

const char encodingHint[] = "name the file's encoding, for instance --encoding windows-1252 or --encoding latin1";

// The first line that @p codec cannot decode, or 0 when no single line can be named.
int firstUndecodableLine(QTextCodec *codec, const QByteArray &bytes)
{
    int line = 1;
    for (int from = 0; from < bytes.size(); ++line) {
        int end = bytes.indexOf('\n', from);
        if (end < 0)
            end = bytes.size();
        QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
        codec->toUnicode(bytes.constData() + from, end - from, &state);
        if (state.invalidChars > 0 || state.remainingChars > 0)
            return line;
        from = end + 1;
    }
    return 0;
}

} // namespace

int firstInvalidUtf8(const QByteArray &bytes)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.constData());
    const int size = bytes.size();
    int i = 0;
    while (i < size) {
        const unsigned char c = b[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80, high = 0xBF; // the range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0; // no overlong forms
            else if (c == 0xED)
                high = 0x9F; // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F; // nothing beyond U+10FFFF
        } else {
            return i;
        }
        if (i + length > size || b[i + 1] < low || b[i + 1] > high)
            return i;
        for (int k = 2; k < length; ++k)
            if (b[i + k] < 0x80 || b[i + k] > 0xBF)
                return i;
        i += length;
    }
    return -1;
}

bool decodeText(const QByteArray &bytes, const QString &encoding, DecodedText *decoded, QString *problem)
{
    QTextCodec *marked = QTextCodec::codecForUtfText(bytes, nullptr);
    if (encoding.isEmpty() && !marked) {
        const int bad = firstInvalidUtf8(bytes);
        if (bad >= 0) {
            *problem = QStringLiteral("line %1 is not valid UTF-8 and the file has no byte-order mark; %2")
                           .arg(lineOf(bytes, bad))
                           .arg(QLatin1String(encodingHint));
            return false;
        }
        decoded->text = QString::fromUtf8(bytes);
        decoded->encoding = QStringLiteral("UTF-8");
        return true;
    }
    QTextCodec *codec = marked;
    if (!encoding.isEmpty()) {
        codec = QTextCodec::codecForName(encoding.toLatin1());
        if (!codec) {
            *problem = QStringLiteral("no encoding is called \"%1\" (known are, among others, UTF-8, UTF-16, "
                                      "ISO-8859-1, ISO-8859-15, windows-1250 to windows-1258, KOI8-R, Shift_JIS)")
                           .arg(encoding);
            return false;
        }
        if (marked && marked->mibEnum() != codec->mibEnum()) {
            *problem = QStringLiteral("the file begins with a %1 byte-order mark, not in %2")
                           .arg(QString::fromLatin1(marked->name()), QString::fromLatin1(codec->name()));
            return false;
        }
    }
    // The codec reads past a byte-order mark of its own encoding.
    QTextCodec::ConverterState state;
    decoded->text = codec->toUnicode(bytes.constData(), bytes.size(), &state);
    decoded->encoding = QString::fromLatin1(codec->name());
    if (state.invalidChars > 0 || state.remainingChars > 0) {
        const int line = firstUndecodableLine(codec, bytes);
        *problem = (line > 0 ? QStringLiteral("line %1 is not valid %2").arg(line) : QStringLiteral("the file is not valid %2"))
                       .arg(decoded->encoding);
        if (encoding.isEmpty())
            *problem += QStringLiteral("; ") + QLatin1String(encodingHint);
        return false;
    }
    return true;
}
