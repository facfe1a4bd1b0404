#pragma once

#include <tarnwickhost/tarnwickhost_export.h>

#include <QObject>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

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
    explicit ICore(QWidget *mainWindow = nullptr);
    ~ICore() override;

    static ICore *instance();
    static QWidget *mainWindow();

private:
    QWidget *m_mainWindow;
};

} // namespace Core
