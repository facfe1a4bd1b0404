#pragma once

/**
 * @file zadururuPlugin.h
 * @brief The plugin object the host editor creates (ZadUruruPlugin).
 */

#include <zadururu/zadururu_export.h>
#include <tarnwickhost/extensionsystem/iplugin.h>

class ZadUruruPluginPrivate;

/**
 * The object the host editor's plugin manager creates when it loads the
 * library (interface id "org.qt-project.Qt.TarnwickPlugin", category
 * "Tarnwick"). It does no work of its own: the library's services are
 * reached through their own classes and singletons, which exist from their
 * first use, whether or not the plugin object does.
 *
 * Its private slots `about()` (a modal box "ZadUruruPlugin Hakkinda" over the
 * host's main window) and `objectAdded(QObject*)` (nothing) can be invoked
 * through the meta-object; the library connects neither.
 */
class ZADURURU_EXPORT ZadUruruPlugin : public ExtensionSystem::IPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.TarnwickPlugin" FILE "zadururu.json")

public:
    /// Creates the plugin object and makes it the one instance() returns.
    ZadUruruPlugin();
    /// instance() returns null afterwards.
    ~ZadUruruPlugin() override;

    /// The plugin object, or null before it is created and after it is destroyed.
    static ZadUruruPlugin *instance();

    /**
     * Always succeeds and never writes @p errorString; @p arguments are not
     * used. Without a host core object (Core::ICore::instance()) it reports a
     * soft assertion (Utils::writeAssertLocation()) and still succeeds.
     */
    bool initialize(const QStringList &arguments, QString *errorString) override;
    /// Does nothing.
    void extensionsInitialized() override;
    /// Does nothing (not the host's aboutToShutdown(), which keeps the base class's answer).
    void shutdown();

private Q_SLOTS:
    void about();
    void objectAdded(QObject *obj);

private:
    ZadUruruPluginPrivate *d;
    static ZadUruruPlugin *theInstance;
};
