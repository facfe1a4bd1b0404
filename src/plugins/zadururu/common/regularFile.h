#pragma once

#include <zadururu/zadururu_export.h>

#include <QByteArray>
#include <QString>

namespace ZadUruru {

/**
 * The largest file the library's readers read, 1 GiB. A larger file is
 * refused before a byte of it is read: no scene page, definitions or library
 * file comes near, and the text of one that big would not fit in a QString.
 */
constexpr qint64 maxFileSize = qint64(1) << 30;

/**
 * The whole content of the regular file at @p path, or a null array when it
 * cannot be read; an empty file gives an empty array that is not null.
 *
 * Only a regular file (or a symbolic link to one) is read. A FIFO, a device,
 * a socket or a folder is refused at once, without waiting for a writer or
 * touching the device, and so is a file larger than @p limit (at most and by
 * default maxFileSize), before it is read. The file is judged by what was opened, so
 * that a file swapped for another kind between the look and the open is
 * refused too; a file that grows past the limit while it is read is refused
 * when it does. When memory runs out the read is refused as well; nothing is
 * thrown.
 *
 * When the file cannot be read, @p error (if given) receives why, as a phrase
 * that follows the file's name: "No such file or directory", "is a FIFO, not
 * a regular file", "is larger than 1 GiB", "is too large for the memory left"
 * and the like.
 */
ZADURURU_EXPORT QByteArray readRegularFile(const QString &path, QString *error = nullptr,
                                           qint64 limit = maxFileSize);

} // namespace ZadUruru
