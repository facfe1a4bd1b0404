#pragma once

#include <QString>

/**
 * Appends @p text to @p out in double quotes, escaped as a JSON string: a
 * quote and a backslash with a backslash, line ends and tabs as \n, \r and
 * \t, other control characters as \u001b and so on. The reports name records
 * so, and a name then never ends a line of a report or the quotes around it.
 */
void appendQuoted(QString &out, const QString &text);

/// @p text quoted as appendQuoted() quotes it.
QString quoted(const QString &text);
