// A definitions file's bytes into channels, tags and alarms.
#include "fuzzSupport.h"

#include <zadururu/definitions/tgchFileProcessor.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FileDataTree *tree = TgchFileProcessor::loadFileData(Fuzz::bytes(data, size));
    if (!tree || tree->channels.isEmpty())
        Fuzz::fail("a definitions tree always holds the \"None\" channel");
    destroyFileDataTree(tree);
    return 0;
}
