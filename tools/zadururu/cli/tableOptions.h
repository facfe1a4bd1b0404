#pragma once

// The options and the reading of input files that the commands moving
// records between a definitions file and a table (export, import, import-csv) share.

#include "definitionsTable.h"
#include "tableImport.h"
#include "textDecoding.h"

#include <QCommandLineParser>

/// Adds --channels, --tags and --alarms, each described as "<verb> the channels." and so on.
void addKindOptions(QCommandLineParser &parser, const QString &verb);

/// The kind that exactly one of --channels, --tags and --alarms names; false, with a usage message, otherwise.
bool recordKindOption(const QCommandLineParser &parser, const char *command, RecordKind *kind);

/**
 * The format that @p option names, or else that the extension of @p file
 * names (.json), or else CSV; false, with a usage message, for another name.
 */
bool tableFormatOption(const QCommandLineParser &parser, const QCommandLineOption &option, const QString &file,
                       const char *command, TableFormat *format);

/// The --on-conflict option: fail, skip or update, fail when not given.
QCommandLineOption conflictOption();
/// The policy @p option names; false, with a usage message, for another word.
bool conflictPolicyOption(const QCommandLineParser &parser, const QCommandLineOption &option, const char *command,
                          ConflictPolicy *policy);
/// The word of @p policy, as the option takes it.
QString conflictPolicyName(ConflictPolicy policy);

/**
 * Reads the text file at @p path in @p encoding, or by its byte-order mark,
 * or as UTF-8 (see decodeText()); false, with the reason on standard error,
 * when it cannot be read or decoded.
 */
bool readText(const QString &path, const QString &encoding, DecodedText *decoded);
