#pragma once

#include "fileLint.h"
#include "finding.h"
#include "projectFiles.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>

QT_BEGIN_NAMESPACE
class QTextStream;
QT_END_NAMESPACE

/**
 * The findings of each file of a project by itself (fileLint.h), gathered
 * as ProjectFiles reads the files: pass hooks() to it, so that each file is
 * walked once, while its bytes are at hand.
 */
class ProjectLint
{
public:
    /// Hooks for ProjectFiles that lint every page and the definitions file as it is read.
    ProjectReadHooks hooks();
    /// Lints @p bytes of the project file @p relative, of the kind its place says.
    void add(const QString &relative, const QByteArray &bytes);

    /// The lint of @p relative; an empty one (no findings, no places) for a file not linted.
    const FileLint &file(const QString &relative) const;

private:
    QHash<QString, FileLint> m_files;
};

/// What a project check read and what it found.
struct CheckReport
{
    QString project;
    int pages = 0;
    int channels = 0;
    int tags = 0;
    int alarms = 0;
    int components = 0;
    /// Errors, then warnings, by file and line (see sortFindings()).
    QList<Finding> findings;

    int errorCount() const;
    int warningCount() const;

    /// The counts, one line per finding, and a last line that sums them up.
    void writeText(QTextStream &out) const;
    /// The report's members ("project", the counts, "findings"), without the envelope.
    QJsonObject toJson() const;
};

/**
 * Checks the project that @p files read (see the README for the layout:
 * the pages folder, definitions.xml, library/objlib.xml): what is
 * inconsistent between its files (errors), and, from @p lint, what the
 * readers would default or drop in each (warnings). Findings whose code is
 * in @p ignored are left out. Reading never changes a file.
 */
CheckReport checkProject(const ProjectFiles &files, const ProjectLint &lint, const QSet<FindingCode> &ignored = {});
