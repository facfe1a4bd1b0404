#include "cli/progress.h"

#include <QByteArray>

#include <cstdio>
#include <unistd.h>

Progress::Progress(const QString &what)
    : m_what(what)
    , m_enabled(isatty(STDERR_FILENO) == 1)
{
    bool ok = false;
    const int delay = qEnvironmentVariableIntValue("ZADURURU_PROGRESS_DELAY_MS", &ok);
    if (ok && delay >= 0)
        m_delay = delay;
    m_started.start();
}

Progress::~Progress()
{
    clear();
}

void Progress::update(int done, int total)
{
    m_done = done;
    m_total = total;
    if (!m_enabled)
        return;
    const qint64 now = m_started.elapsed();
    const bool last = total > 0 && done >= total;
    if (now < m_delay || (m_drawnAt >= 0 && now - m_drawnAt < 100 && !last))
        return;
    m_drawnAt = now;
    draw();
}

void Progress::setWhat(const QString &what)
{
    m_what = what;
    m_done = 0;
    m_total = 0;
    if (m_width > 0)
        draw();
}

void Progress::clear()
{
    if (m_width == 0)
        return;
    // Back to the start of the line and erase it.
    fputs("\r\033[K", stderr);
    fflush(stderr);
    m_width = 0;
    m_drawnAt = -1;
}

void Progress::draw()
{
    QString line = QStringLiteral("zadururu: ") + m_what;
    if (m_total > 0)
        line += QStringLiteral(": %1 of %2").arg(m_done).arg(m_total);
    else if (m_done > 0)
        line += QStringLiteral(": %1").arg(m_done);
    const QByteArray bytes = line.toLocal8Bit();
    fprintf(stderr, "\r%s\033[K", bytes.constData());
    fflush(stderr);
    m_width = line.size();
}
