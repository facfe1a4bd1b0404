// zadururu-bench: times the library's loads, saves and lookups on generated
// projects of several sizes, each against a bare DOM parse of the same bytes
// measured in the same run, and checks the figures against the speed goals.

#include "inputs.h"
#include "measure.h"
#include "sample.h"

#ifdef ZADURURU_BENCH_TABLE
#include "definitionsTable.h"
#include "tableImport.h"
#include "textDecoding.h"
#endif

#include <zadururu/definitions/tagChFileWatcher.h>
#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/library/scadaEngine.h>
#include <zadururu/scene/projectDataTree.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QCommandLineParser>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QProcess>
#include <QSaveFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardItemModel>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

using namespace Bench;

namespace {

// One measured operation at one size. Times are per call: a run of
// callsPerRun calls is divided by their number.
struct Result
{
    QString family;
    QString operation;
    int size = 0;
    qint64 bytes = 0;       ///< bytes read or written by one call, 0 where none
    int callsPerRun = 1;
    bool isBaseline = false; ///< measures what the library's own operations are compared with
    Timing timing;
    QString baselineName;   ///< what the ratio divides by, empty for a baseline itself
    double baselineNs = 0;  ///< median of the baseline, per call
    qint64 peakBytes = -1;  ///< memory a call adds at its peak, -1 when not measured

    double medianNs() const { return timing.median() / callsPerRun; }
    double minimumNs() const { return timing.minimum() / callsPerRun; }
    double firstNs() const { return timing.firstNs / callsPerRun; }
    double ratio() const { return baselineNs > 0 ? medianNs() / baselineNs : std::nan(""); }
    QString key() const { return family + QLatin1Char(' ') + operation; }
};

struct Options
{
    QVector<int> sizes;
    int runs = 5;
    bool memory = true;
    QStringList families;
    QString json;
};

class Runner
{
public:
    Runner(const Options &options, const QString &work)
        : m_options(options)
        , m_work(work)
    {
    }

    void scene(int n);
    void definitions(int n);
    void csv(int n);
    void table(int n);
    void project(int n);
    void library(int n);
    void tool();

    bool failed() const { return m_failed; }
    const QList<Result> &results() const { return m_results; }

private:
    static Result result(const QString &family, const QString &operation, int size, qint64 bytes,
                         const Timing &timing, int callsPerRun = 1)
    {
        Result r;
        r.family = family;
        r.operation = operation;
        r.size = size;
        r.bytes = bytes;
        r.timing = timing;
        r.callsPerRun = callsPerRun;
        return r;
    }

    static Result baseline(Result r)
    {
        r.isBaseline = true;
        return r;
    }

    static Result against(Result r, const Result &base, double extraNs = 0, const QString &name = QString())
    {
        r.baselineName = name.isEmpty() ? base.operation : name;
        r.baselineNs = base.medianNs() + extraNs;
        return r;
    }

    void push(const Result &r)
    {
        m_results.append(r);
        std::fprintf(stderr, "  %-44s %8d  %12.3f ms\n", qPrintable(r.key()), r.size, r.medianNs() / 1e6);
    }

    // A result that does not hold what was generated would time the wrong work.
    void check(bool ok, const char *what)
    {
        if (!ok && !m_failed)
            std::fprintf(stderr, "zadururu-bench: wrong result: %s\n", what);
        m_failed = m_failed || !ok;
    }

    QVector<Sampled> sample(const QVector<Job> &jobs)
    {
        bool ok = true;
        const QVector<Sampled> s = sampleInTurns(m_options.runs, jobs, m_options.memory, &ok);
        check(ok, "a sample process");
        return s;
    }

    Result sampled(const QString &family, const QString &operation, int size, qint64 bytes, const Sampled &s,
                   bool isBaseline = false)
    {
        Result r = result(family, operation, size, bytes, s.timing);
        r.isBaseline = isBaseline;
        r.peakBytes = m_options.memory ? s.peakBytes : -1;
        return r;
    }

    // A bare parse of @p bytes, timed in this process.
    static std::function<double()> bareParse(const QByteArray *bytes)
    {
        return [bytes] {
            QDomDocument document;
            return elapsedNs([&] { document.setContent(*bytes); });
        };
    }

    QString dir(const QString &name, int n)
    {
        const QString path = m_work + QLatin1Char('/') + name + QLatin1Char('-') + QString::number(n);
        QDir().mkpath(path);
        return path;
    }

    Options m_options;
    QString m_work;
    QList<Result> m_results;
    bool m_failed = false;
};

void Runner::scene(int n)
{
    const QString family = QStringLiteral("scene");
    const QString d = dir(family, n);
    const QString path = d + QStringLiteral("/page.xml");
    const QString out = d + QStringLiteral("/saved.xml");
    ScaFileData *source = makeScene(n, 1, 1000, 7u + unsigned(n));
    check(ScaFileProcessor::saveFileData(source, path), "scene written");
    const QByteArray bytes = readFile(path);

    // What the timed processes load must be what was generated.
    const SceneMix mix = sceneMix(n);
    ScaFileData *file = ScaFileProcessor::loadFileData(bytes, path);
    check(file && file->scadaObjects.size() == mix.scadaObjects && file->textItems.size() == mix.texts
              && file->tableItems.size() == mix.tables && file->rtChartItems.size() == mix.charts
              && file->scheduleItems.size() == mix.schedules && file->dbqTextItems.size() == mix.dbqTexts
              && file->pageProperties.ScrollTags.size() == 4,
          "scene loadFileData");
    check(file && ScaFileProcessor::saveFileData(file, out) && readFile(out).size() == bytes.size() + out.size() - path.size(),
          "scene saveFileData writes what it read");
    destroyScaFileData(file);
    destroyScaFileData(source);
    PagePropertiesData_t *page = ScaFileProcessor::loadSceneData(bytes);
    check(page && page->pageID == 1 && page->W == 1920, "scene loadSceneData");
    delete page;

    // The processes warm up on a small page of the same kind.
    const QString warm = d + QStringLiteral("/warm.xml");
    ScaFileData *small = makeScene(20, 2, 1, 3u);
    check(ScaFileProcessor::saveFileData(small, warm), "small scene written");
    destroyScaFileData(small);

    const QVector<Sampled> loads = sample({{QStringLiteral("dom"), path, warm},
                                           {QStringLiteral("scene-load"), path, warm},
                                           {QStringLiteral("scene-props"), path, warm}});
    const Result parse = sampled(family, QStringLiteral("bare setContent"), n, bytes.size(), loads[0], true);
    Sampled destruction = loads[0];
    destruction.timing = destruction.extra;
    destruction.peakBytes = -1;
    const Result destroyed = sampled(family, QStringLiteral("DOM destruction"), n, bytes.size(), destruction, true);
    push(parse);
    push(destroyed);
    push(against(sampled(family, QStringLiteral("loadFileData"), n, bytes.size(), loads[1]), parse));
    // Reading the page properties alone is at best a parse and the DOM's destruction.
    push(against(sampled(family, QStringLiteral("loadSceneData"), n, bytes.size(), loads[2]), parse,
                 destroyed.medianNs(), QStringLiteral("setContent + DOM destruction")));

    const QVector<Sampled> saves = sample({{QStringLiteral("scene-save"), path, warm, out}, {QStringLiteral("dom"), out, warm}});
    const qint64 written = readFile(out).size();
    const Result writtenParse = sampled(family, QStringLiteral("bare setContent of saved"), n, written, saves[1], true);
    Result save = against(sampled(family, QStringLiteral("saveFileData"), n, written, saves[0]), writtenParse);
    save.peakBytes = -1;
    push(save);
    push(writtenParse);

    // n attributes on one element: read in time linear in their number, by
    // the plain scanner and, behind a comment, by the parser.
    for (const bool forParser : {false, true}) {
        const QString attributes = d + (forParser ? QStringLiteral("/attributes-parsed.xml") : QStringLiteral("/attributes.xml"));
        const QByteArray attributeBytes = makeAttributePage(n, forParser);
        check(writeFile(attributes, attributeBytes), "attribute page written");
        ScaFileData *read = ScaFileProcessor::loadFileData(attributeBytes, attributes);
        check(read && read->scadaObjects.size() == 1 && read->scadaObjects.first()->common->X == 7,
              "attribute page loadFileData, the last X");
        destroyScaFileData(read);
        const QString what = forParser ? QStringLiteral(" (attributes, parsed)") : QStringLiteral(" (attributes)");
        const QVector<Sampled> s = sample({{QStringLiteral("dom"), attributes, warm}, {QStringLiteral("scene-load"), attributes, warm}});
        const Result base = sampled(family, QStringLiteral("bare setContent") + what, n, attributeBytes.size(), s[0], true);
        push(base);
        push(against(sampled(family, QStringLiteral("loadFileData") + what, n, attributeBytes.size(), s[1]), base));
    }
}

void Runner::definitions(int n)
{
    const QString family = QStringLiteral("definitions");
    const QString d = dir(family, n);
    const QString path = d + QStringLiteral("/definitions.xml");
    const QString treeOut = d + QStringLiteral("/tree.xml");
    const QString tableOut = d + QStringLiteral("/tables.xml");
    FileDataTree *source = makeDefinitions(n, 11u + unsigned(n));
    check(TgchFileProcessor::writeToFile(source, path), "definitions written");
    const QByteArray bytes = readFile(path);
    const int channels = source->channels.size();
    const int alarms = source->alarms.size();
    destroyFileDataTree(source);
    auto complete = [&](const FileDataTree *tree) {
        return tree && tree->channels.size() == channels && tree->tags.size() == n && tree->alarms.size() == alarms;
    };

    // What the timed processes load must be what was generated.
    FileDataTree *tree = TgchFileProcessor::loadFileData(bytes);
    check(complete(tree), "definitions loadFileData");
    destroyFileDataTree(tree);
    {
        TagChFileWatcher watcher(path, nullptr);
        int updates = 0;
        QObject::connect(&watcher, &TagChFileWatcher::tgchFileUpdated, [&updates] { ++updates; });
        QMetaObject::invokeMethod(&watcher, "onFileChanged", Qt::DirectConnection, Q_ARG(QString, path));
        check(updates == 1 && complete(watcher.tagChData()), "watcher reload");
        destroyFileDataTree(watcher.tagChData());
    }

    // The processes warm up on a small file of the same kind.
    const QString warm = d + QStringLiteral("/warm.xml");
    FileDataTree *small = makeDefinitions(20, 3u);
    check(TgchFileProcessor::writeToFile(small, warm), "small definitions written");
    destroyFileDataTree(small);

    const QVector<Sampled> loads = sample({{QStringLiteral("dom"), path, warm},
                                           {QStringLiteral("definitions-load"), path, warm},
                                           {QStringLiteral("watcher-reload"), path, warm}});
    const Result parse = sampled(family, QStringLiteral("bare setContent"), n, bytes.size(), loads[0], true);
    push(parse);
    push(against(sampled(family, QStringLiteral("loadFileData"), n, bytes.size(), loads[1]), parse));
    push(against(sampled(family, QStringLiteral("watcher reload"), n, bytes.size(), loads[2]), parse));

    // Each writer's output must load back into as many records.
    struct Writer
    {
        const char *operation;
        const char *name;
        QString out;
        const char *baseline;
    };
    for (const Writer &w : {Writer{"tree-write", "writeToFile (tree)", treeOut, "bare setContent of tree output"},
                            Writer{"table-write", "writeToFile (tables)", tableOut, "bare setContent of table output"}}) {
        const QVector<Sampled> saves = sample({{QLatin1String(w.operation), path, warm, w.out}, {QStringLiteral("dom"), w.out, warm}});
        FileDataTree *back = TgchFileProcessor::loadFileData(w.out);
        // The table writer writes no alarms.
        check(back && back->channels.size() == channels && back->tags.size() == n
                  && back->alarms.size() == (QLatin1String(w.operation) == QLatin1String("tree-write") ? alarms : 0),
              w.name);
        destroyFileDataTree(back);
        const qint64 written = readFile(w.out).size();
        const Result writtenParse = sampled(family, QLatin1String(w.baseline), n, written, saves[1], true);
        Result save = against(sampled(family, QLatin1String(w.name), n, written, saves[0]), writtenParse);
        save.peakBytes = -1;
        push(save);
        push(writtenParse);
    }
}

void Runner::csv(int n)
{
    const QString family = QStringLiteral("csv");
    const QString path = dir(family, n) + QStringLiteral("/tags.csv");
    const QByteArray bytes = makeCsv(n, 13u + unsigned(n));
    check(writeFile(path, bytes), "CSV written");

    // Not a DOM: timed in this process, in turns with its baseline.
    const QVector<Timing> t = measureInTurns(m_options.runs, {
        // What any reader of the file does at least: read it, decode it and
        // cut it into lines and fields.
        [&] {
            int fields = 0;
            const double ns = elapsedNs([&] {
                QFile file(path);
                if (!file.open(QIODevice::ReadOnly))
                    return;
                QTextStream stream(&file);
                const QString text = stream.readAll();
                for (const QStringRef &line : text.splitRef(QLatin1Char('\n')))
                    fields += line.split(QLatin1Char(';')).size();
            });
            check(fields >= 4 * n, "CSV split");
            return ns;
        },
        [&] {
            FileDataTree *tree = nullptr;
            const double ns = elapsedNs([&] { tree = TgchFileProcessor::loadTagsFromCSV(path); });
            check(tree && tree->tags.size() == n, "loadTagsFromCSV");
            destroyFileDataTree(tree);
            return ns;
        },
    });
    const Result split = baseline(result(family, QStringLiteral("read and split"), n, bytes.size(), t[0]));
    Result load = against(result(family, QStringLiteral("loadTagsFromCSV"), n, bytes.size(), t[1]), split);
    if (m_options.memory) {
        bool ok = true;
        load.peakBytes = sampleInTurns(0, {{QStringLiteral("csv-load"), path}}, true, &ok).value(0).peakBytes;
        check(ok, "loadTagsFromCSV in a process of its own");
    }
    push(split);
    push(load);
}

void Runner::table(int n)
{
    // Tags as a table and back, each in fresh processes as the writer is,
    // against the definitions writer on the same file: each direction is at
    // most a write of the file.
#ifndef ZADURURU_BENCH_TABLE
    std::fprintf(stderr, "  table: built without the tools, skipped (%d)\n", n);
#else
    const QString family = QStringLiteral("table");
    const QString d = dir(family, n);
    const QString path = d + QStringLiteral("/definitions.xml");
    FileDataTree *tree = makeDefinitions(n, 29u + unsigned(n));
    check(TgchFileProcessor::writeToFile(tree, path), "definitions written");
    // The definitions the imports merge into: the channels the tags name.
    while (!tree->tags.isEmpty())
        delete tree->tags.takeLast();
    while (!tree->alarms.isEmpty())
        delete tree->alarms.takeLast();
    check(TgchFileProcessor::writeToFile(tree, d + QStringLiteral("/channels.xml")), "channels written");
    destroyFileDataTree(tree);
    const QString warm = d + QStringLiteral("/warm.xml");
    FileDataTree *small = makeDefinitions(20, 3u);
    check(TgchFileProcessor::writeToFile(small, warm), "small definitions written");
    destroyFileDataTree(small);
    check(readFile(path).contains("<TagList>"), "definitions to export");

    const QString csv = d + QStringLiteral("/tags.csv");
    const QString json = d + QStringLiteral("/tags.json");
    const QString warmCsv = d + QStringLiteral("/warm.csv");
    const QString warmJson = d + QStringLiteral("/warm.json");
    // The exports run first: the imports read what they wrote.
    const QVector<Sampled> t = sample({{QStringLiteral("tree-write"), path, warm, d + QStringLiteral("/tree.xml")},
                                       {QStringLiteral("table-export-csv"), path, warm, csv},
                                       {QStringLiteral("table-export-json"), path, warm, json}});
    FileDataTree *warmTree = TgchFileProcessor::loadFileData(warm);
    check(warmTree && writeFile(warmCsv, exportTable(*warmTree, RecordKind::Tag, TableFormat::Csv))
              && writeFile(warmJson, exportTable(*warmTree, RecordKind::Tag, TableFormat::Json)),
          "small tables written");
    destroyFileDataTree(warmTree);
    const QVector<Sampled> imports = sample({{QStringLiteral("table-import-csv"), csv, warmCsv},
                                             {QStringLiteral("table-import-json"), json, warmJson}});
    Result writer = sampled(family, QStringLiteral("writeToFile (tree)"), n, readFile(d + QStringLiteral("/tree.xml")).size(), t[0], true);
    writer.peakBytes = -1;
    push(writer);
    const QStringList operations{QStringLiteral("export tags CSV"), QStringLiteral("export tags JSON"),
                                 QStringLiteral("import tags CSV"), QStringLiteral("import tags JSON")};
    const QVector<Sampled> all{t[1], t[2], imports[0], imports[1]};
    for (int i = 0; i < all.size(); ++i) {
        push(against(sampled(family, operations.at(i), n, readFile(i % 2 ? json : csv).size(), all.at(i)), writer));
    }
#endif
}

void Runner::project(int n)
{
    // n component instances spread over 500 pages, with the other item kinds
    // in their usual share beside them.
    const QString family = QStringLiteral("project");
    const int pages = 500;
    const int perPage = qMax(1, n / pages);
    const int itemsPerPage = qMax(1, (perPage * 100 + 59) / 60);
    ProjectDataTree tree;
    QVector<int> uids;
    int uid = 100000;
    for (int page = 0; page < pages; ++page) {
        ScaFileData *file = makeScene(itemsPerPage, page + 1, uid, 17u + unsigned(page));
        for (const ScadaObjectLoadData_t *o : file->scadaObjects)
            uids.append(o->Uid);
        uid += file->scadaObjects.size();
        tree.files.insert(QStringLiteral("pages/page%1.xml").arg(page + 1), file);
    }
    const int instances = uids.size();
    // Enough calls per run that a run takes milliseconds at every size.
    const int calls = qMax(5, 2000000 / qMax(1, instances));
    qsrand(1);
    std::mt19937 random(5);

    const QVector<Timing> t = measureInTurns(m_options.runs, {
        // One visit of every instance: the least a project-wide search costs.
        [&] {
            int visited = 0;
            const double ns = elapsedNs([&] {
                for (int i = 0; i < calls; ++i) {
                    for (const ScaFileData *file : qAsConst(tree.files))
                        for (const ScadaObjectLoadData_t *o : file->scadaObjects)
                            visited += o->Uid != i;
                }
            });
            check(visited == calls * instances, "scan");
            return ns;
        },
        [&] {
            int last = -1;
            const double ns = elapsedNs([&] {
                for (int i = 0; i < calls; ++i)
                    last = tree.requestUniqueId();
            });
            check(last >= 0, "requestUniqueId");
            return ns;
        },
        [&] {
            QVector<int> wanted(calls);
            for (int &w : wanted)
                w = uids.at(std::uniform_int_distribution<int>(0, instances - 1)(random));
            int found = 0;
            const double ns = elapsedNs([&] {
                for (int w : wanted) {
                    const ScadaObjectLoadData_t *o = tree.getBlock(w);
                    found += o && o->Uid == w;
                }
            });
            check(found == calls, "getBlock");
            return ns;
        },
    });
    const Result scan = baseline(result(family, QStringLiteral("bare scan of instances"), instances, 0, t[0], calls));
    push(scan);
    push(against(result(family, QStringLiteral("requestUniqueId"), instances, 0, t[1], calls), scan));
    push(against(result(family, QStringLiteral("getBlock"), instances, 0, t[2], calls), scan));

    for (ScaFileData *file : qAsConst(tree.files))
        destroyScaFileData(file);
    tree.files.clear();
}

void Runner::library(int n)
{
    // The engine reads the user library from the home directory.
    const QString family = QStringLiteral("library");
    const QString home = dir(QStringLiteral("home"), n);
    QDir().mkpath(home + QStringLiteral("/Korvela"));
    const QString userFile = home + QStringLiteral("/Korvela/userlib.xml");
    const int userComponents = qMax(1, n / 10);
    check(writeFile(userFile, makeUserLibrary(userComponents, 19u + unsigned(n))), "user library written");
    const QString libPath = dir(QStringLiteral("scdLib"), n) + QStringLiteral("/objlib.xml");
    const QByteArray libBytes = makeComponentLibrary(n, 23u + unsigned(n));
    check(writeFile(libPath, libBytes), "component library written");
    const QString image = dir(QStringLiteral("images"), n) + QStringLiteral("/new_pump.png");
    check(writeFile(image, QByteArray(2048, '\x42')), "image written");
    qputenv("HOME", home.toLocal8Bit());

    auto *engine = new ScadaEngine;
    check(engine->getUserObjectList().size() == userComponents, "user library read");
    check(engine->readLibDir(libPath) && engine->getLibraryObjectList().size() == n, "component library read");

    const QString warm = dir(QStringLiteral("scdLib-warm"), n) + QStringLiteral("/objlib.xml");
    check(writeFile(warm, makeComponentLibrary(20, 3u)), "small library written");
    const QVector<Sampled> reads = sample({{QStringLiteral("dom"), libPath, warm}, {QStringLiteral("library-read"), libPath, warm}});
    const Result parse = sampled(family, QStringLiteral("bare setContent"), n, libBytes.size(), reads[0], true);
    push(parse);
    push(against(sampled(family, QStringLiteral("readLibDir"), n, libBytes.size(), reads[1]), parse));

    const int calls = 1000;
    int expected = 2 * userComponents + 1; // ids 0, 2, 4, ... and 1, 3, ... are taken
    const Timing ids = measure(m_options.runs, [&] {
        bool ok = true;
        const double ns = elapsedNs([&] {
            for (int i = 0; i < calls; ++i) {
                const int id = engine->chooseaUID();
                ok = ok && id == expected;
                // Odd ids up to 2n - 1 are free, then every id from 2n.
                expected += expected < 2 * n - 1 ? 2 : 1;
            }
        });
        check(ok, "chooseaUID");
        return ns;
    });
    push(result(family, QStringLiteral("chooseaUID"), n, 0, ids, calls));

    QByteArray written;
    const QVector<Timing> adds = measureInTurns(m_options.runs, {
        [&] {
            auto *object = new ScadaLibObject;
            object->name = QStringLiteral("New pump");
            object->objectCategory = QStringLiteral("Pumps");
            object->images.append(image);
            const int before = engine->getUserObjectList().size();
            const double ns = elapsedNs([&] { engine->addUserObject(object); });
            check(engine->getUserObjectList().size() == before + 1
                      && object->images.value(0) == QStringLiteral("images/new_pump.png"),
                  "addUserObject");
            written = readFile(userFile);
            return ns;
        },
        bareParse(&written),
    });
    const Result writtenParse = baseline(result(family, QStringLiteral("bare setContent of user library"), n, written.size(), adds[1]));
    push(against(result(family, QStringLiteral("addUserObject"), n, written.size(), adds[0]), writtenParse));
    push(writtenParse);
}

void Runner::tool()
{
    // The command-line tool as a plant engineer runs it, on a project of 500
    // pages of 100 items each, 100,000 tags, 10,000 alarms and a library that
    // holds half the components the pages place (so check has much to say).
    const QString family = QStringLiteral("tool");
    const int pages = 500;
    const int tags = 100000;
    const QString project = dir(QStringLiteral("tool-project"), tags);
    QDir().mkpath(project + QStringLiteral("/pages"));
    QDir().mkpath(project + QStringLiteral("/library"));
    // A tag bound on every page, as a rename of a much-used tag meets it.
    const int everywhere = 4242;
    for (int page = 0; page < pages; ++page) {
        ScaFileData *file = makeScene(100, page + 1, 100000 + 100 * page, 31u + unsigned(page));
        file->pageProperties.ScrollTags[0].TagID = everywhere;
        file->scadaObjects.first()->tagID_label = everywhere;
        check(ScaFileProcessor::saveFileData(file, project + QStringLiteral("/pages/page%1.xml").arg(page + 1)), "page written");
        destroyScaFileData(file);
    }
    FileDataTree *definitions = makeDefinitions(tags, 37u);
    check(TgchFileProcessor::writeToFile(definitions, project + QStringLiteral("/definitions.xml")), "definitions written");
    destroyFileDataTree(definitions);
    check(writeFile(project + QStringLiteral("/library/objlib.xml"), makeComponentLibrary(251, 41u)), "library written");

    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/zadururu");
    const auto run = [&](const QString &command, int exitCode, const QStringList &options = {}) {
        return [=] {
            QProcess process;
            process.setStandardOutputFile(QProcess::nullDevice());
            process.setStandardErrorFile(QProcess::nullDevice());
            const double ns = elapsedNs([&] {
                process.start(program, QStringList{command, project} + options);
                process.waitForFinished(-1);
            });
            check(process.exitStatus() == QProcess::NormalExit && process.exitCode() == exitCode,
                  "the tool's exit code");
            return ns;
        };
    };
    // The tag goes back and forth between its id and one nobody binds.
    bool renamed = false;
    const auto rename = [&] {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        const QString from = QString::number(renamed ? 200000 : everywhere), to = QString::number(renamed ? everywhere : 200000);
        const double ns = elapsedNs([&] {
            process.start(program, {QStringLiteral("rename-tag"), project, QStringLiteral("--id"), from, QStringLiteral("--to"), to});
            process.waitForFinished(-1);
        });
        check(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0, "the rename's exit code");
        renamed = !renamed;
        return ns;
    };
    // What a rename by rewriting costs at least: the library's load and save of every file it touches.
    const QString scratch = dir(QStringLiteral("tool-rewrite"), tags);
    const auto rewrite = [&] {
        return elapsedNs([&] {
            for (int page = 0; page < pages; ++page) {
                const QString name = QStringLiteral("/page%1.xml").arg(page + 1);
                ScaFileData *file = ScaFileProcessor::loadFileData(readFile(project + QStringLiteral("/pages") + name), QString());
                check(file && ScaFileProcessor::saveFileData(file, scratch + name), "page rewritten");
                destroyScaFileData(file);
            }
            FileDataTree *tree = TgchFileProcessor::loadFileData(readFile(project + QStringLiteral("/definitions.xml")));
            check(TgchFileProcessor::writeToFile(tree, scratch + QStringLiteral("/definitions.xml")), "definitions rewritten");
            destroyFileDataTree(tree);
        });
    };
    // Each run takes seconds: three are enough to see the spread.
    // The report replaces the one of the run before, as a user running it again does.
    const QString report = dir(QStringLiteral("tool-report"), tags);
    const QVector<Timing> t = measureInTurns(qMin(m_options.runs, 3),
                                             {run(QStringLiteral("check"), 1), run(QStringLiteral("xref"), 0),
                                              run(QStringLiteral("report"), 0, {QStringLiteral("-o"), report}), rename, rewrite});
    push(result(family, QStringLiteral("check (500 pages)"), tags, 0, t[0]));
    push(result(family, QStringLiteral("xref (500 pages)"), tags, 0, t[1]));
    push(result(family, QStringLiteral("report (500 pages)"), tags, 0, t[2]));
    const Result rewritten = baseline(result(family, QStringLiteral("load and save of the 501 files (500 pages)"), tags, 0, t[4]));
    push(against(result(family, QStringLiteral("rename-tag of a tag on every page (500 pages)"), tags, 0, t[3]), rewritten));
    push(rewritten);
}

QString timeText(double ns)
{
    if (!(ns >= 0))
        return QStringLiteral("-");
    if (ns < 1e3)
        return QString::number(ns, 'f', 0) + QStringLiteral(" ns");
    if (ns < 1e6)
        return QString::number(ns / 1e3, 'f', ns < 1e4 ? 2 : 1) + QStringLiteral(" us");
    if (ns < 1e9)
        return QString::number(ns / 1e6, 'f', ns < 1e7 ? 2 : 1) + QStringLiteral(" ms");
    return QString::number(ns / 1e9, 'f', 2) + QStringLiteral(" s");
}

QString mbText(qint64 bytes)
{
    return bytes > 0 ? QString::number(bytes / 1048576.0, 'f', bytes < 10485760 ? 2 : 1) : QStringLiteral("-");
}

struct Goal
{
    QString name;
    double value;
    double limit;
    bool met() const { return value <= limit; }
};

const Result *find(const QList<Result> &results, const QString &key, int size)
{
    for (const Result &r : results) {
        if (r.key() == key && r.size == size)
            return &r;
    }
    return nullptr;
}

// Growth of one operation over the sizes it ran at.
struct Growth
{
    QString key;
    bool baseline = true;   ///< the operation is itself a baseline
    double exponent = 0;    ///< of its own time
    double beyond = 0;      ///< of its time over its baseline's, plus 1: growth that is its own
};

QList<Growth> growth(const QList<Result> &results)
{
    QStringList keys;
    for (const Result &r : results) {
        if (!keys.contains(r.key()))
            keys.append(r.key());
    }
    QList<Growth> out;
    for (const QString &key : keys) {
        Growth g;
        g.key = key;
        QVector<double> sizes, times, ratios;
        for (const Result &r : results) {
            if (r.key() == key) {
                sizes.append(r.size);
                times.append(r.medianNs());
                ratios.append(r.ratio());
                g.baseline = r.isBaseline;
            }
        }
        g.exponent = growthExponent(sizes, times);
        g.beyond = g.baseline ? std::nan("") : growthExponent(sizes, ratios) + 1;
        out.append(g);
    }
    return out;
}

QList<Goal> goals(const QList<Result> &results, int largest, const QList<Growth> &exponents)
{
    QList<Goal> out;
    auto ratio = [&](const QString &operation, const QString &key, const QString &baseline, double limit) {
        if (const Result *r = find(results, key, largest))
            out.append({QStringLiteral("%1 <= %2x %3 (%4)").arg(operation).arg(limit).arg(baseline).arg(largest),
                        r->ratio(), limit});
    };
    const QString setContent = QStringLiteral("setContent");
    const QString ofOutput = QStringLiteral("setContent of output");
    ratio(QStringLiteral("definitions loadFileData"), QStringLiteral("definitions loadFileData"), setContent, 0.5);
    ratio(QStringLiteral("definitions watcher reload"), QStringLiteral("definitions watcher reload"), setContent, 0.6);
    ratio(QStringLiteral("scene loadFileData"), QStringLiteral("scene loadFileData"), setContent, 0.8);
    ratio(QStringLiteral("scene loadSceneData"), QStringLiteral("scene loadSceneData"),
          QStringLiteral("(setContent + destruction)"), 0.3);
    ratio(QStringLiteral("scene saveFileData"), QStringLiteral("scene saveFileData"), ofOutput, 0.7);
    ratio(QStringLiteral("scene loadFileData, attributes of one element"), QStringLiteral("scene loadFileData (attributes)"),
          setContent, 2);
    ratio(QStringLiteral("scene loadFileData, attributes of one element, parsed"),
          QStringLiteral("scene loadFileData (attributes, parsed)"), setContent, 2);
    ratio(QStringLiteral("definitions tree writer"), QStringLiteral("definitions writeToFile (tree)"), ofOutput, 0.7);
    ratio(QStringLiteral("definitions table writer"), QStringLiteral("definitions writeToFile (tables)"), ofOutput, 0.7);
    for (const char *operation : {"export tags CSV", "export tags JSON", "import tags CSV", "import tags JSON"})
        ratio(QLatin1String(operation), QStringLiteral("table ") + QLatin1String(operation), QStringLiteral("writeToFile"), 1.0);
    ratio(QStringLiteral("user library save (addUserObject)"), QStringLiteral("library addUserObject"), ofOutput, 0.7);
    // What a load holds at its peak, against the file it reads, at every size.
    // A page of one element with n attributes holds every attribute at once,
    // as the parser hands them over: there the document tree is the measure,
    // at the largest size (at the smallest, a few pages decide).
    for (const Result &r : results) {
        // A table holds a record in far fewer bytes than the records take: its peak is shown, not held to this.
        if (r.isBaseline || r.peakBytes < 0 || r.bytes <= 0 || r.family == QLatin1String("table"))
            continue;
        if (r.baselineName.contains(QLatin1String("(attributes"))) {
            const Result *tree = find(results, r.family + QLatin1Char(' ') + r.baselineName, r.size);
            if (r.size == largest && tree && tree->peakBytes > 0)
                out.append({QStringLiteral("peak memory of %1 (%2) <= the document tree's").arg(r.key()).arg(r.size),
                            double(r.peakBytes) / double(tree->peakBytes), 1});
        } else {
            out.append({QStringLiteral("peak memory of %1 (%2) <= 4x the file").arg(r.key()).arg(r.size),
                        double(r.peakBytes) / double(r.bytes), 4});
        }
    }
    for (const QString &command : {QStringLiteral("check"), QStringLiteral("xref")})
        if (const Result *r = find(results, QStringLiteral("tool %1 (500 pages)").arg(command), 100000))
            out.append({QStringLiteral("zadururu %1, 500 pages and 100000 tags, <= 5 s").arg(command), r->medianNs() / 1e9, 5});
    if (const Result *r = find(results, QStringLiteral("tool report (500 pages)"), 100000))
        out.append({QStringLiteral("zadururu report, 500 pages and 100000 tags, <= 30 s"), r->medianNs() / 1e9, 30});
    // A rename reads the whole project and edits values in place; rewriting
    // every file it touches, as it did before, took 2.3 times this baseline.
    if (const Result *r = find(results, QStringLiteral("tool rename-tag of a tag on every page (500 pages)"), 100000))
        out.append({QStringLiteral("rename-tag of a tag on every page / load and save of those files <= 1.5"), r->medianNs() / r->baselineNs, 1.5});
    // Where a baseline grows faster than linear by itself (a DOM much larger
    // than the caches), only the growth beyond it is the operation's own.
    for (const Growth &g : exponents) {
        if (g.baseline)
            continue;
        const bool own = !std::isnan(g.beyond);
        const double value = own ? g.beyond : g.exponent;
        if (!std::isnan(value))
            out.append({QStringLiteral("growth of ") + g.key + (own ? QStringLiteral(" beyond its baseline") : QString())
                            + QStringLiteral(" <= 1.1"),
                        value, 1.1});
    }
    return out;
}

void print(const QList<Result> &results, const QList<Growth> &exponents, const QList<Goal> &goalList)
{
    QTextStream out(stdout);
    out << QStringLiteral("\n%1 %2 %3 %4 %5 %6 %7 %8 %9\n")
               .arg(QStringLiteral("operation"), -40)
               .arg(QStringLiteral("size"), 7)
               .arg(QStringLiteral("MB"), 7)
               .arg(QStringLiteral("first"), 10)
               .arg(QStringLiteral("median"), 10)
               .arg(QStringLiteral("min"), 10)
               .arg(QStringLiteral("ratio"), 6)
               .arg(QStringLiteral("peak MB"), 8)
               .arg(QStringLiteral("peak/file"), 9);
    QString family;
    for (const Result &r : results) {
        if (r.family != family && !family.isEmpty())
            out << '\n';
        family = r.family;
        const double ratio = r.ratio();
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9%10\n")
                   .arg(r.key(), -40)
                   .arg(r.size, 7)
                   .arg(mbText(r.bytes), 7)
                   .arg(timeText(r.firstNs()), 10)
                   .arg(timeText(r.medianNs()), 10)
                   .arg(timeText(r.minimumNs()), 10)
                   .arg(!std::isnan(ratio) ? QString::number(ratio, 'f', 2)
                        : r.isBaseline ? QStringLiteral("base") : QStringLiteral("-"), 6)
                   .arg(mbText(r.peakBytes), 8)
                   .arg(r.peakBytes > 0 && r.bytes > 0 ? QString::number(double(r.peakBytes) / r.bytes, 'f', 1) + QLatin1Char('x')
                                                       : QStringLiteral("-"),
                        9)
                   .arg(r.baselineName.isEmpty() ? QString() : QStringLiteral("   / ") + r.baselineName);
    }
    out << QStringLiteral("\nTimes are per call: first is the cold run, median and min of the runs after it.\n");

    auto exponentText = [](double e) { return std::isnan(e) ? QStringLiteral("-") : QString::number(e, 'f', 2); };
    out << QStringLiteral("\nGrowth exponent: slope of log time over log size (1 is linear); beyond baseline:\n"
                          "the slope of the ratio to the baseline, plus 1\n");
    out << QStringLiteral("  %1 %2 %3\n").arg(QStringLiteral("operation"), -44).arg(QStringLiteral("own"), 6).arg(QStringLiteral("beyond baseline"), 16);
    for (const Growth &g : exponents)
        out << QStringLiteral("  %1 %2 %3\n").arg(g.key, -44).arg(exponentText(g.exponent), 6).arg(exponentText(g.beyond), 16);

    out << QStringLiteral("\nGoals\n");
    int met = 0;
    for (const Goal &g : goalList) {
        met += g.met();
        out << QStringLiteral("  %1 %2  %3\n")
                   .arg(g.name, -70)
                   .arg(QString::number(g.value, 'f', 2), 6)
                   .arg(g.met() ? QStringLiteral("pass") : QStringLiteral("FAIL"));
    }
    out << QStringLiteral("%1 of %2 goals met\n").arg(met).arg(goalList.size());
}

QJsonObject timingJson(const Result &r)
{
    QJsonArray runs;
    for (double ns : r.timing.runsNs)
        runs.append(ns / r.callsPerRun);
    QJsonObject o{{QStringLiteral("family"), r.family},
                  {QStringLiteral("operation"), r.operation},
                  {QStringLiteral("size"), r.size},
                  {QStringLiteral("bytes"), double(r.bytes)},
                  {QStringLiteral("callsPerRun"), r.callsPerRun},
                  {QStringLiteral("firstNs"), r.firstNs()},
                  {QStringLiteral("medianNs"), r.medianNs()},
                  {QStringLiteral("minNs"), r.minimumNs()},
                  {QStringLiteral("runsNs"), runs}};
    if (!r.baselineName.isEmpty()) {
        o.insert(QStringLiteral("baseline"), r.baselineName);
        o.insert(QStringLiteral("baselineNs"), r.baselineNs);
        o.insert(QStringLiteral("ratio"), r.ratio());
    }
    if (r.peakBytes >= 0)
        o.insert(QStringLiteral("peakBytes"), double(r.peakBytes));
    return o;
}

bool writeJson(const QString &path, const Options &options, const QList<Result> &results,
               const QList<Growth> &exponents, const QList<Goal> &goalList)
{
    QJsonArray sizes, rs, gs, es;
    for (int s : options.sizes)
        sizes.append(s);
    for (const Result &r : results)
        rs.append(timingJson(r));
    auto number = [](double v) { return std::isnan(v) ? QJsonValue() : QJsonValue(v); };
    for (const Growth &g : exponents)
        es.append(QJsonObject{{QStringLiteral("operation"), g.key},
                              {QStringLiteral("exponent"), number(g.exponent)},
                              {QStringLiteral("beyondBaseline"), number(g.beyond)}});
    for (const Goal &g : goalList)
        gs.append(QJsonObject{{QStringLiteral("goal"), g.name}, {QStringLiteral("value"), g.value},
                              {QStringLiteral("limit"), g.limit}, {QStringLiteral("met"), g.met()}});
    const QJsonObject root{{QStringLiteral("qtVersion"), QString::fromLatin1(qVersion())},
                           {QStringLiteral("cpu"), QSysInfo::currentCpuArchitecture()},
                           {QStringLiteral("runs"), options.runs},
                           {QStringLiteral("sizes"), sizes},
                           {QStringLiteral("results"), rs},
                           {QStringLiteral("growth"), es},
                           {QStringLiteral("goals"), gs}};
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && file.write(QJsonDocument(root).toJson()) > 0;
}

// The library's developer diagnostics (a missing application library file)
// and Qt's notes about the display-less platform would interleave with the
// table; warnings of the library and of Qt's own code still show.
void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg || message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    // Text items measure with the font system; no display is needed for that.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Times the library's loads, saves and lookups on generated inputs at three sizes."));
    parser.addHelpOption();
    const QCommandLineOption quick(QStringLiteral("quick"), QStringLiteral("Small sizes (500, 2000, 8000)."));
    const QCommandLineOption sizes(QStringLiteral("sizes"), QStringLiteral("Comma-separated sizes (default 1000,10000,100000)."),
                                   QStringLiteral("list"));
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral("Timed runs after the warm-up (default 5)."),
                                  QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption only(QStringLiteral("only"),
                                  QStringLiteral("Comma-separated families: scene, definitions, csv, table, project, library, tool."),
                                  QStringLiteral("list"));
    const QCommandLineOption noMemory(QStringLiteral("no-memory"), QStringLiteral("Skip the peak memory measurements."));
    const QCommandLineOption keep(QStringLiteral("keep"), QStringLiteral("Generate the inputs in DIR and keep them."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Write the figures to FILE."), QStringLiteral("FILE"));
    parser.addOptions({quick, sizes, runs, only, noMemory, keep, json});
    // How the program runs one sample in a process of its own.
    QCommandLineOption sampleOp(QStringLiteral("sample"), QString(), QStringLiteral("operation"));
    QCommandLineOption input(QStringLiteral("input"), QString(), QStringLiteral("file"));
    QCommandLineOption output(QStringLiteral("output"), QString(), QStringLiteral("file"));
    QCommandLineOption warm(QStringLiteral("warm"), QString(), QStringLiteral("file"));
    QCommandLineOption cold(QStringLiteral("cold"), QString());
    for (QCommandLineOption *o : {&sampleOp, &input, &output, &warm, &cold}) {
        o->setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(*o);
    }
    parser.process(app);
    if (parser.isSet(sampleOp))
        return runSample({parser.value(sampleOp), parser.value(input), parser.value(warm), parser.value(output)},
                         parser.isSet(cold));

    Options options;
    QStringList sizeTexts = parser.isSet(sizes) ? parser.value(sizes).split(QLatin1Char(','), Qt::SkipEmptyParts)
                            : parser.isSet(quick) ? QStringList{QStringLiteral("500"), QStringLiteral("2000"), QStringLiteral("8000")}
                                                  : QStringList{QStringLiteral("1000"), QStringLiteral("10000"), QStringLiteral("100000")};
    for (const QString &s : sizeTexts) {
        bool ok = false;
        const int n = s.trimmed().toInt(&ok);
        if (!ok || n < 10) {
            std::fprintf(stderr, "zadururu-bench: a size must be a number of at least 10: %s\n", qPrintable(s));
            return 2;
        }
        options.sizes.append(n);
    }
    std::sort(options.sizes.begin(), options.sizes.end());
    bool runsOk = false;
    options.runs = parser.value(runs).toInt(&runsOk);
    if (!runsOk || options.runs < 1) {
        std::fprintf(stderr, "zadururu-bench: --runs needs a positive number\n");
        return 2;
    }
    options.memory = !parser.isSet(noMemory);
    options.json = parser.value(json);
    const QStringList all{QStringLiteral("scene"), QStringLiteral("definitions"), QStringLiteral("csv"), QStringLiteral("table"),
                          QStringLiteral("project"), QStringLiteral("library"), QStringLiteral("tool")};
    options.families = parser.isSet(only) ? parser.value(only).split(QLatin1Char(','), Qt::SkipEmptyParts) : all;
    for (const QString &f : options.families) {
        if (!all.contains(f)) {
            std::fprintf(stderr, "zadururu-bench: unknown family %s\n", qPrintable(f));
            return 2;
        }
    }

    QTemporaryDir temporary;
    const QString work = parser.isSet(keep) ? QDir(parser.value(keep)).absolutePath() : temporary.path();
    if (!(parser.isSet(keep) ? QDir().mkpath(work) : temporary.isValid())) {
        std::fprintf(stderr, "zadururu-bench: no directory for the inputs\n");
        return 2;
    }
    // Nothing the engine creates under the home directory reaches the real one.
    qputenv("HOME", work.toLocal8Bit());

    Runner bench(options, work);
    for (int n : qAsConst(options.sizes)) {
        std::fprintf(stderr, "size %d\n", n);
        for (const QString &f : qAsConst(options.families)) {
            if (f == QLatin1String("scene"))
                bench.scene(n);
            else if (f == QLatin1String("definitions"))
                bench.definitions(n);
            else if (f == QLatin1String("csv"))
                bench.csv(n);
            else if (f == QLatin1String("table"))
                bench.table(n);
            else if (f == QLatin1String("project"))
                bench.project(n);
            else if (f == QLatin1String("library"))
                bench.library(n);
        }
    }
    // The tool's goal is for one project size, whatever the sizes of the others.
    if (options.families.contains(QStringLiteral("tool"))) {
        std::fprintf(stderr, "project of 500 pages\n");
        bench.tool();
    }

    // Group the table by operation, sizes ascending within each.
    QList<Result> ordered;
    QStringList keys;
    for (const Result &r : bench.results()) {
        if (!keys.contains(r.key()))
            keys.append(r.key());
    }
    for (const QString &k : keys) {
        for (const Result &r : bench.results()) {
            if (r.key() == k)
                ordered.append(r);
        }
    }
    const auto exponents = growth(ordered);
    const QList<Goal> goalList = goals(ordered, options.sizes.last(), exponents);
    print(ordered, exponents, goalList);
    if (!options.json.isEmpty() && !writeJson(options.json, options, ordered, exponents, goalList)) {
        std::fprintf(stderr, "zadururu-bench: cannot write %s\n", qPrintable(options.json));
        return 2;
    }
    return bench.failed() ? 1 : 0;
}
