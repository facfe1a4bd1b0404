#pragma once

#include <tarnwickhost/tarnwickhost_export.h>

#include <QObject>
#include <QStringList>

namespace ExtensionSystem {

/**
 * The interface every plugin of the host editor implements. The host's plugin
 * manager creates the plugin object through Qt's plugin loader, then calls
 * initialize() and extensionsInitialized() in dependency order, and finally
 * delayedInitialize() once the event loop runs.
 */
class TARNWICKHOST_EXPORT IPlugin : public QObject
{
    Q_OBJECT
public:
    enum ShutdownFlag { SynchronousShutdown, AsynchronousShutdown };

    IPlugin();
    ~IPlugin() override;

    /// Called after the plugin is loaded; returns false and sets @p errorString on failure.
    virtual bool initialize(const QStringList &arguments, QString *errorString) = 0;
    /// Called after every plugin it depends on has been initialised.
    virtual void extensionsInitialized() = 0;
    /// Called once the host's event loop runs; returns whether work was done.
    virtual bool delayedInitialize();
    /// Called before the plugin is destroyed.
    virtual ShutdownFlag aboutToShutdown();
    /// Handles a command that a second instance of the host passed on.
    virtual QObject *remoteCommand(const QStringList &options, const QStringList &arguments);

Q_SIGNALS:
    void asynchronousShutdownFinished();
};

} // namespace ExtensionSystem
