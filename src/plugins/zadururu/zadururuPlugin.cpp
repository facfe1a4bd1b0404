#include "zadururuPlugin.h"
#include "zadururuPlugin_p.h"

#include <tarnwickhost/coreplugin/icore.h>
#include <tarnwickhost/utils/qtassert.h>

#include <QMessageBox>

// The host reports soft assertions by source file and line.
#define ZADURURU_PLUGIN_ASSERT(cond, action) \
    TARNWICK_ASSERT_AT(cond, "src/plugins/zadururu/zadururuPlugin.cpp", __LINE__, action)

ZadUruruPlugin *ZadUruruPlugin::theInstance = nullptr;

ZadUruruPlugin::ZadUruruPlugin()
    : d(new ZadUruruPluginPrivate(this))
{
    theInstance = this;
}

// The companion has no QObject parent; it goes with the plugin object.
ZadUruruPlugin::~ZadUruruPlugin()
{
    theInstance = nullptr;
    delete d;
}

ZadUruruPlugin *ZadUruruPlugin::instance()
{
    return theInstance;
}

void ZadUruruPlugin::extensionsInitialized()
{
}

void ZadUruruPlugin::shutdown()
{
}

void ZadUruruPlugin::objectAdded(QObject *)
{
}

// Nothing here can fail: the arguments are not used and the error string is
// never written. Without a host core object the plugin still loads.
bool ZadUruruPlugin::initialize(const QStringList &, QString *)
{
    Core::ICore *core = Core::ICore::instance();
    ZADURURU_PLUGIN_ASSERT(core, (void)0);
    return true;
}

void ZadUruruPlugin::about()
{
    QMessageBox::information(Core::ICore::mainWindow(),
                             tr("ZadUruruPlugin Hakkinda"),
                             tr("ZadUruruPlugin"),
                             QMessageBox::Ok, QMessageBox::NoButton);
}
