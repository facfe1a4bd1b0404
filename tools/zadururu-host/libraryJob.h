#pragma once

#include "projectLibrary.h"

#include <QStringList>

QT_BEGIN_NAMESPACE
class QDir;
class QTextStream;
QT_END_NAMESPACE

/**
 * Lists the project's library components on @p out and, of the component
 * texts the project's pages use, those the library lacks. Returns false
 * when the library file cannot be read.
 */
bool runLibraryJob(const QDir &project, const QStringList &usedComponentUids, QTextStream &out, QTextStream &err);
