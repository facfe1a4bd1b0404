#pragma once

/**
 * @file iplugin.h
 * @brief The interface of every plugin of the host (ExtensionSystem::IPlugin).
 */

#include <tarnwickhost/tarnwickhost_export.h>

#include <QObject>
#include <QStringList>

/// The host editor's plugin framework.
namespace ExtensionSystem {

/**
 * The interface every plugin of the host editor implements. The host's
 * plugin manager creates the plugin object through Qt's plugin loader (the
 * plugin declares the interface id "org.qt-project.Qt.TarnwickPlugin" with
 * Q_PLUGIN_METADATA), then calls initialize() and extensionsInitialized() in
 * dependency order, delayedInitialize() once the event loop runs, and
 * aboutToShutdown() before it destroys the plugin.
 */
class TARNWICKHOST_EXPORT IPlugin : public QObject
{
    Q_OBJECT
public:
    /// How a plugin shuts down (aboutToShutdown()).
    enum ShutdownFlag {
        SynchronousShutdown,  ///< done when aboutToShutdown() returns
        AsynchronousShutdown, ///< done later: the plugin emits asynchronousShutdownFinished()
    };

    /// Constructs the plugin object; the host's plugin manager does, through Qt's plugin loader.
    IPlugin();
    /// Destroys the plugin object, after aboutToShutdown().
    ~IPlugin() override;

    /// Called after the plugin is loaded; returns false and sets @p errorString on failure.
    virtual bool initialize(const QStringList &arguments, QString *errorString) = 0;
    /// Called after every plugin it depends on has been initialised.
    virtual void extensionsInitialized() = 0;
    /// Called once the host's event loop runs; returns whether work was done. By default false.
    virtual bool delayedInitialize();
    /// Called before the plugin is destroyed. By default SynchronousShutdown.
    virtual ShutdownFlag aboutToShutdown();
    /// Handles a command that a second instance of the host passed on. By default nothing (null).
    virtual QObject *remoteCommand(const QStringList &options, const QStringList &arguments);

Q_SIGNALS:
    /// A plugin that answered AsynchronousShutdown emits this when it is done.
    void asynchronousShutdownFinished();
};

} // namespace ExtensionSystem
