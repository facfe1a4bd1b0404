#include "sample.h"

#include "inputs.h"

#ifdef ZADURURU_BENCH_TABLE
#include "definitionsTable.h"
#include "tableImport.h"
#include "textDecoding.h"

#include <QSaveFile>
#endif

#include <zadururu/definitions/tagChFileWatcher.h>
#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/library/scadaEngine.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QCoreApplication>
#include <QDomDocument>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardItemModel>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include <malloc.h>

namespace Bench {

namespace {

// A field of /proc/self/status in bytes ("VmRSS:   1234 kB"), -1 when unknown.
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

// Makes the peak resident size start again from the current one.
bool resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

// One operation in the child on one input: run() does the timed work and
// keeps its result, release() frees it untimed (and may time a part of its
// own). Whatever an operation needs beforehand is prepared when it is made.
class Operation
{
public:
    Operation(const QString &operation, const QString &input, const QString &output);
    ~Operation() { destroyFileDataTree(m_tree); }

    bool known() const { return bool(m_run); }
    double run() { return m_run(); }
    void release() { m_release(); }
    bool ok() const { return m_ok; }
    double extraNs() const { return m_extraNs; }

private:
    std::function<double()> m_run;
    std::function<void()> m_release = [] {};
    QByteArray m_bytes;
    bool m_ok = true;
    double m_extraNs = 0;
    QDomDocument *m_document = nullptr;
    ScaFileData *m_scene = nullptr;
    PagePropertiesData_t *m_page = nullptr;
    FileDataTree *m_tree = nullptr;
    FileDataTree *m_loaded = nullptr;
    EditingTables m_tables;
    TagChFileWatcher *m_watcher = nullptr;
    ScadaEngine *m_engine = nullptr;
};

Operation::Operation(const QString &operation, const QString &input, const QString &output)
    : m_bytes(readFile(input))
{
    if (operation == QLatin1String("dom")) {
        m_run = [this] {
            m_document = new QDomDocument;
            return elapsedNs([this] { m_ok = m_document->setContent(m_bytes) && m_ok; });
        };
        m_release = [this] { m_extraNs = elapsedNs([this] { delete m_document; }); };
    } else if (operation == QLatin1String("scene-load")) {
        m_run = [this, input] { return elapsedNs([&] { m_scene = ScaFileProcessor::loadFileData(m_bytes, input); }); };
        m_release = [this] {
            m_ok = m_ok && m_scene;
            destroyScaFileData(m_scene);
        };
    } else if (operation == QLatin1String("scene-props")) {
        m_run = [this] { return elapsedNs([this] { m_page = ScaFileProcessor::loadSceneData(m_bytes); }); };
        m_release = [this] {
            m_ok = m_ok && m_page;
            delete m_page;
        };
    } else if (operation == QLatin1String("scene-save")) {
        m_scene = ScaFileProcessor::loadFileData(m_bytes, input);
        m_ok = m_scene;
        m_run = [this, output] {
            return elapsedNs([&] { m_ok = m_ok && ScaFileProcessor::saveFileData(m_scene, output); });
        };
    } else if (operation == QLatin1String("definitions-load")) {
        m_run = [this] { return elapsedNs([this] { m_loaded = TgchFileProcessor::loadFileData(m_bytes); }); };
        m_release = [this] {
            m_ok = m_ok && m_loaded;
            destroyFileDataTree(m_loaded);
            m_loaded = nullptr;
        };
    } else if (operation == QLatin1String("watcher-reload")) {
        m_watcher = new TagChFileWatcher(input, nullptr);
        m_ok = m_watcher->tagChData();
        m_run = [this, input] {
            return elapsedNs([&] {
                QMetaObject::invokeMethod(m_watcher, "onFileChanged", Qt::DirectConnection, Q_ARG(QString, input));
            });
        };
        m_release = [this] { m_ok = m_ok && m_watcher->tagChData(); };
    } else if (operation == QLatin1String("tree-write")) {
        m_tree = TgchFileProcessor::loadFileData(input);
        m_ok = m_tree;
        m_run = [this, output] {
            return elapsedNs([&] { m_ok = m_ok && TgchFileProcessor::writeToFile(m_tree, output); });
        };
    } else if (operation == QLatin1String("table-write")) {
        m_tree = TgchFileProcessor::loadFileData(input);
        m_ok = m_tree;
        if (m_tree)
            m_tables = makeEditingTables(*m_tree);
        m_run = [this, output] {
            return elapsedNs([&] {
                m_ok = m_ok && TgchFileProcessor::writeToFile(m_tables.channels.get(), m_tables.tags.get(), output);
            });
        };
    } else if (operation == QLatin1String("csv-load")) {
        m_run = [this, input] { return elapsedNs([&] { m_loaded = TgchFileProcessor::loadTagsFromCSV(input); }); };
        m_release = [this] {
            m_ok = m_ok && m_loaded;
            destroyFileDataTree(m_loaded);
            m_loaded = nullptr;
        };
#ifdef ZADURURU_BENCH_TABLE
    } else if (operation.startsWith(QLatin1String("table-export-"))) {
        // The tags of a definitions file as a table file, as zadururu export writes it.
        const TableFormat format = operation.endsWith(QLatin1String("json")) ? TableFormat::Json : TableFormat::Csv;
        m_tree = TgchFileProcessor::loadFileData(m_bytes);
        m_run = [this, output, format] {
            return elapsedNs([&] {
                QSaveFile file(output);
                const QByteArray table = exportTable(*m_tree, RecordKind::Tag, format);
                m_ok = m_ok && file.open(QIODevice::WriteOnly) && file.write(table) == table.size() && file.commit();
            });
        };
    } else if (operation.startsWith(QLatin1String("table-import-"))) {
        // A table file of tags read, decoded and merged, as zadururu import does, into
        // definitions that hold the channels they name (channels.xml beside the table).
        const TableFormat format = operation.endsWith(QLatin1String("json")) ? TableFormat::Json : TableFormat::Csv;
        const QString channels = QFileInfo(input).dir().filePath(QStringLiteral("channels.xml"));
        m_run = [this, input, format, channels] {
            m_loaded = TgchFileProcessor::loadFileData(channels);
            if (!m_loaded)
                return (m_ok = false), 0.0;
            return elapsedNs([&] {
                DecodedText text;
                QString problem;
                m_ok = m_ok && decodeText(readFile(input), QString(), &text, &problem)
                       && importText(*m_loaded, text.text, format, {RecordKind::Tag, MatchKey::Name, ConflictPolicy::Fail}).problems.isEmpty();
            });
        };
        m_release = [this] {
            m_ok = m_ok && !m_loaded->tags.isEmpty();
            destroyFileDataTree(m_loaded);
            m_loaded = nullptr;
        };
#endif
    } else if (operation == QLatin1String("library-read")) {
        m_engine = new ScadaEngine; // reads the user library of $HOME; kept for the process
        m_run = [this, input] { return elapsedNs([&] { m_ok = m_engine->readLibDir(input) && m_ok; }); };
    }
}

// Leaves the next @p bytes of heap allocations unfragmented and already
// resident: blocks too large for the allocator's caches and too small to be
// mapped of their own are touched and freed, and merge back into free space
// that is no longer given back to the system. Allocations up to 32 MiB then
// come from that space, as they do in a process that has run a while (the
// allocator raises its threshold for mapping to that size as it goes).
void prepareHeap(qint64 bytes)
{
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    const size_t block = 64 * 1024 - 64;
    std::vector<char *> blocks;
    blocks.reserve(size_t(bytes / block) + 1);
    for (qint64 done = 0; done < bytes; done += qint64(block)) {
        auto *p = static_cast<char *>(std::malloc(block));
        if (!p)
            break;
        std::memset(p, 1, block);
        blocks.push_back(p);
    }
    for (auto it = blocks.rbegin(); it != blocks.rend(); ++it)
        std::free(*it);
}

} // namespace

int runSample(const Job &job, bool cold)
{
    if (!cold && !job.warm.isEmpty()) {
        const QString warmOutput = job.output.isEmpty() ? QString() : job.output + QStringLiteral(".warm");
        Operation warm(job.operation, job.warm, warmOutput);
        if (warm.known()) {
            warm.run();
            warm.release();
        }
        if (!warmOutput.isEmpty())
            QFile::remove(warmOutput);
    }
    Operation op(job.operation, job.input, job.output);
    if (!op.known()) {
        std::fprintf(stderr, "zadururu-bench: unknown operation %s\n", qPrintable(job.operation));
        return 2;
    }
    // A DOM takes about twenty times the size of its file.
    if (!cold)
        prepareHeap(24 * QFileInfo(job.input).size() + 64 * 1024 * 1024);

    const qint64 before = cold && resetPeak() ? statusBytes("VmRSS") : -1;
    const double ns = op.run();
    const qint64 peak = cold ? statusBytes("VmHWM") : -1;
    op.release();
    if (!op.ok()) {
        std::fprintf(stderr, "zadururu-bench: %s failed on %s\n", qPrintable(job.operation), qPrintable(job.input));
        return 3;
    }
    if (cold)
        std::printf("%.0f %lld\n", ns, before >= 0 && peak >= 0 ? static_cast<long long>(peak - before) : -1LL);
    else
        std::printf("%.0f %.0f\n", ns, op.extraNs());
    return 0;
}

namespace {

bool runChild(const Job &job, bool cold, QList<QByteArray> *figures)
{
    QStringList arguments{QStringLiteral("--sample"), job.operation, QStringLiteral("--input"), job.input};
    if (!job.warm.isEmpty())
        arguments << QStringLiteral("--warm") << job.warm;
    if (!job.output.isEmpty())
        arguments << QStringLiteral("--output") << job.output;
    if (cold)
        arguments << QStringLiteral("--cold");
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    const bool finished = child.waitForFinished(-1);
    *figures = child.readAllStandardOutput().trimmed().split(' ');
    if (finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 && figures->size() == 2)
        return true;
    std::fprintf(stderr, "zadururu-bench: sample %s of %s failed\n", qPrintable(job.operation), qPrintable(job.input));
    return false;
}

} // namespace

QVector<Sampled> sampleInTurns(int runs, const QVector<Job> &jobs, bool cold, bool *ok)
{
    QVector<Sampled> sampled(jobs.size());
    QList<QByteArray> figures;
    for (int i = 0; i < jobs.size(); ++i) {
        sampled[i].timing.firstNs = std::nan("");
        sampled[i].extra.firstNs = std::nan("");
        if (cold) {
            if (runChild(jobs.at(i), true, &figures)) {
                sampled[i].timing.firstNs = figures.at(0).toDouble();
                sampled[i].peakBytes = figures.at(1).toLongLong();
            } else {
                *ok = false;
            }
        }
    }
    for (int round = 0; round < runs; ++round) {
        for (int i = 0; i < jobs.size(); ++i) {
            if (!runChild(jobs.at(i), false, &figures)) {
                *ok = false;
                continue;
            }
            sampled[i].timing.runsNs.append(figures.at(0).toDouble());
            sampled[i].extra.runsNs.append(figures.at(1).toDouble());
        }
    }
    return sampled;
}

} // namespace Bench
