#pragma once

// The one JSON form of every command's report (--json): an object whose
// first members are "schemaVersion" and "command", followed by the command's
// own members in the order of its text output. Values are typed (numbers as
// numbers, booleans as booleans, texts unquoted); records are named by a
// structured reference (see project/recordRef.h), never by display text.

#include <QJsonObject>

/// The version of the JSON form; a change that can break a reader raises it.
constexpr int jsonSchemaVersion = 1;

/// A report of @p command with its schemaVersion and command set.
QJsonObject jsonReport(const char *command);
/// As above, with @p members added.
QJsonObject jsonReport(const char *command, const QJsonObject &members);

/**
 * Prints @p report on standard output, indented: "schemaVersion" and
 * "command" first, then the other members in name order (as QJsonObject
 * keeps them; lists keep their order).
 */
void printJson(const QJsonObject &report);
