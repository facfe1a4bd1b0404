#pragma once

#include <QString>
#include <QStringList>

/**
 * The name of @p candidates nearest to @p name, for a "did you mean" hint:
 * one that differs only in letter case, or else, for a name of three
 * characters or more, by at most one edit (up to four characters) or two
 * (longer): an insertion, a deletion, a replacement, or a swap of two
 * neighbours. The first of the nearest; empty when none is that close, or
 * when @p name is one of them.
 */
QString nearestName(const QString &name, const QStringList &candidates);
