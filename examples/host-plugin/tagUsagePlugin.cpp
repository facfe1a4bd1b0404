#include "tagUsagePlugin.h"

#include "tagUsage.h"

#include <QDir>

TagUsagePlugin::TagUsagePlugin() = default;

// The QObject parent frees the TagUsage, and with it the project's records.
TagUsagePlugin::~TagUsagePlugin() = default;

bool TagUsagePlugin::initialize(const QStringList &arguments, QString *errorString)
{
    const int at = arguments.indexOf(QStringLiteral("-project"));
    m_project = arguments.value(at + 1);
    if (at < 0 || !QDir(m_project).exists()) {
        if (errorString)
            *errorString = tr("TagUsage needs the project folder: -project DIR");
        return false;
    }
    m_usage = new TagUsage(this);
    return true;
}

// A plugin whose initialize() failed is not called again, but stays safe if it is.
void TagUsagePlugin::extensionsInitialized()
{
    if (!m_usage)
        return;
    m_usage->open(m_project);
    m_usage->report();
}

ExtensionSystem::IPlugin::ShutdownFlag TagUsagePlugin::aboutToShutdown()
{
    if (m_usage)
        m_usage->close();
    return SynchronousShutdown;
}
