#include "fuzzSupport.h"

#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

QTemporaryDir *scratchDir = nullptr;

void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    // The readers report every odd field on the debug output; with thousands
    // of inputs a second that is noise. Warnings and worse still show.
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    scratchDir = new QTemporaryDir(base + QStringLiteral("/zadururu-fuzz-XXXXXX"));
    if (!scratchDir->isValid())
        Fuzz::fail("no scratch directory");
    // The component library engine reads and creates folders under the home directory.
    qputenv("HOME", QFile::encodeName(scratchDir->path()));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
    // libFuzzer's own options stay away from Qt's argument parsing.
    static int applicationArgc = 1;
    static char *applicationArgv[] = {(*argv)[0], nullptr};
    new QApplication(applicationArgc, applicationArgv);
    return 0;
}

namespace Fuzz {

QString scratchPath(const QString &fileName)
{
    return scratchDir->filePath(fileName);
}

QString writeScratchFile(const QString &fileName, const QByteArray &content)
{
    const QString path = scratchPath(fileName);
    if (!writeAll(path, content))
        fail("cannot write a scratch file", path.toLocal8Bit());
    return path;
}

QByteArray writtenDefinitions(FileDataTree *tree, const QString &fileName)
{
    const QString path = scratchPath(fileName);
    if (!TgchFileProcessor::writeToFile(tree, path))
        fail("definitions could not be written");
    return readAll(path);
}

QByteArray savedScene(ScaFileData *page, const QString &fileName)
{
    const QString path = scratchPath(fileName);
    if (!ScaFileProcessor::saveFileData(page, path))
        fail("a page could not be saved");
    return readAll(path);
}

void compareRecords(const QStringList &records, const QStringList &expected)
{
    if (records == expected)
        return;
    int i = 0;
    while (i < qMin(records.size(), expected.size()) && records.at(i) == expected.at(i))
        ++i;
    fail("the reader and the document tree give different records",
         QStringLiteral("%1 and %2 records; record %3:\n%4\n----\n%5")
             .arg(records.size()).arg(expected.size()).arg(i)
             .arg(records.value(i), expected.value(i)).toUtf8());
}

void fail(const char *what, const QByteArray &detail)
{
    std::fprintf(stderr, "FUZZ FAILURE: %s\n%s\n", what, detail.constData());
    std::abort();
}

} // namespace Fuzz
