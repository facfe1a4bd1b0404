#pragma once

// Operations on a large DOM are timed in fresh processes of this program.
// How fast a large parse runs depends on the state of the heap: one that a
// freed DOM left in pieces makes the same parse up to twice as slow, so in a
// long-running process the figures depend on what ran before. Each timed
// process therefore warms up on a small input of the same kind (first-use
// costs of the code), then gives the heap the room the operation needs,
// touched once so that no page fault is timed, and times the operation once
// on that unfragmented heap. Every operation and its baseline start from the
// same state. A separate process runs the operation cold, for the first-run
// time and the peak memory.

#include "measure.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace Bench {

/// One operation of the sample processes, on its input file.
struct Job
{
    Job(const QString &operation, const QString &input, const QString &warm = QString(),
        const QString &output = QString())
        : operation(operation), input(input), warm(warm), output(output)
    {
    }
    QString operation;
    QString input;
    QString warm;    ///< a small input of the same kind to warm up on
    QString output;  ///< where the writers write
};

/// Figures of one operation over several processes.
struct Sampled
{
    Timing timing;          ///< firstNs: the cold run; runsNs: the timed runs
    Timing extra;           ///< a second figure some operations give (the DOM's destruction)
    qint64 peakBytes = -1;  ///< growth of the resident size during the cold run
};

/**
 * Runs @p runs timed processes for each of @p jobs, in turns, after one cold
 * process each when @p cold is set, and gathers their figures. Sets @p ok to
 * false when a process fails.
 */
QVector<Sampled> sampleInTurns(int runs, const QVector<Job> &jobs, bool cold, bool *ok);

/**
 * The child's side: runs @p job cold (@p cold) or warmed up as described
 * above, and prints "nanoseconds extra" or "nanoseconds peak-bytes". Returns
 * the process exit code.
 *
 * Operations: dom (bare setContent, extra: the DOM's destruction),
 * scene-load, scene-props, scene-save, definitions-load, watcher-reload,
 * tree-write, table-write, csv-load, library-read, and (in a build with the
 * tools) table-export-csv, table-export-json, table-import-csv and
 * table-import-json (into the channels.xml beside the table).
 */
int runSample(const Job &job, bool cold);

} // namespace Bench
