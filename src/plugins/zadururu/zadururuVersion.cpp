#include <zadururu/zadururu_version.h>

// The library's own copy of the numbers: a plugin compiled against other
// headers sees its macros, and these, which come from the library it runs with.
unsigned int ZadUruru::version()
{
    return ZADURURU_VERSION;
}

const char *ZadUruru::versionString()
{
    return ZADURURU_VERSION_STRING;
}
