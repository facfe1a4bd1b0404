#pragma once

#include <zadururu/definitions/fileDataTree.h>
#include <zadururu/zadururu_export.h>

#include <QByteArray>
#include <QObject>
#include <QString>

QT_BEGIN_NAMESPACE
class QDomElement;
class QStandardItemModel;
QT_END_NAMESPACE
struct OpenedFile;

/**
 * Every operation on a definitions file (root "CTDefinitions" with the lists
 * "ChannelList", "TagList" and "AlarmList"). All operations are static and
 * keep no state; every record and tree they return belongs to the caller.
 */
class ZADURURU_EXPORT TgchFileProcessor : public QObject
{
    Q_OBJECT
public:
    explicit TgchFileProcessor(QObject *parent = nullptr);
    ~TgchFileProcessor() override;

    /**
     * Parses the bytes of a definitions file. Never null: the channel list
     * always begins with a fresh "None" channel; a "Channel" named exactly
     * "None" in the file is discarded. Bytes that are not well-formed XML give
     * the tree holding the "None" channel alone, and so do bytes past a limit
     * of xmlLimits.h or too large for the memory left.
     */
    static FileDataTree *loadFileData(const QByteArray &data);
    /**
     * Reads and parses the file at @p path. Null when it cannot be read: it
     * is missing, unreadable, not a regular file or larger than maxFileSize
     * (see readRegularFile()), or memory runs out while it is read, which
     * unlike the bytes' overload tells that refusal from a file without records.
     */
    static FileDataTree *loadFileData(const QString &path);

    /// A new channel record read from a "Channel" element. Never null.
    static pKanalDef_t *channelDataFromXML(QDomElement *element);
    /// A new tag record read from a "Tag" element. Never null.
    static pEtiketDef_t *tagDataFromXml(QDomElement *element);
    /// A new alarm record read from an "Alarm" element. Never null.
    static pAlarmItem_t *alarmDataFromXml(QDomElement *element);

    /**
     * Writes every channel, tag and alarm of @p tree, in list order, as a
     * whole new file at @p path. The tree is only read. Returns false, with
     * the old file left as it was, when the file cannot be written.
     */
    static bool writeToFile(FileDataTree *tree, QString path);

    /**
     * Writes the definitions editor's two tables as a whole new file at
     * @p path: one "Channel" per row of @p channelTable and one "Tag" per row
     * of @p tagTable, each cell's text verbatim as one child element. No
     * alarms are written. The tables are only read. Returns false, with the
     * old file left as it was, when a table is null or the file cannot be
     * written.
     */
    static bool writeToFile(QStandardItemModel *channelTable, QStandardItemModel *tagTable,
                            QString path);
    /// The table writer on @p file's channel table, tag table and path; false for null.
    static bool writeToFile(OpenedFile *file);

    /**
     * Imports a semicolon-separated tag list: one tag per line of exactly
     * four fields (ignored; VariableAddress; Name; data type word). The tree
     * holds the tags only, with no "None" channel. Null when the file cannot
     * be read (see readRegularFile()) or memory runs out.
     */
    static FileDataTree *loadTagsFromCSV(const QString &path);
};
