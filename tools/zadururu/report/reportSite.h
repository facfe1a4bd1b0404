#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

class ProjectFiles;
class ProjectLint;

/// What writing a report did, besides the files.
struct ReportSummary
{
    int files = 0;            ///< files written
    qint64 largestHtml = 0;   ///< bytes of the largest HTML file
    QString largestHtmlName;  ///< its path within the report
    QStringList notes;        ///< what the report could not show as the files say (an image it cannot read...)
};

/**
 * Writes the report of the project @p files read (each file linted by
 * @p lint as it was read) into the empty folder
 * @p out: index.html (the project's counts, the check's findings by file,
 * links to the rest), one page per scene page under pages/ (its picture as
 * SVG, each item pointable and linked to its row in a table of the items and
 * their bindings), channels, tags, alarms and findings as tables that the
 * browser filters and sorts (their rows load from data/ in parts of at most
 * rowsPerPart rows), and the library catalogue with its images. Every text
 * from the project's files is escaped; images are read only from inside the
 * project and written again as PNG. False, with the reason in *@p error,
 * when a file cannot be written.
 */
bool writeReportSite(const ProjectFiles &files, const ProjectLint &lint, const QDir &out, ReportSummary *summary,
                     QString *error);

/// Most rows of a table in one file of data/.
constexpr int rowsPerPart = 2000;
