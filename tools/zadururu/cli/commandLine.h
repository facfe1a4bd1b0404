#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <memory>

#include "project/projectFiles.h"
#include "project/projectLock.h"
#include "quotedText.h"

QT_BEGIN_NAMESPACE
class QTextStream;
QT_END_NAMESPACE
class ProjectFiles;
struct FileDataTree;

/**
 * Parses @p arguments with @p parser, which already holds the command's
 * options and positional arguments, and takes care of --help, --help-all
 * and of usage errors. @p positionalCount is the number of positional
 * arguments, or minus the least number when more may follow. --help-all
 * adds @p moreHelp and what every command shares (exit codes, JSON,
 * progress) to the help. Returns true when the command should run;
 * otherwise *exitCode is what the command returns (0 after help, 2 after a
 * usage error, which is printed on standard error).
 */
bool parseCommandLine(QCommandLineParser &parser, const QStringList &arguments, int positionalCount,
                      int *exitCode, const QString &moreHelp = QString());

/// Prints "zadururu: <file>: <message>" on standard error.
void reportFileError(const QString &file, const QString &message);

/// Standard output, as the commands write their reports to it.
QTextStream &out();

using TreePointer = std::unique_ptr<FileDataTree, void (*)(FileDataTree *)>;

/// Reads the regular file @p path whole, within the size limit; false, with the reason on standard error, when it cannot.
bool readWhole(const QString &path, QByteArray *bytes);

/// Reads @p path as a well-formed document; false, with the parser's line and column on standard error, when it is not.
bool readXml(const QString &path, QByteArray *bytes);

/**
 * The project folder at @p path, locked for @p access (see ProjectLock) and
 * read (see ProjectFiles), with @p hooks called as it is read and a count of
 * the pages read on a terminal; null, with the reason on standard error,
 * when it cannot be: no such folder, a file, a folder with neither a pages
 * folder nor definitions.xml, a lock that cannot be had.
 */
std::unique_ptr<ProjectFiles> openProject(const QString &path, ProjectAccess access = ProjectAccess::Read,
                                          ProjectReadHooks hooks = {});

/// Adds --wait SECONDS to the options of a command that locks a project; parseCommandLine() then takes its value.
void addWaitOption(QCommandLineParser &parser);

