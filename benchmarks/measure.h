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

/**
 * Measures several operations in turns: a warm-up round, then @p runs rounds
 * in which each is called once, in order. Operations compared with each other
 * so see the same history of the heap (a freed DOM leaves it fragmented, which
 * slows the next large parse, whoever does it) and the same load of the machine.
 */
QVector<Timing> measureInTurns(int runs, const QVector<std::function<double()>> &operations);

/// Nanoseconds that @p body takes, on the monotonic clock.
double elapsedNs(const std::function<void()> &body);

/// Least-squares slope of log(value) over log(size): 1 is linear, 2 quadratic.
double growthExponent(const QVector<double> &sizes, const QVector<double> &values);

} // namespace Bench
