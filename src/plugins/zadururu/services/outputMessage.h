#pragma once

/**
 * @file outputMessage.h
 * @brief Messages for the user, by code (OutputMessage).
 */

#include <zadururu/zadururu_export.h>

#include <QObject>
#include <QString>

/**
 * Shows the user one of a fixed set of messages by code, as a modal message
 * box, so that every plugin words them alike. The texts are translatable
 * (context "OutputMessage"); the box has an OK button only and no title.
 *
 * | Code | Main line | Informative text | Icon |
 * |---:|---|---|---|
 * | 0 | Component Not Exists. Code: 0 | The component is not available for current project. Switch active project to see available components | warning |
 * | 1 | Cannot Create Database. Code: 1 | Cannot create database structure. Check your server settings. | warning |
 * | 2 | Database Error. Code: 2 | Cannot connect to database. Check your server settings. | warning |
 * | 3 | Tagname Used. Code: 3 | This tagname is used before. Please select another one. | warning |
 * | 4 | Channel Name Used. Code: 4 | This channel name is used before. Please select another one. | warning |
 * | 5 | Alarmname Used. Code: 5 | This alarmname is used before. Please select another one. | warning |
 * | 6 | SQL Query. Code: 6 | Error with SQL query | warning |
 * | 7 | File Error. Code: 7 | File is broken: followed by the detail text | warning |
 * | 8 | Database Init Ok | Project database is created succesfully | information |
 * | any other, negative ones too | . Code: followed by the code (nothing else) | none | none |
 *
 * The library itself never calls it: it serves the host's plugins.
 */
class ZADURURU_EXPORT OutputMessage : public QObject
{
    Q_OBJECT
public:
    /// The process-wide instance, created on the first call and never destroyed; message() does not need it.
    static OutputMessage *instance();
    /// Constructs the QObject; use instance() or the static message() instead.
    explicit OutputMessage(QObject *parent = nullptr);

    /**
     * Shows the box for @p code (see the table of the class) and returns when the
     * user has closed it; nothing of the answer is reported. GUI thread only.
     *
     * @p detail is read only for code 7 (a broken file), where it replaces
     * the file's name in the informative text and must not be null; for every
     * other code it is ignored and may be null.
     */
    static void message(int code, QString *detail);

private:
    static OutputMessage *m_instance;
};
