#include "xmlLimits.h"

namespace ZadUruru {

namespace {

// The position just past the first @p terminator at or after @p from, or the
// end of the data when there is none.
int skipPast(const QByteArray &data, int from, const char *terminator, int length)
{
    const int at = data.indexOf(terminator, from);
    return at < 0 ? data.size() : at + length;
}

// Past the '>' that closes the markup starting at @p from, stepping over
// quoted values and, in a document type declaration, its bracketed subset.
int skipMarkup(const QByteArray &data, int from, bool *selfClosing)
{
    const char *p = data.constData();
    const int size = data.size();
    char quote = 0;
    int brackets = 0;
    for (int i = from; i < size; ++i) {
        const char c = p[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++brackets;
        } else if (c == ']') {
            brackets = brackets > 0 ? brackets - 1 : 0;
        } else if (c == '>' && brackets == 0) {
            if (selfClosing)
                *selfClosing = i > from && p[i - 1] == '/';
            return i + 1;
        }
    }
    return size;
}

bool startsWith(const QByteArray &data, int at, const char *text, int length)
{
    return at + length <= data.size() && qstrncmp(data.constData() + at, text, uint(length)) == 0;
}

} // namespace

bool isTooDeeplyNested(const QByteArray &data, int limit)
{
    int depth = 0;
    int i = 0;
    while (i < data.size()) {
        i = data.indexOf('<', i);
        if (i < 0)
            return false;
        ++i;
        if (startsWith(data, i, "/", 1)) {
            depth = depth > 0 ? depth - 1 : 0;
            i = skipMarkup(data, i, nullptr);
        } else if (startsWith(data, i, "?", 1)) {
            i = skipPast(data, i, "?>", 2);
        } else if (startsWith(data, i, "!--", 3)) {
            i = skipPast(data, i + 3, "-->", 3);
        } else if (startsWith(data, i, "![CDATA[", 8)) {
            i = skipPast(data, i + 8, "]]>", 3);
        } else if (startsWith(data, i, "!", 1)) {
            i = skipMarkup(data, i, nullptr);
        } else {
            bool selfClosing = false;
            i = skipMarkup(data, i, &selfClosing);
            if (!selfClosing && ++depth > limit)
                return true;
        }
    }
    return false;
}

} // namespace ZadUruru
