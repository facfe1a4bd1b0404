#pragma once

#include <QString>

/**
 * @p text in double quotes, as the reports name records. A quote and a
 * backslash in it are escaped with a backslash, and so are line ends, tabs
 * and other control characters (\n, \r, \t, \u001b), so that a name
 * never ends a line of a report or the quotes around it.
 */
QString quoted(const QString &text);
