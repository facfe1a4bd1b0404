// rename-tag, format, import-csv, check and xref started at once on one
// project, at random offsets, some of them killed: after every round each
// file is whole, the rename happened wholly or not at all, and every command
// that reported success did what it said.

#include "../common/sanitizers.h"
#include "../common/sceneRecords.h"
#include "../common/toolProcess.h"

#include "pageTags.h"

#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <memory>
#include <random>

namespace {

using PagePointer = std::unique_ptr<ScaFileData, void (*)(ScaFileData *)>;

PagePointer loadPage(const QString &path)
{
    return PagePointer(ScaFileProcessor::loadFileData(readAll(path), QString()), destroyScaFileData);
}

// Where a project stands: its tag count and which of the two ids tag "Pump_10" has, everywhere.
struct State
{
    bool whole = true;     ///< every file loads
    QString problem;       ///< why not, or why the rename is half done
    int tags = 0;
    int renamed = -1;      ///< 0: id 10 everywhere, 1: id 900 everywhere, -1: mixed
};

State stateOf(const QString &project)
{
    State state;
    int bound[2] = {0, 0};
    for (const QString &file : QDir(project + "/pages").entryList({"*.xml"}, QDir::Files)) {
        const PagePointer page = loadPage(project + "/pages/" + file);
        if (!page) {
            state.whole = false;
            state.problem = file + " does not load";
            return state;
        }
        const QList<int> ids = boundTagIds(*page);
        bound[0] += ids.count(10);
        bound[1] += ids.count(900);
    }
    const QByteArray bytes = readAll(project + "/definitions.xml");
    if (!bytes.contains("</CTDefinitions>")) {
        state.whole = false;
        state.problem = "definitions.xml is cut";
        return state;
    }
    FileDataTree *tree = TgchFileProcessor::loadFileData(bytes);
    state.tags = tree->tags.size();
    int defined[2] = {0, 0};
    for (const pEtiketDef_t *tag : tree->tags)
        if (tag->Name == "Pump_10")
            ++defined[tag->Id == 900];
    destroyFileDataTree(tree);
    if (defined[0] + defined[1] == 1 && bound[!defined[1]] == 0 && bound[defined[1]] > 0)
        state.renamed = defined[1];
    else
        state.problem = QStringLiteral("tag Pump_10 defined as 10: %1, as 900: %2; bindings of 10: %3, of 900: %4")
                            .arg(defined[0]).arg(defined[1]).arg(bound[0]).arg(bound[1]);
    return state;
}

struct Run
{
    QString name;
    QStringList arguments;
    QProcess *process = nullptr;
    int startMs = 0;
    int killMs = -1; ///< when to kill it, or -1
    bool killed = false;
    int exitCode = -1;
    QString out, err;

    Run(const QString &name, const QStringList &arguments)
        : name(name)
        , arguments(arguments)
    {
    }
};

} // namespace

class TestConcurrentRuns : public QObject
{
    Q_OBJECT
private slots:
    void atOnce()
    {
        QTemporaryDir dir(QFileInfo("/dev/shm").isWritable() ? "/dev/shm/zadururu-stress-XXXXXX" : QString());
        const QString project = manyPagesCopy(dir.path());
        QVERIFY(!project.isEmpty());
        const QString formatted = project + "/pages/p07.xml";

        const unsigned seed = qEnvironmentVariableIsSet("ZADURURU_STRESS_SEED") ? qEnvironmentVariableIntValue("ZADURURU_STRESS_SEED") : 23u;
        std::mt19937 random(seed);
        const int rounds = qEnvironmentVariableIsSet("ZADURURU_STRESS_ROUNDS") ? qEnvironmentVariableIntValue("ZADURURU_STRESS_ROUNDS")
                                                                                : underAddressSanitizer ? 6 : 24;
        QElapsedTimer total;
        total.start();
        int kills = 0, renames = 0, imports = 0;
        for (int round = 0; round < rounds && total.elapsed() < 120000; ++round) {
            const State before = stateOf(project);
            QVERIFY2(before.whole && before.renamed >= 0, qPrintable(before.problem));
            const PagePointer formattedBefore = loadPage(formatted);
            const QString wait = "--wait";
            // The import matches tags by name: each round's list names new ones.
            const QString list = dir.filePath(QStringLiteral("tags-%1.csv").arg(round));
            QByteArrayList lines = readAll(example("plant/tags.csv")).split('\n');
            for (QByteArray &line : lines) {
                QByteArrayList fields = line.split(';');
                if (fields.size() == 4)
                    line = (fields.mid(0, 2) + QByteArrayList{fields.at(2) + " r" + QByteArray::number(round), fields.at(3)}).join(';');
            }
            QVERIFY(writeAll(list, lines.join('\n')));
            QList<Run> runs{
                {"rename-tag", {"rename-tag", project, "--id", before.renamed ? "900" : "10", "--to", before.renamed ? "10" : "900", wait, "60"}},
                {"format", {"format", formatted, wait, "60"}},
                {"import-csv", {"import-csv", list, "--into", project + "/definitions.xml", wait, "60"}},
                {"check", {"check", "--json", project, wait, "60"}},
                {"xref", {"xref", "--json", project, wait, "60"}},
            };
            std::uniform_int_distribution<int> offset(0, 400);
            for (Run &run : runs) {
                run.startMs = offset(random);
                // About one run in four is killed, at a moment within its likely lifetime.
                if (std::uniform_int_distribution<int>(0, 3)(random) == 0)
                    run.killMs = run.startMs + std::uniform_int_distribution<int>(0, 900)(random);
            }
            QElapsedTimer timer;
            timer.start();
            std::vector<std::unique_ptr<QProcess>> processes;
            for (;;) {
                bool busy = false;
                for (Run &run : runs) {
                    if (!run.process && timer.elapsed() >= run.startMs) {
                        processes.emplace_back(new QProcess);
                        run.process = processes.back().get();
                        run.process->start(ZADURURU_TOOL, run.arguments);
                    }
                    if (run.process && run.killMs >= 0 && !run.killed && timer.elapsed() >= run.killMs
                        && run.process->state() != QProcess::NotRunning) {
                        run.process->kill();
                        run.killed = true;
                        ++kills;
                    }
                    busy = busy || !run.process || run.process->state() != QProcess::NotRunning;
                }
                if (!busy)
                    break;
                QVERIFY2(timer.elapsed() < 60000, "a round took over a minute");
                for (auto &process : processes)
                    process->waitForFinished(5);
            }
            for (Run &run : runs) {
                run.process->waitForFinished();
                run.exitCode = run.process->exitStatus() == QProcess::NormalExit ? run.process->exitCode() : -1;
                run.out = QString::fromUtf8(run.process->readAllStandardOutput());
                run.err = QString::fromUtf8(run.process->readAllStandardError());
                const QString context = QStringLiteral("seed %1 (ZADURURU_STRESS_SEED), round %2: %3 %4 exited %5: %6")
                                            .arg(seed).arg(round).arg(run.name, run.killed ? "(killed)" : "")
                                            .arg(run.exitCode).arg(run.err);
                // A run that was not killed succeeds (check finds the repeated
                // names of the imports, and says so with 1).
                if (!run.killed)
                    QVERIFY2(run.exitCode == 0 || (run.name == "check" && run.exitCode == 1), qPrintable(context));
                // What a reading run saw was one whole state: every file read, no binding of a tag the definitions lack.
                if (run.exitCode >= 0 && (run.name == "check" || run.name == "xref")) {
                    const QJsonObject report = QJsonDocument::fromJson(run.out.toUtf8()).object();
                    QVERIFY2(!report.isEmpty(), qPrintable(context));
                    QVERIFY2(!run.out.contains("well-formed") && !run.err.contains("well-formed"), qPrintable(context + run.out));
                    if (run.name == "xref")
                        QVERIFY2(report.value("undefined").toArray().isEmpty(), qPrintable(context + run.out));
                }
            }

            // The next run finishes or undoes what a kill left.
            const ToolRun next = tool({"xref", project, "Pump_10"});
            QCOMPARE(next.exitCode, 0);
            const State after = stateOf(project);
            const QString context = QStringLiteral("seed %1 (ZADURURU_STRESS_SEED), round %2: %3").arg(seed).arg(round).arg(after.problem);
            QVERIFY2(after.whole && after.renamed >= 0, qPrintable(context));
            const Run &rename = runs.at(0), &import = runs.at(2);
            if (rename.exitCode == 0)
                QVERIFY2(after.renamed != before.renamed, qPrintable(context + ": the rename said it renamed"));
            else if (!rename.killed)
                QCOMPARE(after.renamed, before.renamed);
            renames += after.renamed != before.renamed;
            if (import.exitCode == 0)
                QVERIFY2(after.tags == before.tags + 12, qPrintable(context + ": the import said it added 12 tags"));
            else
                QVERIFY2(after.tags == before.tags || after.tags == before.tags + 12, qPrintable(context));
            imports += after.tags != before.tags;
            // Formatting keeps the records of the page, whatever else happened to it.
            const PagePointer formattedAfter = loadPage(formatted);
            QVERIFY(formattedAfter);
            if (after.renamed != before.renamed)
                rebindTag(*formattedAfter, after.renamed ? 900 : 10, after.renamed ? 10 : 900);
            // (The list of label bindings is made by the reader and not rebound: the components show them.)
            const auto records = [](const ScaFileData &page) { return sceneRecords(page).filter(QRegularExpression("^(?!labelTagIds)")); };
            QCOMPARE(records(*formattedAfter), records(*formattedBefore));
        }
        qInfo("%d kills; %d renames and %d imports took effect", kills, renames, imports);
        QVERIFY(renames > 0);
        QVERIFY(imports > 0);
    }
};

// A GUI application measures text items without a stored size as the tool does.
QTEST_MAIN(TestConcurrentRuns)
#include "tst_concurrentRuns.moc"
