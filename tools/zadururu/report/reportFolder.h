#pragma once

#include <QDir>
#include <QString>

/**
 * The folder a report is written to, all or nothing: the report is built in
 * a staging folder beside the target ("."<name>".report-staging-"<pid>) and
 * swapped into place in one rename once every file of it is on the disk.
 *
 * The target must be missing, empty, or a report written before (it holds the
 * marker file and nothing a report does not write); anything else is refused,
 * so that no file of the user's is replaced. A target that is a symbolic link
 * is refused too. Staging folders left by killed runs are removed.
 */
class ReportFolder
{
public:
    /// The file that marks a folder as a report, at its top.
    static const QString markerName;

    explicit ReportFolder(const QString &target);
    ~ReportFolder(); ///< removes the staging folder when the report was not committed
    ReportFolder(const ReportFolder &) = delete;
    ReportFolder &operator=(const ReportFolder &) = delete;

    /**
     * Checks the target and creates the staging folder. False, with the
     * reason in error(), when the target cannot take a report.
     */
    bool prepare();
    /// The staging folder to write the report into.
    QDir staging() const { return QDir(m_staging); }
    /// Whether prepare() found a previous report that commit() replaces.
    bool replacesReport() const { return m_replaces; }

    /**
     * Flushes the staging folder to the disk, writes the marker and swaps it
     * into the target's place; the previous report is removed afterwards.
     * False, with the reason in error(), when the report could not be put in
     * place (the target is then as it was).
     */
    bool commit();

    QString error() const { return m_error; }
    QString target() const { return m_target; }

private:
    bool fail(const QString &message);

    QString m_target;  ///< absolute, clean
    QString m_staging; ///< absolute, empty before prepare()
    QString m_error;
    bool m_replaces = false;
};
