#include "tableImport.h"

#include "definitionsTable.h"
#include "quotedText.h"

#include <zadururu/definitions/fileDataTree.h>
#include <zadururu/definitions/tgchFileProcessor.h>

#include <QHash>
#include <QSet>

#include <algorithm>
#include <limits>
#include <memory>

int ImportResult::count(ImportEntry::Action action) const
{
    return int(std::count_if(entries.begin(), entries.end(), [action](const ImportEntry &e) { return e.action == action; }));
}

namespace {

// One record of the file on its way into the tree: the fields it gives and where.
template <class R>
struct Incoming
{
    std::unique_ptr<R> record;
    TablePosition at;
    QVector<bool> given;          // by field
    QVector<TablePosition> where; // by field
    R *existing = nullptr;        // the record of the tree with its key
};

// The records of a list with a key: the first, and how many.
template <class R>
struct Found
{
    R *first = nullptr;
    int count = 0;
};

// Values by name and by Id, each in a hash of its own type.
template <class V>
struct ByKey
{
    QHash<QString, V> names;
    QHash<int, V> ids;
};

bool isBlank(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

// A cell as the value of a field of @p type.
bool cellValue(FieldType type, const TableCell &cell, FieldValue *value, QString *problem)
{
    switch (cell.type) {
    case TableCell::Text:
        return parseCell(type, cell.text, value, problem);
    case TableCell::Number:
        if (type == FieldType::Text) {
            *problem = QStringLiteral("%1 is a number where a text is wanted (write it in double quotes)").arg(cell.text);
            return false;
        }
        return parseCell(type, cell.text, value, problem);
    case TableCell::Boolean:
        if (type == FieldType::Bool)
            return parseCell(type, cell.text, value, problem);
        *problem = QStringLiteral("%1 is no value of this field").arg(cell.text);
        return false;
    case TableCell::List:
        if (type == FieldType::IdList)
            return parseCell(type, cell.items.join(QLatin1Char(',')), value, problem);
        *problem = QStringLiteral("a list is no value of this field");
        return false;
    default:
        break;
    }
    *problem = QStringLiteral("null is no value; leave the member out to keep the field as it is");
    return false;
}

// The field that names the records of @p kind.
const char *nameFieldOf(RecordKind kind)
{
    return kind == RecordKind::Alarm ? "alarm_name" : "Name";
}

// Merges the records of a file into their list of a tree: matches their
// keys, checks what the import would leave (names, ids, references), and
// changes the tree only when nothing is refused.
class Merge
{
public:
    Merge(FileDataTree &tree, const ImportOptions &options, ImportResult &result)
        : m_tree(tree)
        , m_options(options)
        , m_result(result)
    {
    }

    template <class R>
    void run(QList<R *> &list, int first, std::vector<Incoming<R>> &incoming);

    template <class R>
    void problem(const Incoming<R> &in, int field, const QString &message)
    {
        const auto &fields = storedFields<R>();
        m_result.problems.append({in.where.at(field).line > 0 ? in.where.at(field) : in.at,
                                  QLatin1String(fields.at(field).name), message});
    }

private:
    // What each kind checks beyond names and ids: references, and the names the loader drops.
    void checkKind(Incoming<pKanalDef_t> &in);
    void checkKind(Incoming<pEtiketDef_t> &in);
    void checkKind(Incoming<pAlarmItem_t> &in);

    template <class R>
    void appendNew(QList<R *> &list, const std::vector<std::pair<R *, bool>> &records, int highestGiven);

    // Looked up once per import, not once per record.
    void indexTree();

    FileDataTree &m_tree;
    const ImportOptions &m_options;
    ImportResult &m_result;
    bool m_indexed = false;
    QHash<QString, const pKanalDef_t *> m_channelByName; // the first of each name, the "None" channel's too
    QHash<int, const pKanalDef_t *> m_channelById;       // the first of each Id, not the "None" channel
    QSet<QPair<QString, int>> m_channelNameIds;
    QSet<int> m_tagIds;
};

void Merge::indexTree()
{
    if (m_indexed)
        return;
    m_indexed = true;
    for (int i = 0; i < m_tree.channels.size(); ++i) {
        const pKanalDef_t *channel = m_tree.channels.at(i);
        if (!m_channelByName.contains(channel->Name))
            m_channelByName.insert(channel->Name, channel);
        if (i > 0 && !m_channelById.contains(channel->Id))
            m_channelById.insert(channel->Id, channel);
        if (i > 0)
            m_channelNameIds.insert({channel->Name, channel->Id});
    }
    for (const pEtiketDef_t *tag : qAsConst(m_tree.tags))
        m_tagIds.insert(tag->Id);
}

template <class R>
QString describe(RecordKind kind, const R &record, int nameField, int idField)
{
    const auto &fields = storedFields<R>();
    return QStringLiteral("%1 %2 (Id %3)")
        .arg(kindName(kind), quoted(fields.at(nameField).get(record).text), QString::number(fields.at(idField).get(record).integer));
}

void Merge::checkKind(Incoming<pKanalDef_t> &in)
{
    const auto &fields = storedFields<pKanalDef_t>();
    const int name = fieldIndex(fields, QStringLiteral("Name"));
    if (!in.given.at(name))
        return;
    if (in.record->Name == QLatin1String("None")) {
        problem(in, name, QStringLiteral("\"None\" is the name of the loader's own channel: every load drops a channel of that name"));
        return;
    }
    if (!in.existing || in.existing->Name == in.record->Name)
        return;
    int naming = 0;
    for (const pEtiketDef_t *tag : qAsConst(m_tree.tags))
        naming += tag->KanalName == in.existing->Name;
    if (naming > 0)
        problem(in, name, QStringLiteral("%1 name%2 the channel %3 (KanalName): renamed, it would leave %4 without it")
                              .arg(naming == 1 ? QStringLiteral("1 tag") : QStringLiteral("%1 tags").arg(naming),
                                   naming == 1 ? QStringLiteral("s") : QString(), quoted(in.existing->Name),
                                   naming == 1 ? QStringLiteral("it") : QStringLiteral("them")));
}

void Merge::checkKind(Incoming<pEtiketDef_t> &in)
{
    const auto &fields = storedFields<pEtiketDef_t>();
    const int nameField = fieldIndex(fields, QStringLiteral("KanalName"));
    const int idField = fieldIndex(fields, QStringLiteral("Kanal_Id"));
    const bool nameGiven = in.given.at(nameField);
    const bool idGiven = in.given.at(idField);
    if (!nameGiven && !idGiven)
        return;
    pEtiketDef_t &tag = *in.record;
    indexTree();
    const pKanalDef_t *named = tag.KanalName.isEmpty() ? nullptr : m_channelByName.value(tag.KanalName);
    const pKanalDef_t *numbered = tag.Kanal_Id == -1 ? nullptr : m_channelById.value(tag.Kanal_Id);
    const bool bothMatch = m_channelNameIds.contains({tag.KanalName, tag.Kanal_Id});
    const bool nameSet = nameGiven && !tag.KanalName.isEmpty();
    const bool idSet = idGiven && tag.Kanal_Id != -1;
    if (nameSet && !named)
        problem(in, nameField, QStringLiteral("no channel is named %1").arg(quoted(tag.KanalName)));
    if (idSet && !numbered)
        problem(in, idField, QStringLiteral("no channel has the Id %1").arg(tag.Kanal_Id));
    if (nameSet && idSet && named && numbered && !bothMatch)
        problem(in, idField, QStringLiteral("the channel %1 has the Id %2, not %3")
                                 .arg(quoted(tag.KanalName), QString::number(named->Id), QString::number(tag.Kanal_Id)));
    // The one given alone sets the other.
    if (nameGiven && !idGiven) {
        tag.Kanal_Id = named ? named->Id : -1;
        in.given[idField] = true;
        in.where[idField] = in.where.at(nameField);
    } else if (idGiven && !nameGiven) {
        tag.KanalName = numbered ? numbered->Name : QString();
        in.given[nameField] = true;
        in.where[nameField] = in.where.at(idField);
    }
}

void Merge::checkKind(Incoming<pAlarmItem_t> &in)
{
    indexTree();
    const auto &fields = storedFields<pAlarmItem_t>();
    for (const char *name : {"tagID", "limit_tag_id", "limit_tag2_id"}) {
        const int field = fieldIndex(fields, QLatin1String(name));
        const int id = int(fields.at(field).get(*in.record).integer);
        if (in.given.at(field) && id != -1 && !m_tagIds.contains(id))
            problem(in, field, QStringLiteral("no tag has the Id %1 (-1 binds none)").arg(id));
    }
}

// New records at the end of @p list, in file order; those the file gives no
// Id get the next ones after the highest of the list and of the file.
template <class R>
void appendWithIds(QList<R *> &list, const std::vector<std::pair<R *, bool>> &records, int highestGiven)
{
    int highest = std::max(0, highestGiven);
    for (const R *record : qAsConst(list))
        highest = std::max(highest, record->Id);
    for (const auto &record : records) {
        if (!record.second)
            record.first->Id = ++highest;
        list.append(record.first);
    }
}

template <class R>
void Merge::appendNew(QList<R *> &list, const std::vector<std::pair<R *, bool>> &records, int highestGiven)
{
    appendWithIds(list, records, highestGiven);
}

// New tags without an Id are the library's tag merge.
template <>
void Merge::appendNew(QList<pEtiketDef_t *> &list, const std::vector<std::pair<pEtiketDef_t *, bool>> &records,
                      int highestGiven)
{
    if (std::any_of(records.begin(), records.end(), [](const auto &record) { return record.second; })) {
        appendWithIds(list, records, highestGiven);
        return;
    }
    FileDataTree imported;
    for (const auto &record : records)
        imported.tags.append(record.first);
    // The count was checked against the largest Id before.
    TgchFileProcessor::mergeImportedTags(&m_tree, &imported);
}

template <class R>
void Merge::run(QList<R *> &list, int first, std::vector<Incoming<R>> &incoming)
{
    const auto &fields = storedFields<R>();
    const int nameField = fieldIndex(fields, QLatin1String(nameFieldOf(m_options.kind)));
    const int idField = fieldIndex(fields, QStringLiteral("Id"));
    const int keyField = m_options.match == MatchKey::Name ? nameField : idField;
    const int otherField = keyField == nameField ? idField : nameField;
    const auto keyOf = [&](const R &record, int field) {
        const FieldValue value = fields.at(field).get(record);
        return field == nameField ? value.text : QString::number(value.integer);
    };
    const auto what = [&](const R &record) { return describe(m_options.kind, record, nameField, idField); };
    const auto keyText = [&](const R &record, int field) {
        return field == nameField ? QStringLiteral("the name %1").arg(quoted(keyOf(record, field)))
                                  : QStringLiteral("the Id %1").arg(keyOf(record, field));
    };
    // Names and Ids each in a hash of their own type.
    const auto slot = [&](auto &byKey, int field, const R &record) -> auto & {
        if (field == nameField)
            return byKey.names[fields.at(nameField).get(record).text];
        return byKey.ids[int(fields.at(idField).get(record).integer)];
    };
    const auto lookup = [&](const auto &byKey, int field, const R &record) {
        return field == nameField ? byKey.names.value(fields.at(nameField).get(record).text)
                                  : byKey.ids.value(int(fields.at(idField).get(record).integer));
    };

    ByKey<Found<R>> existing;
    for (int i = first; i < list.size(); ++i) {
        for (const int field : {nameField, idField}) {
            Found<R> &found = slot(existing, field, *list.at(i));
            found.first = found.first ? found.first : list.at(i);
            ++found.count;
        }
    }

    // A name or Id the file gives twice.
    for (const int field : {keyField, otherField}) {
        ByKey<int> seen;
        for (const Incoming<R> &in : incoming) {
            if (!in.given.at(field))
                continue;
            int &line = slot(seen, field, *in.record);
            if (line > 0)
                problem(in, field, QStringLiteral("%1 is on line %2 already").arg(keyText(*in.record, field), QString::number(line)));
            else
                line = in.at.line;
        }
    }

    int highestGiven = 0;
    int newWithoutId = 0;
    const Incoming<R> *firstWithoutId = nullptr;
    for (Incoming<R> &in : incoming) {
        if (!in.given.at(keyField))
            continue;
        const Found<R> matches = lookup(existing, keyField, *in.record);
        if (matches.count > 1) {
            problem(in, keyField, QStringLiteral("%1 %2s of the definitions have %3, so it is not known which one is meant%4")
                                      .arg(matches.count)
                                      .arg(kindName(m_options.kind), keyText(*in.record, keyField),
                                           keyField == nameField ? QStringLiteral(" (--match id matches by Id)") : QString()));
            continue;
        }
        if (matches.count == 1) {
            in.existing = matches.first;
            if (m_options.onConflict == ConflictPolicy::Fail) {
                problem(in, keyField, QStringLiteral("%1 is in the definitions already (--on-conflict skip or update "
                                                     "says what to do with it)").arg(what(*in.existing)));
                continue;
            }
            if (m_options.onConflict == ConflictPolicy::Skip)
                continue;
            if (in.given.at(otherField) && keyOf(*in.record, otherField) != keyOf(*in.existing, otherField)) {
                if (otherField == idField) {
                    problem(in, idField, QStringLiteral("%1 keeps its Id: an import changes no Id%2")
                                             .arg(what(*in.existing),
                                                  m_options.kind == RecordKind::Tag
                                                      ? QStringLiteral(" (zadururu rename-tag does, in the pages' bindings too)")
                                                      : QString()));
                } else {
                    const Found<R> taken = lookup(existing, nameField, *in.record);
                    if (taken.first)
                        problem(in, nameField, QStringLiteral("%1 has the name %2 already")
                                                   .arg(what(*taken.first), quoted(keyOf(*in.record, nameField))));
                }
            }
        } else if (!in.given.at(nameField)) {
            // Only a match by Id gets here: new records would all take the constructor's name.
            problem(in, nameField, QStringLiteral("a new %1 needs a %2, and the file gives none").arg(kindName(m_options.kind), QLatin1String(fields.at(nameField).name)));
        } else if (in.given.at(otherField)) {
            const Found<R> taken = lookup(existing, otherField, *in.record);
            if (taken.first)
                problem(in, otherField, QStringLiteral("%1 is taken by %2").arg(keyText(*in.record, otherField), what(*taken.first)));
        }
        if (in.given.at(idField)) {
            highestGiven = std::max(highestGiven, int(fields.at(idField).get(*in.record).integer));
        } else if (!in.existing) {
            ++newWithoutId;
            firstWithoutId = firstWithoutId ? firstWithoutId : &in;
        }
        checkKind(in);
    }
    if (firstWithoutId) {
        int highest = highestGiven;
        for (int i = first; i < list.size(); ++i)
            highest = std::max(highest, int(fields.at(idField).get(*list.at(i)).integer));
        if (newWithoutId > std::numeric_limits<int>::max() - highest)
            problem(*firstWithoutId, idField,
                    QStringLiteral("%1 new %2%3 Ids after %4, and there are not as many")
                        .arg(newWithoutId)
                        .arg(kindName(m_options.kind), newWithoutId == 1 ? QStringLiteral(" needs") : QStringLiteral("s need"))
                        .arg(highest));
    }
    if (!m_result.problems.isEmpty())
        return;

    // Nothing refuses the import: change the tree.
    m_result.entries.reserve(int(incoming.size()));
    std::vector<std::pair<R *, bool>> added; // and whether the file gives its Id
    QVector<const R *> shown;                 // the record each entry names
    for (Incoming<R> &in : incoming) {
        ImportEntry entry;
        entry.line = in.at.line;
        if (!in.existing) {
            entry.action = ImportEntry::Added;
            added.emplace_back(in.record.get(), in.given.at(idField));
            shown << in.record.release();
        } else if (m_options.onConflict == ConflictPolicy::Skip) {
            entry.action = ImportEntry::Skipped;
            shown << in.existing;
        } else {
            for (int f = 0; f < fields.size(); ++f) {
                if (f == keyField || !in.given.at(f))
                    continue;
                const FieldValue before = fields.at(f).get(*in.existing);
                const FieldValue after = fields.at(f).get(*in.record);
                if (cellText(fields.at(f).type, before) == cellText(fields.at(f).type, after))
                    continue;
                entry.changes.append({QLatin1String(fields.at(f).name), fields.at(f).type, before, after});
                fields.at(f).set(*in.existing, after);
            }
            entry.action = entry.changes.isEmpty() ? ImportEntry::Unchanged : ImportEntry::Updated;
            shown << in.existing;
        }
        m_result.entries.append(entry);
    }
    appendNew(list, added, highestGiven);
    for (int i = 0; i < shown.size(); ++i) {
        m_result.entries[i].id = int(fields.at(idField).get(*shown.at(i)).integer);
        m_result.entries[i].name = fields.at(nameField).get(*shown.at(i)).text;
    }
}

// Turns the rows of a table into records of type R, as a reader reads them:
// each record with the fields its row gives, the others at the
// constructor's defaults. Columns are mapped to fields as they appear
// (unknown and repeated ones are problems); with a key field (not -1), a
// row without it is one, and so is a table that has no column for it.
template <class R>
class RowReader
{
public:
    RowReader(RecordKind kind, MatchKey match, int keyField, QVector<TableProblem> &problems)
        : m_kind(kind)
        , m_match(match)
        , m_keyField(keyField)
        , m_problems(problems)
        , m_columnOfField(storedFields<R>().size(), -1)
    {
    }

    void read(const Table &table, const TableRow &row)
    {
        mapColumns(table);
        const auto &fields = storedFields<R>();
        Incoming<R> in{std::make_unique<R>(), row.at, QVector<bool>(fields.size(), false),
                       QVector<TablePosition>(fields.size()), nullptr};
        for (int c = 0; c < row.cells.size() && c < m_fieldOfColumn.size(); ++c) {
            const int f = m_fieldOfColumn.at(c);
            const TableCell &cell = row.cells.at(c);
            // An empty cell of a column that is not a text gives no value (a
            // spreadsheet row added without an Id, say).
            if (f < 0 || cell.type == TableCell::Absent
                || (cell.type == TableCell::Text && fields.at(f).type != FieldType::Text && isBlank(cell.text)))
                continue;
            FieldValue value;
            QString why;
            if (!cellValue(fields.at(f).type, cell, &value, &why)) {
                m_problems.append({cell.at, table.columns.at(c), why});
                continue;
            }
            fields.at(f).set(*in.record, value);
            in.given[f] = true;
            in.where[f] = cell.at;
        }
        // Without a column for the key at all, the table says so once, at the end.
        if (m_keyField >= 0 && !in.given.at(m_keyField) && m_columnOfField.at(m_keyField) >= 0)
            m_problems.append({row.at, keyName(), QStringLiteral("the %1 gives no %2 to match it by").arg(kindName(m_kind), keyName())});
        m_records.push_back(std::move(in));
    }

    // The records read; false when the table has problems of its own (columns, no key column).
    bool finish(const Table &table)
    {
        mapColumns(table);
        if (m_keyField >= 0 && m_columnOfField.at(m_keyField) < 0 && !m_records.empty())
            m_problems.append({table.columnAt.value(0, TablePosition{1, 1}), keyName(),
                               QStringLiteral("the %1s are matched by %2, and no column gives it%3")
                                   .arg(kindName(m_kind), keyName(),
                                        m_match == MatchKey::Name ? QStringLiteral(" (--match id matches by Id)")
                                                                  : QStringLiteral(" (--match name matches by %1)").arg(QLatin1String(nameFieldOf(m_kind))))});
        return !m_tableProblems;
    }

    std::vector<Incoming<R>> &records() { return m_records; }

private:
    QString keyName() const { return QLatin1String(storedFields<R>().at(m_keyField).name); }

    void mapColumns(const Table &table)
    {
        const auto &fields = storedFields<R>();
        for (int c = m_fieldOfColumn.size(); c < table.columns.size(); ++c) {
            const QString &column = table.columns.at(c);
            const int field = fieldIndex(fields, column);
            m_fieldOfColumn.append(field >= 0 && m_columnOfField.at(field) < 0 ? field : -1);
            if (m_fieldOfColumn.last() >= 0) {
                m_columnOfField[field] = c;
                continue;
            }
            QString message = field >= 0 ? QStringLiteral("the column %1 is named twice").arg(quoted(column))
                                         : QStringLiteral("a %1 has no field %2").arg(kindName(m_kind), quoted(column));
            for (const Field<R> &known : fields)
                if (field < 0 && column.compare(QLatin1String(known.name), Qt::CaseInsensitive) == 0)
                    message += QStringLiteral(" (did you mean \"%1\"?)").arg(QLatin1String(known.name));
            if (field < 0 && !message.endsWith(QLatin1Char(')')))
                message += QStringLiteral("; the fields are: ") + fieldNames(m_kind).join(QStringLiteral(", "));
            m_problems.append({table.columnAt.at(c), column, message});
            m_tableProblems = true;
        }
    }

    RecordKind m_kind;
    MatchKey m_match;
    int m_keyField;
    QVector<TableProblem> &m_problems;
    QVector<int> m_fieldOfColumn;
    QVector<int> m_columnOfField;
    bool m_tableProblems = false;
    std::vector<Incoming<R>> m_records;
};

// Reads the rows of a table into a RowReader: a table held whole, or a text read as it goes.
using RowSource = std::function<const Table *(const RowHandler &onRow)>;

template <class R>
void importRows(FileDataTree &tree, QList<R *> &list, int first, const RowSource &source, const ImportOptions &options,
                ImportResult &result)
{
    const int keyField = fieldIndex(storedFields<R>(), options.match == MatchKey::Name ? QLatin1String(nameFieldOf(options.kind))
                                                                                         : QStringLiteral("Id"));
    RowReader<R> reader(options.kind, options.match, keyField, result.problems);
    const Table *table = source([&reader](const Table &t, const TableRow &row) { reader.read(t, row); });
    if (table && reader.finish(*table) && !reader.records().empty())
        Merge(tree, options, result).run(list, first, reader.records());
}

template <class R>
bool appendRecords(QList<R *> &list, RecordKind kind, const Table &table, QVector<TableProblem> *problems)
{
    RowReader<R> reader(kind, MatchKey::Name, -1, *problems);
    for (const TableRow &row : table.rows)
        reader.read(table, row);
    if (!reader.finish(table) || !problems->isEmpty())
        return false;
    for (Incoming<R> &in : reader.records())
        list.append(in.record.release());
    return true;
}

ImportResult importFrom(FileDataTree &tree, const RowSource &source, const ImportOptions &options)
{
    ImportResult result;
    switch (options.kind) {
    case RecordKind::Channel:
        // The first channel is the loader's own "None" channel, which no record of a file is.
        importRows(tree, tree.channels, 1, source, options, result);
        break;
    case RecordKind::Tag:
        importRows(tree, tree.tags, 0, source, options, result);
        break;
    case RecordKind::Alarm:
        importRows(tree, tree.alarms, 0, source, options, result);
        break;
    }
    sortProblems(result.problems);
    return result;
}

} // namespace

ImportResult importTable(FileDataTree &tree, const Table &table, const ImportOptions &options)
{
    return importFrom(tree, [&table](const RowHandler &onRow) {
        for (const TableRow &row : table.rows)
            onRow(table, row);
        return &table;
    }, options);
}

ImportResult importText(FileDataTree &tree, const QString &text, TableFormat format, const ImportOptions &options)
{
    Table table;
    QVector<TableProblem> syntax;
    ImportResult result = importFrom(tree, [&](const RowHandler &onRow) {
        return readTable(text, format, &table, &syntax, onRow) ? &table : nullptr;
    }, options);
    if (!syntax.isEmpty()) {
        result.problems += syntax;
        sortProblems(result.problems);
    }
    return result;
}

bool appendTableRecords(FileDataTree &tree, RecordKind kind, const Table &table, QVector<TableProblem> *problems)
{
    switch (kind) {
    case RecordKind::Channel:
        return appendRecords(tree.channels, kind, table, problems);
    case RecordKind::Tag:
        return appendRecords(tree.tags, kind, table, problems);
    case RecordKind::Alarm:
        break;
    }
    return appendRecords(tree.alarms, kind, table, problems);
}

ImportResult importListedTags(FileDataTree &tree, const QVector<ListedTag> &tags, bool withChannel,
                              ConflictPolicy onConflict)
{
    const auto &fields = storedFields<pEtiketDef_t>();
    // The field of the list's line that gives each field of the tag.
    QVector<int> listField(fields.size(), 0);
    listField[fieldIndex(fields, QStringLiteral("Name"))] = 3;
    listField[fieldIndex(fields, QStringLiteral("VariableAddress"))] = 2;
    listField[fieldIndex(fields, QStringLiteral("VariableType"))] = 4;
    listField[fieldIndex(fields, QStringLiteral("VariableSize"))] = 4;
    if (withChannel) {
        listField[fieldIndex(fields, QStringLiteral("KanalName"))] = -1;
        listField[fieldIndex(fields, QStringLiteral("Kanal_Id"))] = -1;
    }
    std::vector<Incoming<pEtiketDef_t>> incoming;
    incoming.reserve(size_t(tags.size()));
    for (const ListedTag &listed : tags) {
        Incoming<pEtiketDef_t> in{std::unique_ptr<pEtiketDef_t>(listed.tag), {listed.line, 1},
                                  QVector<bool>(fields.size(), false), QVector<TablePosition>(fields.size()), nullptr};
        for (int f = 0; f < fields.size(); ++f) {
            in.given[f] = listField.at(f) != 0;
            in.where[f] = {listed.line, std::max(listField.at(f), 1)};
        }
        incoming.push_back(std::move(in));
    }
    ImportResult result;
    const ImportOptions options{RecordKind::Tag, MatchKey::Name, onConflict};
    Merge(tree, options, result).run(tree.tags, 0, incoming);
    sortProblems(result.problems);
    return result;
}
