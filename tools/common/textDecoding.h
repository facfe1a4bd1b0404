#pragma once

// The text of a file whose encoding is named, marked or UTF-8.

#include <QByteArray>
#include <QString>

/// A file's bytes as text, and the encoding they were read in.
struct DecodedText
{
    QString text;
    QString encoding; ///< the name Qt gives the codec ("UTF-8", "ISO-8859-1", "windows-1252", ...)
};

/**
 * Decodes @p bytes. With @p encoding, by the codec Qt knows by that name; a
 * byte-order mark of that encoding is read past, one of another encoding is
 * refused. Without, by the byte-order mark they begin with (UTF-8, UTF-16 or
 * UTF-32) or else as UTF-8, which they must then be: bytes that are not are
 * refused, not turned into U+FFFD. False, with the reason in @p problem
 * (naming the first line that does not decode, where one can be named), when
 * the bytes cannot be read as asked.
 */
bool decodeText(const QByteArray &bytes, const QString &encoding, DecodedText *decoded, QString *problem);

/// The offset of the first byte of @p bytes that does not belong to a valid UTF-8 sequence, or -1.
int firstInvalidUtf8(const QByteArray &bytes);
