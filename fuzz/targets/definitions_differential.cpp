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
    const QList<QStringList> records = recordValues(*loaded);
    const QList<QStringList> expected = recordValues(*reference);
    if (records != expected) {
        int i = 0;
        while (i < qMin(records.size(), expected.size()) && records.at(i) == expected.at(i))
            ++i;
        Fuzz::fail("the reader and the document tree give different records",
                   QStringLiteral("%1 and %2 records; record %3:\n%4\n----\n%5")
                       .arg(records.size()).arg(expected.size()).arg(i)
                       .arg(records.value(i).join('|'), expected.value(i).join('|')).toUtf8());
    }
    if (Fuzz::writtenDefinitions(loaded, QStringLiteral("loaded.xml"))
        != Fuzz::writtenDefinitions(reference, QStringLiteral("reference.xml")))
        Fuzz::fail("the records of the two readers are written differently");
    destroyFileDataTree(loaded);
    destroyFileDataTree(reference);
    return 0;
}
