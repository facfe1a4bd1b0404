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
 * replaces the target only once every byte is written and flushed; where no
 * file can be created in the target's directory the target is written in
 * place. Returns false, leaving the target as it was, when the target cannot
 * be opened for writing, when @p produce fails, or when a write fails.
 */
bool writeWholeFile(const QString &path, const std::function<bool(QIODevice *)> &produce);

} // namespace ZadUruru
