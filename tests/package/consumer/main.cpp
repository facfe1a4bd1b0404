// A host program's view of the installed package: headers, the imported
// target, the exported classes, and the version of the library it runs with.
#include <zadururu/zadururuPlugin.h>
#include <zadururu/zadururu_version.h>

#include <QApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ZadUruruPlugin plugin;
    if (ZadUruruPlugin::instance() != &plugin || !plugin.initialize({}, nullptr))
        return 1;
    // The installed headers and the installed library agree.
    if (ZadUruru::version() != ZADURURU_VERSION || std::strcmp(ZadUruru::versionString(), ZADURURU_VERSION_STRING))
        return 1;
    std::printf("consumer ok, libzadururu %s\n", ZadUruru::versionString());
    return 0;
}
