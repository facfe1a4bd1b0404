#include "measure.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cmath>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Bench {

double Timing::median() const
{
    if (runsNs.isEmpty())
        return 0;
    QVector<double> sorted = runsNs;
    std::sort(sorted.begin(), sorted.end());
    const int n = sorted.size();
    return n % 2 ? sorted.at(n / 2) : (sorted.at(n / 2 - 1) + sorted.at(n / 2)) / 2;
}

double Timing::minimum() const
{
    return runsNs.isEmpty() ? 0 : *std::min_element(runsNs.cbegin(), runsNs.cend());
}

Timing measure(int runs, const std::function<double()> &run)
{
    Timing t;
    t.firstNs = run();
    for (int i = 0; i < runs; ++i)
        t.runsNs.append(run());
    return t;
}

double elapsedNs(const std::function<void()> &body)
{
    QElapsedTimer timer;
    timer.start();
    body();
    return double(timer.nsecsElapsed());
}

namespace {

// A field of /proc/self/status in bytes ("VmRSS:   1234 kB").
qint64 statusBytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

bool resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

} // namespace

qint64 peakMemory(const std::function<void()> &body)
{
    int channel[2];
    if (pipe(channel) != 0)
        return -1;
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        return -1;
    }
    if (child == 0) {
        close(channel[0]);
        // Heap the parent freed would be reused without showing as growth.
        malloc_trim(0);
        qint64 grown = -1;
        if (resetPeak()) {
            const qint64 before = statusBytes("VmRSS");
            body();
            const qint64 peak = statusBytes("VmHWM");
            if (before >= 0 && peak >= 0)
                grown = peak - before;
        }
        const ssize_t written = write(channel[1], &grown, sizeof grown);
        close(channel[1]);
        _exit(written == sizeof grown ? 0 : 1);
    }
    close(channel[1]);
    qint64 grown = -1;
    if (read(channel[0], &grown, sizeof grown) != sizeof grown)
        grown = -1;
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? grown : -1;
}

double growthExponent(const QVector<double> &sizes, const QVector<double> &values)
{
    const int n = qMin(sizes.size(), values.size());
    if (n < 2)
        return std::nan("");
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (int i = 0; i < n; ++i) {
        if (sizes.at(i) <= 0 || values.at(i) <= 0)
            return std::nan("");
        const double x = std::log(sizes.at(i));
        const double y = std::log(values.at(i));
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    const double d = n * sxx - sx * sx;
    return d == 0 ? std::nan("") : (n * sxy - sx * sy) / d;
}

} // namespace Bench
