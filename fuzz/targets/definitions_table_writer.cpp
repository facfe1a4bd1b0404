// The table writer against the document tree it used to build: the same
// cells give the same bytes. The input is split into the two tables' cells at
// U+001F, into rows at U+001E, and into the channel and the tag table at
// U+001D; read as UTF-16 when its first byte is odd, as UTF-8 otherwise.
#include "fuzzSupport.h"

#include <zadururu/definitions/definitionsFields_p.h>
#include <zadururu/definitions/tgchFileProcessor.h>

#include <QDomDocument>
#include <QStandardItemModel>
#include <QTextStream>

using namespace ZadUruru::DefinitionsXml;

namespace {

void fill(QStandardItemModel &table, const QString &rows, int columns)
{
    for (const QString &row : rows.split(QChar(0x1E))) {
        QList<QStandardItem *> cells;
        for (const QString &cell : row.split(QChar(0x1F)).mid(0, columns))
            cells << new QStandardItem(cell);
        table.appendRow(cells);
    }
}

void appendCData(QDomDocument &document, QDomElement &element, const QString &text)
{
    int from = 0;
    for (int at = text.indexOf("]]>"); at >= 0; at = text.indexOf("]]>", from)) {
        element.appendChild(document.createCDATASection(text.mid(from, at + 2 - from)));
        from = at + 2;
    }
    element.appendChild(document.createCDATASection(text.mid(from)));
}

template <std::size_t N>
void appendRows(QDomDocument &document, QDomElement &root, const char *listName, const char *itemName,
                const QStandardItemModel &table, const TableColumn (&columns)[N])
{
    QDomElement list = document.createElement(listName);
    root.appendChild(list);
    for (int row = 0; row < table.rowCount(); ++row) {
        QDomElement item = document.createElement(itemName);
        list.appendChild(item);
        for (const TableColumn &column : columns) {
            QDomElement child = document.createElement(column.element);
            const QStandardItem *cell = table.item(row, column.column);
            const QString text = cell ? cell->text() : QString();
            if (column.cdata)
                appendCData(document, child, text);
            else
                child.appendChild(document.createTextNode(text));
            item.appendChild(child);
        }
    }
}

QByteArray throughDocumentTree(const QStandardItemModel &channels, const QStandardItemModel &tags)
{
    QDomDocument document("ChannelAndTagDefinitions");
    QDomElement root = document.createElement("CTDefinitions");
    document.appendChild(root);
    appendRows(document, root, "ChannelList", "Channel", channels, channelColumns);
    appendRows(document, root, "TagList", "Tag", tags, tagColumns);
    QByteArray bytes;
    QTextStream stream(&bytes);
    stream << document.toString(1);
    stream.flush();
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::bytes(data, size);
    const QString text = size > 0 && data[0] % 2
        ? QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData() + 1), (bytes.size() - 1) / 2)
        : QString::fromUtf8(bytes);
    QStandardItemModel channels, tags;
    const QStringList parts = text.split(QChar(0x1D));
    fill(channels, parts.value(0), 22);
    if (parts.size() > 1)
        fill(tags, parts.at(1), 25);
    const QString path = Fuzz::scratchPath(QStringLiteral("tables.xml"));
    if (!TgchFileProcessor::writeToFile(&channels, &tags, path))
        Fuzz::fail("the tables could not be written");
    const QByteArray written = readAll(path);
    const QByteArray expected = throughDocumentTree(channels, tags);
    if (written != expected)
        Fuzz::fail("the table writer and the document tree write different bytes", written + "\n----\n" + expected);
    return 0;
}
