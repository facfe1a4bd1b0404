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
     * the tree holding the "None" channel alone.
     */
    static FileDataTree *loadFileData(const QByteArray &data);
    /// Reads and parses the file at @p path; null when it cannot be opened.
    static FileDataTree *loadFileData(const QString &path);
    /**
     * Reads and parses the file at @p path, a file name in the system's
     * encoding, as loadFileData(const QString &) does: so that
     * `loadFileData("definitions.xml")` loads that file.
     */
    static FileDataTree *loadFileData(const char *path);

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
     * be opened.
     */
    static FileDataTree *loadTagsFromCSV(const QString &path);

    /**
     * Moves every tag of @p imported to the end of @p into's tag list, in
     * order, and numbers them after the highest tag id in @p into: the first
     * gets that id plus 1 (1 in a tree whose ids are all 0 or less, or that
     * has no tags), the next plus 2, and so on. Returns the number of tags
     * moved.
     *
     * The records change owner: @p into holds them and @p imported's tag
     * list is left empty, so that freeing both trees frees each record once.
     * Channels and alarms of @p imported stay where they are; null entries
     * of its tag list are dropped.
     *
     * Returns -1 and changes nothing when either tree is null, when both are
     * the same tree, or when the new ids would pass the largest int.
     */
    static int mergeImportedTags(FileDataTree *into, FileDataTree *imported);
};
