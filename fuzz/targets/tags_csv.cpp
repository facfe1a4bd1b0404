// A tag list for import, read from a file as the editor reads it.
#include "fuzzSupport.h"

#include <zadururu/definitions/tgchFileProcessor.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = Fuzz::writeScratchFile(QStringLiteral("tags.csv"), Fuzz::bytes(data, size));
    FileDataTree *tree = TgchFileProcessor::loadTagsFromCSV(path);
    if (!tree)
        Fuzz::fail("a readable tag list gives a tree");
    destroyFileDataTree(tree);
    return 0;
}
