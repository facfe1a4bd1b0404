#include "icore.h"

#include <QWidget>

namespace Core {

static ICore *s_instance = nullptr;

ICore::ICore(QWidget *mainWindow)
    : m_mainWindow(mainWindow)
{
    s_instance = this;
}

ICore::~ICore()
{
    if (s_instance == this)
        s_instance = nullptr;
}

ICore *ICore::instance()
{
    return s_instance;
}

QWidget *ICore::mainWindow()
{
    return s_instance ? s_instance->m_mainWindow : nullptr;
}

} // namespace Core
