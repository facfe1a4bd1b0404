#pragma once

// Timing and peak-memory measurement for the benchmarks.

#include <QVector>

#include <functional>

namespace Bench {

/// Times of one operation: the first (cold) run apart, then the repeated ones.
struct Timing
{
    double firstNs = 0;
    QVector<double> runsNs;
    double median() const;
    double minimum() const;
};

/**
 * Runs @p run once as a warm-up, then @p runs more times. Each call returns
 * the nanoseconds of the part it times itself, so that preparing inputs and
 * freeing results stay out of the figure.
 */
Timing measure(int runs, const std::function<double()> &run);

/// Nanoseconds that @p body takes, on the monotonic clock.
double elapsedNs(const std::function<void()> &body);

/**
 * Peak memory that @p body adds, in bytes: run in a forked child whose peak
 * resident size is reset first (so what the parent holds is not counted),
 * read before the child exits. Negative when it cannot be measured.
 */
qint64 peakMemory(const std::function<void()> &body);

/// Least-squares slope of log(value) over log(size): 1 is linear, 2 quadratic.
double growthExponent(const QVector<double> &sizes, const QVector<double> &values);

} // namespace Bench
