// Both library readers on the same bytes: the one the engine loads with and
// the document tree it is checked against must take or refuse the file
// alike and give the same records, field for field.
#include "fuzzSupport.h"
#include "libraryRecords.h"

#include <zadururu/library/libraryLoad_p.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::bytes(data, size);
    QList<ScadaLibObject *> loaded;
    QList<ScadaLibObject *> reference;
    const bool read = ZadUruru::readLibrary(bytes, &loaded);
    if (read != ZadUruru::readLibraryThroughDom(bytes, &reference))
        Fuzz::fail(read ? "the reader takes a file the document tree refuses"
                        : "the reader refuses a file the document tree takes");
    Fuzz::compareRecords(libraryRecords(loaded), libraryRecords(reference));
    qDeleteAll(loaded);
    qDeleteAll(reference);
    return 0;
}
