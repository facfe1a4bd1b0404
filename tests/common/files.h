#pragma once

// Whole-file reads and writes for tests.

#include <QByteArray>
#include <QFile>
#include <QString>

/// The whole content of @p path; empty when it cannot be read.
inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Replaces the content of @p path with @p bytes; false when that fails.
inline bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}
