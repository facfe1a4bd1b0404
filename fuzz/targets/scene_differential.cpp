// Both scene readers on the same bytes: the one the library loads with and
// the document tree it is checked against must give the same records, field
// for field, for the whole page and for the page properties alone, and the
// scene writer the same bytes from them.
#include "fuzzSupport.h"
#include "sceneRecords.h"

#include <zadururu/scene/sceneLoad_p.h>
#include <zadururu/scene/scaFileProcessor.h>

namespace {

QByteArray saved(ScaFileData *page)
{
    const QString path = Fuzz::scratchPath(QStringLiteral("page.xml"));
    if (!ScaFileProcessor::saveFileData(page, path))
        Fuzz::fail("a page could not be saved");
    return readAll(path);
}

void compare(const QStringList &records, const QStringList &expected)
{
    if (records == expected)
        return;
    int i = 0;
    while (i < qMin(records.size(), expected.size()) && records.at(i) == expected.at(i))
        ++i;
    Fuzz::fail("the reader and the document tree give different records",
               QStringLiteral("%1 and %2 records; record %3:\n%4\n----\n%5")
                   .arg(records.size()).arg(expected.size()).arg(i)
                   .arg(records.value(i), expected.value(i)).toUtf8());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::bytes(data, size);
    const QString fileName = size % 2 ? QStringLiteral("fuzz.xml") : QString();

    ScaFileData *loaded = ScaFileProcessor::loadFileData(bytes, fileName);
    ScaFileData *reference = ZadUruru::readSceneThroughDom(bytes, fileName);
    if (!loaded != !reference)
        Fuzz::fail(loaded ? "the reader takes a page the document tree refuses"
                          : "the reader refuses a page the document tree takes");
    if (loaded) {
        compare(sceneRecords(*loaded), sceneRecords(*reference));
        if (saved(loaded) != saved(reference))
            Fuzz::fail("the records of the two readers are written differently");
    }
    destroyScaFileData(loaded);
    destroyScaFileData(reference);

    PagePropertiesData_t *page = ScaFileProcessor::loadSceneData(bytes);
    PagePropertiesData_t *pageReference = ZadUruru::readScenePropertiesThroughDom(bytes);
    if (!page != !pageReference)
        Fuzz::fail("the page property readers disagree on whether the page loads");
    if (page)
        compare({fields(*page)}, {fields(*pageReference)});
    delete page;
    delete pageReference;
    return 0;
}
