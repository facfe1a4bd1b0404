#pragma once

// A host plugin: the host's plugin manager creates it through Qt's plugin
// loader, like every plugin of the editor. It stays thin; TagUsage does the work.

#include <tarnwickhost/extensionsystem/iplugin.h>

class TagUsage;

class TagUsagePlugin : public ExtensionSystem::IPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.TarnwickPlugin" FILE "tagUsagePlugin.json")

public:
    TagUsagePlugin();
    ~TagUsagePlugin() override;

    // Takes the project folder from the arguments "-project DIR".
    bool initialize(const QStringList &arguments, QString *errorString) override;
    // Every plugin is initialised by now: open the project and report.
    void extensionsInitialized() override;
    ShutdownFlag aboutToShutdown() override;

private:
    QString m_project;
    TagUsage *m_usage = nullptr;
};
