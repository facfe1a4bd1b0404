// A host plugin's view of the installed package: headers, the imported
// target, and the exported classes.
#include <zadururu/zadururuPlugin.h>

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ZadUruruPlugin plugin;
    if (ZadUruruPlugin::instance() != &plugin || !plugin.initialize({}, nullptr))
        return 1;
    std::puts("consumer ok");
    return 0;
}
