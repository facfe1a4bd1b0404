#pragma once

#include <QString>

namespace ZadUruru {

/**
 * @p text without the characters an XML 1.0 document cannot hold: controls
 * other than tab, line feed and carriage return, U+FFFE and U+FFFF, and
 * surrogates that do not form a pair. Qt's parser lets some of them through
 * when reading, but the stream writer refuses to write them and would fail
 * the whole save; every writer passes its texts through here instead. A text
 * without such characters is returned as it is, without a copy.
 */
QString xmlWritable(const QString &text);

} // namespace ZadUruru
