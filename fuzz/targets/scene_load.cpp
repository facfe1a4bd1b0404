// A scene file's bytes into the whole page: every item kind and the page properties.
#include "fuzzSupport.h"

#include <zadururu/scene/scaFileProcessor.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    destroyScaFileData(ScaFileProcessor::loadFileData(Fuzz::bytes(data, size), QStringLiteral("fuzz.xml")));
    return 0;
}
