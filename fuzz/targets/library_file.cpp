// The same bytes read as a component library file and as a user library file.
#include "fuzzSupport.h"

#include <zadururu/library/scadaEngine.h>

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content = Fuzz::bytes(data, size);
    // A fresh engine per input, so that one input's records and ids do not
    // change what the next one does. Its start-up finds no library files.
    ScadaEngine engine;
    QDir().mkpath(Fuzz::scratchPath(QStringLiteral("scdLib")));
    engine.readLibDir(Fuzz::writeScratchFile(QStringLiteral("scdLib/objlib.xml"), content));
    engine.readLibDir(Fuzz::writeScratchFile(QStringLiteral("userlib.xml"), content));
    for (ScadaLibObject *object : engine.getLibraryObjectList())
        if (object->isUserObject)
            Fuzz::fail("a component library record marked as a user record");
    for (ScadaLibObject *object : engine.getUserObjectList())
        if (!object->isUserObject)
            Fuzz::fail("a user library record not marked as one");
    if (engine.getLibraryObjectList().size() != engine.getUserObjectList().size())
        Fuzz::fail("the same bytes gave a different number of records");
    // The engine never deletes its records; here nothing else holds them.
    qDeleteAll(engine.getLibraryObjectList());
    qDeleteAll(engine.getUserObjectList());
    return 0;
}
