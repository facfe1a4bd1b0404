// Both scene readers on the same bytes: the one the library loads with and
// the document tree it is checked against must give the same records, field
// for field, for the whole page and for the page properties alone, and the
// scene writer the same bytes from them.
#include "fuzzSupport.h"
#include "sceneRecords.h"

#include <zadururu/scene/sceneLoad_p.h>
#include <zadururu/scene/scaFileProcessor.h>

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
        Fuzz::compareRecords(sceneRecords(*loaded), sceneRecords(*reference));
        // Both saves go to the same path: a saved page records the path it was saved to.
        if (Fuzz::savedScene(loaded, QStringLiteral("page.xml")) != Fuzz::savedScene(reference, QStringLiteral("page.xml")))
            Fuzz::fail("the records of the two readers are written differently");
    }
    destroyScaFileData(loaded);
    destroyScaFileData(reference);

    PagePropertiesData_t *page = ScaFileProcessor::loadSceneData(bytes);
    PagePropertiesData_t *pageReference = ZadUruru::readScenePropertiesThroughDom(bytes);
    if (!page != !pageReference)
        Fuzz::fail("the page property readers disagree on whether the page loads");
    if (page)
        Fuzz::compareRecords({fields(*page)}, {fields(*pageReference)});
    delete page;
    delete pageReference;
    return 0;
}
