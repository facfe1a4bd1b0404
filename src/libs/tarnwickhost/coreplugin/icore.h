#pragma once

/**
 * @file icore.h
 * @brief The host's core object (Core::ICore).
 */

#include <tarnwickhost/tarnwickhost_export.h>

#include <QObject>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

/// The host editor's core: its main window and the services behind it.
namespace Core {

/**
 * The host's core object. The host creates exactly one; while it exists,
 * instance() returns it and mainWindow() the window that parents the host's
 * dialogs. Without a core object both return null.
 */
class TARNWICKHOST_EXPORT ICore : public QObject
{
    Q_OBJECT
public:
    /// Makes this the core object, with @p mainWindow (not owned) as the parent of dialogs.
    explicit ICore(QWidget *mainWindow = nullptr);
    /// instance() returns null afterwards.
    ~ICore() override;

    /// The core object, or null when the host has none.
    static ICore *instance();
    /// The host's main window, or null without a core object or window.
    static QWidget *mainWindow();

private:
    QWidget *m_mainWindow;
};

} // namespace Core
