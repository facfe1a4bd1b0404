// Both definitions readers on the same bytes: the one the library loads with
// and the document tree it is checked against must give the same records,
// field for field, and the tree writer the same bytes from them.
#include "definitionsRecords.h"
#include "fuzzSupport.h"

#include <zadururu/definitions/definitionsLoad_p.h>
#include <zadururu/definitions/tgchFileProcessor.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::bytes(data, size);
    FileDataTree *loaded = TgchFileProcessor::loadFileData(bytes);
    FileDataTree *reference = ZadUruru::readDefinitionsThroughDom(bytes);
    const auto lines = [](const QList<QStringList> &records) {
        QStringList out;
        for (const QStringList &record : records)
            out << record.join('|');
        return out;
    };
    Fuzz::compareRecords(lines(recordValues(*loaded)), lines(recordValues(*reference)));
    if (Fuzz::writtenDefinitions(loaded, QStringLiteral("loaded.xml"))
        != Fuzz::writtenDefinitions(reference, QStringLiteral("reference.xml")))
        Fuzz::fail("the records of the two readers are written differently");
    destroyFileDataTree(loaded);
    destroyFileDataTree(reference);
    return 0;
}
