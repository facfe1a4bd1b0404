#pragma once

#include <QStringList>

// Each subcommand of the zadururu tool takes its own arguments (the first
// being the subcommand's name) and returns the process exit code: 0 on
// success, 1 when a check finds problems, 2 on usage or file errors.
namespace Exit {
constexpr int ok = 0;
constexpr int problems = 1;
constexpr int error = 2;
} // namespace Exit

int runCheck(const QStringList &arguments);
int runRender(const QStringList &arguments);
int runReport(const QStringList &arguments);
int runImportCsv(const QStringList &arguments);
int runExport(const QStringList &arguments);
int runImport(const QStringList &arguments);
int runFormat(const QStringList &arguments);
int runXref(const QStringList &arguments);
int runRenameTag(const QStringList &arguments);
int runDiff(const QStringList &arguments);
int runTextconv(const QStringList &arguments);
