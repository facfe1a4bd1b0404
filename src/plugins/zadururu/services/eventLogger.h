#pragma once

/**
 * @file eventLogger.h
 * @brief The event log file (EventLogger) and the kinds of its structured
 * entries (DebugElement).
 */

#include <zadururu/zadururu_export.h>

#include <QObject>
#include <QVariant>

/// The kind of a structured event log entry (EventLogger::logData(DebugElement, QVariant)).
enum DebugElement {
    LoadingBlock = 0, ///< the loading of a page block: "Loading Block With Number : " and the value
    PlainValue = 1,   ///< the value's text alone; every value but LoadingBlock logs the same way
};

/**
 * Appends timestamped entries to "korvelalog.txt" in the home directory while
 * switched on. The switch is the "writeLogFile" program setting
 * (ProgramSettings::setWriteLogFile() turns it at once); it starts off when
 * the library is loaded, and init() or constructing an EventLogger takes the
 * stored setting.
 *
 * Each entry opens, appends to and closes the file, so it is on disk when
 * the call returns; nothing truncates the file. The first entry written in a
 * process is preceded by an empty line, a line "HH:mm:ss ### NEW_SESSION ###"
 * and another empty line; each entry is a line "HH:mm:ss Debug: text".
 * Entries made while the log is off are lost, not kept for later. A file
 * that cannot be opened gets "File open error" on the debug output.
 *
 * All operations are static; nothing is locked (GUI thread only).
 */
class ZADURURU_EXPORT EventLogger : public QObject
{
    Q_OBJECT
public:
    /// Takes the on/off switch from the program settings (init()).
    explicit EventLogger(QObject *parent = nullptr);

    /// Sets the switch from ProgramSettings::isWriteLogFile(), creating the settings when none exist yet.
    static void init();
    /// Switches the log on, for this process; the setting is not changed.
    static void activate();
    /// Switches the log off, for this process; the setting is not changed.
    static void deactivate();
    /// Writes one entry with @p text (in the local 8-bit encoding); nothing while the log is off.
    static void logData(const char *text);
    /// Writes one entry with @p value as text, after "Loading Block With Number : " for LoadingBlock.
    static void logData(DebugElement kind, QVariant value);

private:
    static bool isActive;
    static bool m_init;
};
