#pragma once

#include <QByteArray>
#include <QString>

class ScaFileData;
struct FileDataTree;

/**
 * The bytes the library's writer writes for @p page, recording @p fileName
 * as the page's file name (the writer records the path it writes to, which
 * would make the bytes depend on where and from which folder it ran). Null
 * when the writer fails.
 */
QByteArray canonicalPageBytes(ScaFileData *page, const QString &fileName);

/// The bytes the library's tree writer writes for @p definitions; null when it fails.
QByteArray canonicalDefinitionsBytes(FileDataTree *definitions);

/**
 * Replaces the file at @p path with @p bytes as a whole or not at all: a
 * temporary file beside it, flushed, then renamed over it, keeping its
 * permissions. False, with the reason in @p error and the file as it was,
 * when that cannot be done (a folder that takes no new file included).
 */
bool replaceFile(const QString &path, const QByteArray &bytes, QString *error);
