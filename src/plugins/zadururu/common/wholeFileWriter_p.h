#pragma once

#include <QString>

#include <functional>

QT_BEGIN_NAMESPACE
class QIODevice;
QT_END_NAMESPACE

namespace ZadUruru {

/**
 * Writes the file at @p path as a whole or not at all. @p produce writes the
 * new content to the device it is given and returns false when it could not
 * produce it. The content goes to a temporary file beside the target, which
 * replaces the target only once every byte is written and flushed. The target
 * is never written in place: a full disk or a killed process would leave it
 * cut. Returns false, leaving the target as it was, when the target exists
 * but may not be written, when no file can be created beside it (a folder
 * the user may not write to), when @p produce fails, or when a write fails.
 */
bool writeWholeFile(const QString &path, const std::function<bool(QIODevice *)> &produce);

} // namespace ZadUruru
