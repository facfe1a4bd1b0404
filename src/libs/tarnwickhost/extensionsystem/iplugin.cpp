#include "iplugin.h"

namespace ExtensionSystem {

IPlugin::IPlugin() = default;
IPlugin::~IPlugin() = default;

bool IPlugin::delayedInitialize()
{
    return false;
}

IPlugin::ShutdownFlag IPlugin::aboutToShutdown()
{
    return SynchronousShutdown;
}

QObject *IPlugin::remoteCommand(const QStringList &, const QStringList &)
{
    return nullptr;
}

} // namespace ExtensionSystem
