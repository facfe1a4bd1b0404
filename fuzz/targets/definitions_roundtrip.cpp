// Load, write, load again: the definitions read back from a file the library
// wrote must be the ones written. Compared through the tree writer: the file
// written from the second load is byte for byte the file written from the first,
// once the first load has taken its one stated loss: PollFrequency and
// VariableSize are written as signed numbers but read as unsigned ones, so a
// negative one (a value past the largest int in the file) comes back as 0.
#include "fuzzSupport.h"

#include <zadururu/definitions/tgchFileProcessor.h>

#include <algorithm>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FileDataTree *first = TgchFileProcessor::loadFileData(Fuzz::bytes(data, size));
    for (pEtiketDef_t *tag : qAsConst(first->tags)) {
        tag->PollFrequency = std::max(tag->PollFrequency, 0);
        tag->VariableSize = std::max(tag->VariableSize, 0);
    }
    const QByteArray firstFile = Fuzz::writtenDefinitions(first, QStringLiteral("first.xml"));
    const int firstCounts[] = {first->channels.size(), first->tags.size(), first->alarms.size()};
    destroyFileDataTree(first);

    FileDataTree *second = TgchFileProcessor::loadFileData(firstFile);
    const int secondCounts[] = {second->channels.size(), second->tags.size(), second->alarms.size()};
    const QByteArray secondFile = Fuzz::writtenDefinitions(second, QStringLiteral("second.xml"));
    destroyFileDataTree(second);

    if (!std::equal(std::begin(firstCounts), std::end(firstCounts), std::begin(secondCounts)))
        Fuzz::fail("records were lost or gained on the way through a file", firstFile);
    if (secondFile != firstFile)
        Fuzz::fail("the definitions changed on their way through a file", firstFile + "\n----\n" + secondFile);
    return 0;
}
