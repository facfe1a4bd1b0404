// Load, save, load again: the page read back from a file the library wrote
// must be the page that was written. Compared through the writer: the file
// written from the second load is byte for byte the file written from the first.
#include "fuzzSupport.h"

#include <zadururu/scene/scaFileProcessor.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ScaFileData *first = ScaFileProcessor::loadFileData(Fuzz::bytes(data, size), QStringLiteral("fuzz.xml"));
    if (!first)
        return 0;
    // Both saves go to the same path: a saved page records the path it was saved to.
    const QByteArray firstFile = Fuzz::savedScene(first, QStringLiteral("page.xml"));
    destroyScaFileData(first);

    ScaFileData *second = ScaFileProcessor::loadFileData(firstFile, QStringLiteral("page.xml"));
    if (!second)
        Fuzz::fail("a page the library wrote does not load", firstFile);
    const QByteArray secondFile = Fuzz::savedScene(second, QStringLiteral("page.xml"));
    destroyScaFileData(second);

    if (secondFile != firstFile)
        Fuzz::fail("the page changed on its way through a file", firstFile + "\n----\n" + secondFile);
    return 0;
}
