#pragma once

#include <zadururu/zadururu_export.h>
#include <tarnwickhost/extensionsystem/iplugin.h>

class ZadUruruPluginPrivate;

/**
 * The object the host editor's plugin manager creates when it loads the
 * library. It does no work of its own: the library's services are reached
 * through their own classes and singletons.
 */
class ZADURURU_EXPORT ZadUruruPlugin : public ExtensionSystem::IPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.TarnwickPlugin" FILE "zadururu.json")

public:
    ZadUruruPlugin();
    ~ZadUruruPlugin() override;

    /// The plugin object, or null before it is created and after it is destroyed.
    static ZadUruruPlugin *instance();

    /// Always succeeds; a missing host core object is reported as a soft assertion.
    bool initialize(const QStringList &arguments, QString *errorString) override;
    void extensionsInitialized() override;
    void shutdown();

private Q_SLOTS:
    /// Shows the modal about box over the host's main window.
    void about();
    void objectAdded(QObject *obj);

private:
    ZadUruruPluginPrivate *d;
    static ZadUruruPlugin *theInstance;
};
