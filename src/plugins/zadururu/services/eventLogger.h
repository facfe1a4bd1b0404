#pragma once

#include <zadururu/zadururu_export.h>

#include <QObject>
#include <QVariant>

/// The kind of a structured event log entry. Kinds other than LoadingBlock log the value alone.
enum DebugElement {
    LoadingBlock = 0, ///< the loading of a page block: "Loading Block With Number : " and the value
    PlainValue = 1,
};

/**
 * Appends timestamped entries to "korvelalog.txt" in the home directory while
 * switched on (the "writeLogFile" program setting). Each entry opens, appends
 * to and closes the file, so it is on disk when the call returns.
 */
class ZADURURU_EXPORT EventLogger : public QObject
{
    Q_OBJECT
public:
    /// Takes the on/off switch from the program settings.
    explicit EventLogger(QObject *parent = nullptr);

    static void init();
    static void activate();
    static void deactivate();
    static void logData(const char *text);
    static void logData(DebugElement kind, QVariant value);

private:
    static bool isActive;
    static bool m_init;
};
