// Load, save, load again: the page read back from a file the library wrote
// must be the page that was written. Compared through the writer: the file
// written from the second load is byte for byte the file written from the first.
#include "fuzzSupport.h"

#include <zadururu/scene/scaFileProcessor.h>

namespace {

// Both saves go to the same path: a saved page records the path it was saved to.
QByteArray saved(ScaFileData *page)
{
    const QString path = Fuzz::scratchPath(QStringLiteral("page.xml"));
    if (!ScaFileProcessor::saveFileData(page, path))
        Fuzz::fail("a page could not be saved");
    return readAll(path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ScaFileData *first = ScaFileProcessor::loadFileData(Fuzz::bytes(data, size), QStringLiteral("fuzz.xml"));
    if (!first)
        return 0;
    const QByteArray firstFile = saved(first);
    destroyScaFileData(first);

    ScaFileData *second = ScaFileProcessor::loadFileData(firstFile, QStringLiteral("page.xml"));
    if (!second)
        Fuzz::fail("a page the library wrote does not load", firstFile);
    const QByteArray secondFile = saved(second);
    destroyScaFileData(second);

    if (secondFile != firstFile)
        Fuzz::fail("the page changed on its way through a file", firstFile + "\n----\n" + secondFile);
    return 0;
}
