#pragma once

#include <QElapsedTimer>
#include <QString>

/**
 * A count of the work a command has done ("reading pages: 120 of 500"),
 * shown on one line of standard error while the command runs, so that a
 * run of many seconds does not look like a hang. It shows only when
 * standard error is a terminal, and only once the command has run about a
 * second: short runs, pipes, files and CI logs get nothing. The line is
 * redrawn at most ten times a second and cleared when the work is done.
 *
 *     Progress progress(QStringLiteral("reading pages"));
 *     for (...) { ...; progress.update(++done, total); }
 *     progress.clear(); // or let it go out of scope
 *
 * ZADURURU_PROGRESS_DELAY_MS sets the delay before the first line (tests
 * use 0).
 */
class Progress
{
public:
    explicit Progress(const QString &what);
    ~Progress();
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;

    /// @p done of @p total; a @p total of 0 shows the count alone.
    void update(int done, int total = 0);
    /// Shows @p what instead, without a count until the next update (now, if the line shows).
    void setWhat(const QString &what);
    /// Clears the line, so that other output can follow; a later update() draws it again.
    void clear();

    /// Whether progress can show at all: standard error is a terminal.
    bool enabled() const { return m_enabled; }

private:
    void draw();

    QString m_what;
    QElapsedTimer m_started;
    qint64 m_drawnAt = -1;
    qint64 m_delay = 1000;
    int m_done = 0;
    int m_total = 0;
    int m_width = 0; ///< characters on the line now
    bool m_enabled = false;
};
