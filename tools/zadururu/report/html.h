#pragma once

// Text from a project's files goes into the report only through these:
// escaped for HTML text and attributes, or for JSON inside a script, so that
// no name, text or macro can become markup or script.

#include <QHash>
#include <QString>

namespace Html {

/// @p text escaped for HTML text and quoted attribute values (& < > " ').
QString text(const QString &text);

/**
 * @p text as a JSON string literal, quotes included, that is safe inside an
 * HTML script element and a JavaScript file: '<', '>' and '&' are written as
 * \\u escapes (no "</script>" can end the element), and so are the line
 * separators U+2028 and U+2029 and every control character.
 */
QString jsonString(const QString &text);

/**
 * @p page with each {{name}} replaced by the escaped text of @p values'
 * entry and each {{{name}}} by the entry as it is (markup the report built
 * itself). Names without an entry are replaced by nothing.
 */
QString fill(const QString &page, const QHash<QString, QString> &values);

/// A name for a file of the report made from @p name: letters, digits, '.', '-' and '_' only, never empty or hidden.
QString fileName(const QString &name);

} // namespace Html
