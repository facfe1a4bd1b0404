// A scene file's bytes into the page properties alone.
#include "fuzzSupport.h"

#include <zadururu/scene/scaFileProcessor.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    delete ScaFileProcessor::loadSceneData(Fuzz::bytes(data, size));
    return 0;
}
