#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

/**
 * Parses @p arguments with @p parser, which already holds the command's
 * options and positional arguments, and takes care of --help and of usage
 * errors. Returns true when the command should run; otherwise *exitCode is
 * what the command returns (0 after --help, 2 after a usage error, which is
 * printed on standard error).
 */
bool parseCommandLine(QCommandLineParser &parser, const QStringList &arguments, int positionalCount,
                      int *exitCode);

/// Prints "zadururu: <file>: <message>" on standard error.
void reportFileError(const QString &file, const QString &message);
