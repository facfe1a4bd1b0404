#pragma once

#include <zadururu/zadururu_export.h>

#include <QColor>
#include <QObject>
#include <QString>

QT_BEGIN_NAMESPACE
class QSettings;
QT_END_NAMESPACE

/**
 * The editor's user preferences, kept in "korvela.ini" in the working
 * directory of the moment the singleton is first used. Every setter but
 * setCurrentProjectLibDir() writes all settings at once; the INI store puts
 * them on disk on its own deferred schedule. Reading never creates the file.
 */
class ZADURURU_EXPORT ProgramSettings : public QObject
{
    Q_OBJECT
public:
    /// The settings, created and read on the first call; never destroyed.
    static ProgramSettings *instance();

    explicit ProgramSettings(QObject *parent = nullptr);
    ~ProgramSettings() override;

    void initSettings();
    void writeSettings();

    QString getPortName();
    void setPortName(QString name);
    QColor getBgColor();
    void setBgColor(QColor color);
    QColor getItmColor();
    void setItemColor(QColor color);
    QString getWorkDir();
    void setWorkdir(QString dir);
    QString getLibDir();
    void setLibdir(QString dir);
    int getSceneWidth();
    void setSceneWidth(int width);
    int getSceneHeight();
    void setSceneHeight(int height);
    /// The library directory of the open project; kept in memory only.
    QString getCurrentProjectLibDir();
    void setCurrentProjectLibDir(QString dir);
    bool isWriteLogFile();
    /// Also switches the event log on or off at once.
    void setWriteLogFile(bool on);

private:
    QSettings *m_settings;
    QString m_portName;
    QColor m_bgColor;
    QColor m_itemColor;
    QString m_workDir;
    QString m_libDir;
    QString m_currentProjectLibDir;
    bool m_writeLogFile;
    int m_sceneWidth;
    int m_sceneHeight;

    static ProgramSettings *mInstance;
};
