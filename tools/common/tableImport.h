#pragma once

// Merging imported records into a definitions tree: what an import adds,
// updates and skips, and every reason it refuses, each at the place of the
// file it comes from. Nothing is changed unless the whole import can be.

#include "definitionsFields.h"
#include "definitionsTable.h"
#include "table.h"

struct FileDataTree;

/// What identifies a record of the file with a record of the definitions.
enum class MatchKey { Name, Id };
/// What happens to a record of the file whose key a record of the definitions has already.
enum class ConflictPolicy { Fail, Skip, Update };

struct ImportOptions
{
    RecordKind kind = RecordKind::Tag;
    MatchKey match = MatchKey::Name;
    ConflictPolicy onConflict = ConflictPolicy::Fail;
};

/// One field an update changes, with its value before and after.
struct FieldChange
{
    QString field;
    FieldType type;
    FieldValue before;
    FieldValue after;
};

/// What became of one record of the file.
struct ImportEntry
{
    enum Action { Added, Updated, Unchanged, Skipped };
    Action action = Added;
    int line = 0;  ///< where the record begins in the file
    int id = 0;    ///< the record's Id in the definitions, after the import
    QString name;  ///< its name (Name, or alarm_name for alarms)
    QVector<FieldChange> changes; ///< the fields an update changes, in the writer's order
};

struct ImportResult
{
    QVector<ImportEntry> entries; ///< one per record of the file, in file order, when there are no problems
    QVector<TableProblem> problems; ///< every reason the import is refused; the tree is unchanged then

    int count(ImportEntry::Action action) const;
    /// Whether the tree was changed: a record was added or a field updated.
    bool changed() const { return count(ImportEntry::Added) + count(ImportEntry::Updated) > 0; }
};

/**
 * Merges the records of @p table, of the kind @p options names, into
 * @p tree. The table's columns are element names of that kind; any subset
 * of them may be given, and the key column (Name, alarm_name for alarms, or
 * Id) must be. An empty cell of a column that is not a text gives no value,
 * as a column left out does. A record whose key no record of the tree has is
 * added at the end of its list with the constructor's defaults for the
 * fields it lacks and, without an Id, the next Id after the highest of the
 * tree and the table. One whose key a record has is refused, skipped or
 * updated as @p options say; an update sets only the fields the table gives,
 * and changes no Id.
 *
 * A tag's channel is given by KanalName, Kanal_Id or both: each must name a
 * channel, both the same one, and the one given alone sets the other. An
 * alarm's tagID, limit_tag_id and limit_tag2_id must each be -1 or a tag's
 * Id. The import is refused, with the tree unchanged and every reason in
 * the result's problems, for an unknown or repeated column, a value that
 * does not parse or does not fit its field, a key or name given twice in the
 * table or taken by another record, a key that several records of the tree
 * have, a new record without a name (matched by Id), a conflict under
 * ConflictPolicy::Fail, a reference that does not
 * resolve, a channel named "None" (the loader's own, which every load drops),
 * the renaming of a channel that tags name, and ids running out.
 */
ImportResult importTable(FileDataTree &tree, const Table &table, const ImportOptions &options);

/**
 * As importTable(), on the table that @p text holds in @p format, read one
 * row at a time, so that no more than a row of cells is held besides the
 * records. A text that is not such a table is refused with the place of
 * its fault among the problems.
 */
ImportResult importText(FileDataTree &tree, const QString &text, TableFormat format, const ImportOptions &options);

/**
 * The records of @p table, of @p kind, appended to their list in @p tree in
 * table order, as they stand: no key is matched, no reference resolved and
 * nothing checked across records, as the loader reads a file. The columns a
 * table lacks take the constructor's defaults. False, with @p tree unchanged
 * and the reasons in @p problems, when a column is unknown or repeated or a
 * value does not parse or fit its field.
 */
bool appendTableRecords(FileDataTree &tree, RecordKind kind, const Table &table, QVector<TableProblem> *problems);

/// A tag that a semicolon-separated tag list gives, read by the library, and the line it is on.
struct ListedTag
{
    pEtiketDef_t *tag;
    int line;
};

/**
 * Merges the tags of a tag list into @p tree, matched by name, as
 * importTable() does. A list gives a tag's Name (field 3), VariableAddress
 * (field 2), VariableType and VariableSize (field 4); @p withChannel says
 * that KanalName and Kanal_Id are set on each tag as well. An update sets
 * only those fields. Takes over @p tags: each ends up in the tree or freed.
 */
ImportResult importListedTags(FileDataTree &tree, const QVector<ListedTag> &tags, bool withChannel,
                              ConflictPolicy onConflict);
