#pragma once

/**
 * @file programSettings.h
 * @brief The editor's user preferences (ProgramSettings).
 */

#include <zadururu/zadururu_export.h>

#include <QColor>
#include <QObject>
#include <QString>

QT_BEGIN_NAMESPACE
class QSettings;
QT_END_NAMESPACE

/**
 * The editor's user preferences, one store for the whole process.
 *
 * The settings live in the INI file "korvela.ini" in the working directory
 * of the process at the moment the singleton is first used; a later change
 * of the working directory does not move it. Reading never creates the file.
 *
 * Every setter but setCurrentProjectLibDir() writes all settings at once:
 * QSettings puts them on disk on its own deferred schedule, after control
 * returns to the event loop (QSettings::sync() forces it). Each getter
 * returns a copy. The defaults below are those of a missing file or key.
 *
 * | Getter | Setter | INI key | Default |
 * |---|---|---|---|
 * | getPortName() | setPortName() | comport (written, never read) | empty |
 * | getBgColor() | setBgColor() | bgcolor | "#ffffff" |
 * | getItmColor() | setItemColor() | itmcolor | "#cdff6e" |
 * | getWorkDir() | setWorkdir() | workdir | the home directory |
 * | getLibDir() | setLibdir() | libdir | ~/TarnwickLibrary (created at start when missing) |
 * | getSceneWidth() | setSceneWidth() | SceneRectWidth | 1700 |
 * | getSceneHeight() | setSceneHeight() | SceneRectHeight | 1200 |
 * | isWriteLogFile() | setWriteLogFile() | writeLogFile | off |
 * | getCurrentProjectLibDir() | setCurrentProjectLibDir() | none: memory only | "none" |
 */
class ZADURURU_EXPORT ProgramSettings : public QObject
{
    Q_OBJECT
public:
    /// The settings, created and read on the first call; never destroyed, never null.
    static ProgramSettings *instance();

    /**
     * Reads the settings file of the current working directory (initSettings());
     * use instance() instead, so that every plugin shares one store.
     */
    explicit ProgramSettings(QObject *parent = nullptr);
    /// The settings store is kept: the process-wide instance is never destroyed.
    ~ProgramSettings() override;

    /**
     * Opens "korvela.ini" in the current working directory, creates the
     * default library directory (~/TarnwickLibrary, one level) when missing,
     * and reads every setting, each with its default.
     */
    void initSettings();
    /**
     * Writes all eight settings into the store as texts; QSettings puts them
     * on disk later. Every setter but setCurrentProjectLibDir() calls it.
     */
    void writeSettings();

    /**
     * The communication port's name. Empty after every start: the setter
     * writes the "comport" key, but nothing reads it back.
     */
    QString getPortName();
    /// Sets the communication port's name and writes the settings.
    void setPortName(QString name);
    /// The default background colour of new scenes; "#ffffff" by default.
    QColor getBgColor();
    /// Sets the background colour and writes the settings; an invalid colour is stored as black.
    void setBgColor(QColor color);
    /// The default colour of new scene items; "#cdff6e" by default. (The setter is spelled setItemColor().)
    QColor getItmColor();
    /// Sets the item colour and writes the settings; an invalid colour is stored as black.
    void setItemColor(QColor color);
    /// The working directory for the user's files; the home directory by default.
    QString getWorkDir();
    /// Sets the working directory and writes the settings.
    void setWorkdir(QString dir);
    /**
     * The component library directory; ~/TarnwickLibrary by default. The
     * component library itself (ScadaEngine) does not use it.
     */
    QString getLibDir();
    /// Sets the library directory and writes the settings.
    void setLibdir(QString dir);
    /// The default width of new scenes, in page units; 1700 by default, 0 when the stored text is not a number.
    int getSceneWidth();
    /// Sets the default scene width and writes the settings.
    void setSceneWidth(int width);
    /// The default height of new scenes, in page units; 1200 by default, 0 when the stored text is not a number.
    int getSceneHeight();
    /// Sets the default scene height and writes the settings.
    void setSceneHeight(int height);
    /// The library directory of the open project; "none" until set. Kept in memory only.
    QString getCurrentProjectLibDir();
    /// Sets the open project's library directory; not written to the settings file.
    void setCurrentProjectLibDir(QString dir);
    /**
     * Whether the event log file is written (EventLogger); off by default.
     * The stored text is read as a number: "1" or any number but 0 is on,
     * "true" is off.
     */
    bool isWriteLogFile();
    /// Switches the event log file on or off, writes the settings, and switches EventLogger at once.
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
