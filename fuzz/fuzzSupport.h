#pragma once

// What every fuzz target shares: a GUI application on the offscreen platform
// (text items measure their size with the font system), a scratch directory,
// and a quiet debug output.

#include "files.h"

#include <zadururu/definitions/fileDataTree.h>
#include <zadururu/scene/scaFileData.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

namespace Fuzz {

/// The input as the library's readers receive a file's content.
inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), int(size));
}

/// A path in the process's scratch directory (on tmpfs where there is one).
QString scratchPath(const QString &fileName);

/// Writes @p content to scratchPath(@p fileName) and returns that path.
QString writeScratchFile(const QString &fileName, const QByteArray &content);

/// The bytes the tree writer makes of @p tree, through scratchPath(@p fileName).
QByteArray writtenDefinitions(FileDataTree *tree, const QString &fileName);

/// The bytes the scene writer makes of @p page, through scratchPath(@p fileName).
QByteArray savedScene(ScaFileData *page, const QString &fileName);

/// Fails, naming the first record that differs, unless both readers gave the same records.
void compareRecords(const QStringList &records, const QStringList &expected);

/// Reports a broken property of the library and aborts, so that libFuzzer keeps the input.
[[noreturn]] void fail(const char *what, const QByteArray &detail = QByteArray());

} // namespace Fuzz
