#include "programSettings.h"

#include "eventLogger.h"

#include <QDir>
#include <QSettings>

ProgramSettings *ProgramSettings::mInstance = nullptr;

ProgramSettings *ProgramSettings::instance()
{
    if (!mInstance)
        mInstance = new ProgramSettings(nullptr);
    return mInstance;
}

ProgramSettings::ProgramSettings(QObject *parent)
    : QObject(parent)
    , m_settings(nullptr)
    , m_writeLogFile(false)
    , m_sceneWidth(0)
    , m_sceneHeight(0)
{
    initSettings();
    m_currentProjectLibDir = QStringLiteral("none");
}

// The store stays with the process-wide instance; it is never destroyed.
ProgramSettings::~ProgramSettings() = default;

static QColor namedColor(const QString &name)
{
    QColor color;
    color.setNamedColor(name);
    return color;
}

void ProgramSettings::initSettings()
{
    const QString path = QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator()
                         + QStringLiteral("korvela.ini");
    m_settings = new QSettings(path, QSettings::IniFormat);

    const QString defaultLibDir = QDir::toNativeSeparators(QDir::homePath()) + QDir::separator()
                                  + QStringLiteral("TarnwickLibrary");
    if (!QDir(defaultLibDir).exists())
        QDir().mkdir(defaultLibDir); // one level only; a failure is ignored

    m_libDir = m_settings->value(QStringLiteral("libdir"), defaultLibDir).toString();
    m_bgColor = namedColor(m_settings->value(QStringLiteral("bgcolor"), QStringLiteral("#ffffff")).toString());
    m_itemColor = namedColor(m_settings->value(QStringLiteral("itmcolor"), QStringLiteral("#CDFF6E")).toString());
    m_workDir = m_settings->value(QStringLiteral("workdir"), QDir::homePath()).toString();
    m_sceneHeight = m_settings->value(QStringLiteral("SceneRectHeight"), QStringLiteral("1200")).toInt();
    m_sceneWidth = m_settings->value(QStringLiteral("SceneRectWidth"), QStringLiteral("1700")).toInt();
    m_writeLogFile = m_settings->value(QStringLiteral("writeLogFile"), QStringLiteral("0")).toInt() != 0;
    // "comport" is written but never read back.
}

void ProgramSettings::writeSettings()
{
    m_settings->setValue(QStringLiteral("workdir"), m_workDir);
    m_settings->setValue(QStringLiteral("libdir"), m_libDir);
    m_settings->setValue(QStringLiteral("comport"), m_portName);
    m_settings->setValue(QStringLiteral("bgcolor"), m_bgColor.name());
    m_settings->setValue(QStringLiteral("itmcolor"), m_itemColor.name());
    m_settings->setValue(QStringLiteral("SceneRectWidth"), QString::number(m_sceneWidth, 10));
    m_settings->setValue(QStringLiteral("SceneRectHeight"), QString::number(m_sceneHeight, 10));
    m_settings->setValue(QStringLiteral("writeLogFile"), QString::number(m_writeLogFile ? 1 : 0));
}

QString ProgramSettings::getPortName() { return m_portName; }
void ProgramSettings::setPortName(QString name) { m_portName = name; writeSettings(); }
QColor ProgramSettings::getBgColor() { return m_bgColor; }
void ProgramSettings::setBgColor(QColor color) { m_bgColor = color; writeSettings(); }
QColor ProgramSettings::getItmColor() { return m_itemColor; }
void ProgramSettings::setItemColor(QColor color) { m_itemColor = color; writeSettings(); }
QString ProgramSettings::getWorkDir() { return m_workDir; }
void ProgramSettings::setWorkdir(QString dir) { m_workDir = dir; writeSettings(); }
QString ProgramSettings::getLibDir() { return m_libDir; }
void ProgramSettings::setLibdir(QString dir) { m_libDir = dir; writeSettings(); }
int ProgramSettings::getSceneWidth() { return m_sceneWidth; }
void ProgramSettings::setSceneWidth(int width) { m_sceneWidth = width; writeSettings(); }
int ProgramSettings::getSceneHeight() { return m_sceneHeight; }
void ProgramSettings::setSceneHeight(int height) { m_sceneHeight = height; writeSettings(); }
QString ProgramSettings::getCurrentProjectLibDir() { return m_currentProjectLibDir; }
void ProgramSettings::setCurrentProjectLibDir(QString dir) { m_currentProjectLibDir = dir; }
bool ProgramSettings::isWriteLogFile() { return m_writeLogFile; }

void ProgramSettings::setWriteLogFile(bool on)
{
    m_writeLogFile = on;
    writeSettings();
    if (on)
        EventLogger::activate();
    else
        EventLogger::deactivate();
}
