// Definitions through tables and back: the channels, tags and alarms of any
// definitions file, exported as CSV and as JSON and read back into an empty
// tree, give the bytes the writer makes of the file itself. Where the merge
// of an import takes the records (unique keys, references that resolve), it
// gives the same bytes too.
#include "fuzzSupport.h"

#include "definitionsTable.h"
#include "tableImport.h"
#include "textDecoding.h"

#include <zadururu/definitions/tgchFileProcessor.h>

#include <memory>

namespace {

using Tree = std::unique_ptr<FileDataTree, void (*)(FileDataTree *)>;

const RecordKind kinds[] = {RecordKind::Channel, RecordKind::Tag, RecordKind::Alarm};

// The text of the table of @p kind that @p tree exports in @p format, and the table read back from it.
Table tableOf(const FileDataTree &tree, RecordKind kind, TableFormat format, QString *text)
{
    const QByteArray bytes = exportTable(tree, kind, format);
    DecodedText decoded;
    QString problem;
    if (!decodeText(bytes, QString(), &decoded, &problem))
        Fuzz::fail("an export does not decode", problem.toUtf8() + "\n----\n" + bytes);
    *text = decoded.text;
    Table table;
    QVector<TableProblem> problems;
    if (!readTable(*text, format, &table, &problems))
        Fuzz::fail("an export does not read back", problems.value(0).message.toUtf8() + "\n----\n" + bytes);
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Tree source(TgchFileProcessor::loadFileData(Fuzz::bytes(data, size)), destroyFileDataTree);
    const QByteArray canonical = Fuzz::writtenDefinitions(source.get(), QStringLiteral("canonical.xml"));
    for (const TableFormat format : {TableFormat::Csv, TableFormat::Json}) {
        const Tree appended(TgchFileProcessor::loadFileData(QByteArray()), destroyFileDataTree);
        const Tree imported(TgchFileProcessor::loadFileData(QByteArray()), destroyFileDataTree);
        bool importable = true;
        for (const RecordKind kind : kinds) {
            QString text;
            const Table table = tableOf(*source, kind, format, &text);
            QVector<TableProblem> problems;
            if (!appendTableRecords(*appended, kind, table, &problems))
                Fuzz::fail("an export is refused", problems.value(0).message.toUtf8());
            // The import reads the text again, a row at a time.
            importable = importable && importText(*imported, text, format, {kind, MatchKey::Name, ConflictPolicy::Fail}).problems.isEmpty();
        }
        const QByteArray back = Fuzz::writtenDefinitions(appended.get(), QStringLiteral("appended.xml"));
        if (back != canonical)
            Fuzz::fail("records changed on their way through a table", canonical + "\n----\n" + back);
        if (importable && Fuzz::writtenDefinitions(imported.get(), QStringLiteral("imported.xml")) != canonical)
            Fuzz::fail("an import changed records on their way through a table", canonical);
    }
    return 0;
}
