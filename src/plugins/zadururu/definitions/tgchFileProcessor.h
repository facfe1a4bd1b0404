#pragma once

/**
 * @file tgchFileProcessor.h
 * @brief Reading, writing and importing definitions files (TgchFileProcessor).
 */

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
 * Every operation on a definitions file: root `CTDefinitions` with the lists
 * `ChannelList`, `TagList` and `AlarmList` (see pKanalDef_t, pEtiketDef_t,
 * pAlarmItem_t for their records).
 *
 * All operations are static and keep no state: no instance is needed. Every
 * tree and record they return belongs to the caller; free a tree with
 * destroyFileDataTree().
 *
 * @code
 * FileDataTree *tree = TgchFileProcessor::loadFileData("definitions.xml");
 * if (!tree)
 *     return; // the file cannot be opened
 * FileDataTree *imported = TgchFileProcessor::loadTagsFromCSV(QStringLiteral("tags.csv"));
 * if (imported && TgchFileProcessor::mergeImportedTags(tree, imported) >= 0)
 *     TgchFileProcessor::writeToFile(tree, QStringLiteral("definitions.xml"));
 * destroyFileDataTree(imported); // its tag list is empty now
 * destroyFileDataTree(tree);
 * @endcode
 */
class ZADURURU_EXPORT TgchFileProcessor : public QObject
{
    Q_OBJECT
public:
    /// Constructs the QObject; no operation needs an instance.
    explicit TgchFileProcessor(QObject *parent = nullptr);
    /// Nothing to free: the processor keeps no state.
    ~TgchFileProcessor() override;

    /**
     * Parses the bytes of a definitions file into a new tree; never null.
     *
     * The channel list always begins with a fresh "None" channel (a new
     * pKanalDef_t named "None"); a channel named exactly "None" in the file
     * is dropped, so edits to it never survive a save and a load. The other
     * records follow in file order, as they stand: nothing checks repeated
     * names or ids, or tags whose channel does not exist.
     *
     * Bytes that are not well-formed XML (an empty or truncated file
     * included) give the tree holding the "None" channel alone, like a file
     * without records, and so do bytes past a limit of xmlLimits.h or too
     * large for the memory left; ZadUruru::checkWellFormed() tells these
     * apart. A path held in a QByteArray is such bytes too: it is parsed as
     * XML, not opened. To load a file, pass its path as a QString or a string
     * literal.
     */
    static FileDataTree *loadFileData(const QByteArray &data);
    /**
     * Reads and parses the file at @p path as loadFileData(const QByteArray &)
     * does. Null when it cannot be read: it is missing, unreadable, not a
     * regular file or larger than maxFileSize (see readRegularFile()), or
     * memory runs out while it is read, which unlike the bytes' overload
     * tells that refusal from a file without records.
     */
    static FileDataTree *loadFileData(const QString &path);
    /**
     * Reads and parses the file at @p path, a file name in the system's
     * encoding, as loadFileData(const QString &) does: so that
     * `loadFileData("definitions.xml")` loads that file.
     */
    static FileDataTree *loadFileData(const char *path);

    /**
     * @name Record readers
     * Each reads one record element of a parsed document into a new record
     * that the caller owns; never null. A null @p element reads like an
     * element without children. loadFileData() uses them for every record.
     */
    ///@{
    /// A channel from a `Channel` element.
    static pKanalDef_t *channelDataFromXML(QDomElement *element);
    /// A tag from a `Tag` element.
    static pEtiketDef_t *tagDataFromXml(QDomElement *element);
    /// An alarm from an `Alarm` element.
    static pAlarmItem_t *alarmDataFromXml(QDomElement *element);
    ///@}

    /**
     * Writes every channel, tag and alarm of @p tree, in list order, as a
     * whole new file at @p path; the "None" channel at the head of a loaded
     * tree is written too (and dropped again by the next load). The tree is
     * only read. The new content replaces the file only once all of it is
     * written: returns false, with the old file left as it was, when @p tree
     * is null or the file cannot be written.
     */
    static bool writeToFile(FileDataTree *tree, QString path);

    /**
     * Writes the definitions editor's two tables as a whole new file at
     * @p path: one `Channel` per row of @p channelTable and one `Tag` per row
     * of @p tagTable, each cell's text verbatim as one child element (column
     * 0 the Id, column 1 the Name, the others in the order the tree writer
     * writes them).
     *
     * No alarms are written: writing over a file that holds alarms loses
     * them. Use writeToFile(FileDataTree *, QString) to keep them.
     *
     * The tables are only read. Returns false, with the old file left as it
     * was, when a table is null or the file cannot be written.
     */
    static bool writeToFile(QStandardItemModel *channelTable, QStandardItemModel *tagTable,
                            QString path);
    /// The table writer on @p file's channel table, tag table and path; false for null.
    static bool writeToFile(OpenedFile *file);

    /**
     * Imports a semicolon-separated tag list: one tag per line of exactly
     * four fields (ignored; VariableAddress; Name; data type word, which
     * sets VariableType and VariableSize); other lines are skipped without a
     * word. Returns a new tree holding the tags only (no "None" channel), or
     * null when the file cannot be read (see readRegularFile()) or memory
     * runs out.
     *
     * The imported tags carry no ids (all 0) and no channel: give them ids
     * with mergeImportedTags() before they join a definitions tree.
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
