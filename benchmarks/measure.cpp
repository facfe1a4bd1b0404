#include "measure.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>


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

QVector<Timing> measureInTurns(int runs, const QVector<std::function<double()>> &operations)
{
    QVector<Timing> timings(operations.size());
    for (int i = 0; i < operations.size(); ++i)
        timings[i].firstNs = operations.at(i)();
    for (int round = 0; round < runs; ++round) {
        for (int i = 0; i < operations.size(); ++i)
            timings[i].runsNs.append(operations.at(i)());
    }
    return timings;
}

double elapsedNs(const std::function<void()> &body)
{
    QElapsedTimer timer;
    timer.start();
    body();
    return double(timer.nsecsElapsed());
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
