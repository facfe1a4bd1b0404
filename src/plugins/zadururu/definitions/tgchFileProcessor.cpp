#include "tgchFileProcessor.h"

#include "common/regularFile.h"
#include "common/wholeFileWriter_p.h"
#include "common/xmlParser_p.h"
#include "definitionsFields_p.h"
#include "definitionsReader_p.h"
#include "tableDocument_p.h"

#include <tarnwickhost/openedFile.h>

#include <QDomDocument>
#include <QIODevice>
#include <QStandardItemModel>
#include <QTextStream>
#include <QXmlStreamWriter>

#include <algorithm>
#include <limits>
#include <memory>
#include <new>

using namespace ZadUruru::DefinitionsXml;

namespace {

// Appends the list @p listName: one @p itemName element per row of @p table,
// with a child element per column of @p columns holding the cell's display text.
template <std::size_t N>
void appendRows(TableDocument &document, const char *listName, const char *itemName,
                const QStandardItemModel &table, const TableColumn (&columns)[N])
{
    if (table.rowCount() == 0) {
        document.emptyLine(1, listName);
        return;
    }
    document.openLine(1, listName);
    for (int row = 0; row < table.rowCount(); ++row) {
        document.openLine(2, itemName);
        for (const TableColumn &column : columns) {
            // A table row may lack a cell (a short row, or a cell never set):
            // its element is written empty, which every reader takes as the
            // element's empty-text value, rather than failing the whole save.
            const QStandardItem *cell = table.item(row, column.column);
            document.textLine(3, column.element, cell ? cell->text() : QString(), column.cdata);
        }
        document.closeLine(2, itemName);
    }
    document.closeLine(1, listName);
}

// The type word table of the CSV import, tested in this order.
struct CsvType
{
    QLatin1String word;
    int variableType;
    int variableSize;
};

const CsvType csvTypes[] = {
    {QLatin1String("LOGIC"), 16, 1},
    {QLatin1String("WORD"), 9, 2},
    {QLatin1String("FLOAT"), 14, 4},
    {QLatin1String("LONG"), 13, 4},
};

// Calls @p read for every child element named @p itemName of the first child
// of @p root named @p listName.
template <class Read>
void forEachListItem(const QDomElement &root, const char *listName, const char *itemName, Read read)
{
    const QDomElement list = root.firstChildElement(QLatin1String(listName));
    for (QDomElement item = list.firstChildElement(QLatin1String(itemName)); !item.isNull();
         item = item.nextSiblingElement(QLatin1String(itemName)))
        read(item);
}

// The tags of a CSV tag list's bytes.
FileDataTree *tagsFromCsv(const QByteArray &bytes)
{
    std::unique_ptr<FileDataTree, void (*)(FileDataTree *)> tree(new FileDataTree, destroyFileDataTree);
    // Decoded as a text stream on the file decodes it: a byte order mark
    // chooses its encoding, the locale's encoding the rest.
    const QString text = QTextStream(bytes).readAll();

    // A carriage return before a line feed stays in the line's last field,
    // where the type word test does not mind it.
    const QVector<QStringRef> lines = text.splitRef(QLatin1Char('\n'));
    for (const QStringRef &line : lines) {
        const QVector<QStringRef> fields = line.split(QLatin1Char(';'));
        if (fields.size() != 4)
            continue;
        auto *tag = new pEtiketDef_t;
        tree->tags.append(tag);
        const QString type = fields.at(3).toString().remove(QLatin1Char(' '));
        for (const CsvType &known : csvTypes) {
            if (type.contains(known.word)) {
                tag->VariableType = known.variableType;
                tag->VariableSize = known.variableSize;
                break;
            }
        }
        tag->Name = fields.at(2).toString();
        tag->VariableAddress = fields.at(1).toString();
        tag->PollFrequency = 3;
    }
    return tree.release();
}

} // namespace

TgchFileProcessor::TgchFileProcessor(QObject *parent)
    : QObject(parent)
{
}

TgchFileProcessor::~TgchFileProcessor() = default;

FileDataTree *TgchFileProcessor::loadFileData(const QByteArray &data)
{
    // A file too large for the memory left is refused like a malformed one.
    try {
        return ZadUruru::readDefinitions(data);
    } catch (const std::bad_alloc &) {
        return ZadUruru::DefinitionsXml::treeWithNoneChannel();
    }
}

FileDataTree *TgchFileProcessor::loadFileData(const QString &path)
{
    const QByteArray bytes = ZadUruru::readRegularFile(path);
    if (bytes.isNull())
        return nullptr;
    // Out of memory, the file was not read: so that a caller does not take
    // the refusal for a file without records (and write that back), null.
    try {
        return ZadUruru::readDefinitions(bytes);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

FileDataTree *TgchFileProcessor::loadFileData(const char *path)
{
    return loadFileData(QFile::decodeName(path));
}

FileDataTree *ZadUruru::readDefinitionsThroughDom(const QByteArray &data)
{
    // The reader overload keeps text nodes that hold only whitespace, such as
    // the one-space Station of a default channel; the plain byte overload
    // would drop them.
    QDomDocument document;
    const bool parsed = !data.isEmpty()
        && ZadUruru::parseDocumentTree(data, document, ZadUruru::SpaceOnlyText::Reported);

    FileDataTree *tree = treeWithNoneChannel();
    if (!parsed)
        return tree;

    const QDomElement root = document.documentElement();
    forEachListItem(root, "ChannelList", "Channel",
                    [tree](QDomElement &item) { appendChannel(tree, TgchFileProcessor::channelDataFromXML(&item)); });
    forEachListItem(root, "TagList", "Tag",
                    [tree](QDomElement &item) { tree->tags.append(TgchFileProcessor::tagDataFromXml(&item)); });
    forEachListItem(root, "AlarmList", "Alarm",
                    [tree](QDomElement &item) { tree->alarms.append(TgchFileProcessor::alarmDataFromXml(&item)); });
    return tree;
}

pKanalDef_t *TgchFileProcessor::channelDataFromXML(QDomElement *element)
{
    auto *channel = new pKanalDef_t;
    readFields(channelFields, element ? *element : QDomElement(), *channel);
    return channel;
}

pEtiketDef_t *TgchFileProcessor::tagDataFromXml(QDomElement *element)
{
    auto *tag = new pEtiketDef_t;
    readFields(tagFields, element ? *element : QDomElement(), *tag);
    return tag;
}

pAlarmItem_t *TgchFileProcessor::alarmDataFromXml(QDomElement *element)
{
    auto *alarm = new pAlarmItem_t;
    readFields(alarmFields, element ? *element : QDomElement(), *alarm);
    return alarm;
}

bool TgchFileProcessor::writeToFile(FileDataTree *tree, QString path)
{
    if (!tree)
        return false;
    return ZadUruru::writeWholeFile(path, [tree](QIODevice *device) {
        QXmlStreamWriter writer(device);
        writer.setAutoFormatting(true); // four spaces a level
        writer.setCodec("UTF-8");
        writer.writeStartDocument(QStringLiteral("1.0"));
        writer.writeStartElement(QStringLiteral("CTDefinitions"));

        writer.writeStartElement(QStringLiteral("ChannelList"));
        for (const pKanalDef_t *channel : qAsConst(tree->channels))
            if (channel)
                writeFields(channelFields, writer, "Channel", *channel);
        writer.writeEndElement();

        writer.writeStartElement(QStringLiteral("TagList"));
        for (const pEtiketDef_t *tag : qAsConst(tree->tags))
            if (tag)
                writeFields(tagFields, writer, "Tag", *tag);
        writer.writeEndElement();

        writer.writeStartElement(QStringLiteral("AlarmList"));
        for (const pAlarmItem_t *alarm : qAsConst(tree->alarms))
            if (alarm)
                writeFields(alarmFields, writer, "Alarm", *alarm);
        writer.writeEndElement();

        writer.writeEndElement();
        writer.writeEndDocument();
        return !writer.hasError();
    });
}

bool TgchFileProcessor::writeToFile(QStandardItemModel *channelTable, QStandardItemModel *tagTable,
                                    QString path)
{
    if (!channelTable || !tagTable)
        return false;

    TableDocument document;
    document.openLine(0, "CTDefinitions");
    appendRows(document, "ChannelList", "Channel", *channelTable, channelColumns);
    appendRows(document, "TagList", "Tag", *tagTable, tagColumns);
    document.closeLine(0, "CTDefinitions");

    const QString text = QLatin1String("<!DOCTYPE ChannelAndTagDefinitions>\n") + document.text();
    return ZadUruru::writeWholeFile(path, [&text](QIODevice *device) {
        // No XML declaration and the locale's encoding: the form the
        // definitions editor has always written.
        QTextStream stream(device);
        stream << text;
        stream.flush();
        return stream.status() == QTextStream::Ok;
    });
}

bool TgchFileProcessor::writeToFile(OpenedFile *file)
{
    if (!file)
        return false;
    return writeToFile(file->channelModel, file->tagModel, file->filePath);
}

FileDataTree *TgchFileProcessor::loadTagsFromCSV(const QString &path)
{
    const QByteArray bytes = ZadUruru::readRegularFile(path);
    if (bytes.isNull())
        return nullptr;
    try {
        return tagsFromCsv(bytes);
    } catch (const std::bad_alloc &) {
        return nullptr; // too large for the memory left: as if it could not be read
    }
}

int TgchFileProcessor::mergeImportedTags(FileDataTree *into, FileDataTree *imported)
{
    if (!into || !imported || into == imported)
        return -1;
    int highest = 0;
    for (const pEtiketDef_t *tag : qAsConst(into->tags)) {
        if (tag)
            highest = std::max(highest, tag->Id);
    }
    const int count = int(std::count_if(imported->tags.cbegin(), imported->tags.cend(),
                                        [](const pEtiketDef_t *tag) { return tag != nullptr; }));
    // Ids are ints in the file: refuse rather than wrap around or give two tags one id.
    if (count > std::numeric_limits<int>::max() - highest)
        return -1;
    for (pEtiketDef_t *tag : qAsConst(imported->tags)) {
        if (!tag)
            continue;
        tag->Id = ++highest;
        into->tags.append(tag);
    }
    imported->tags.clear();
    return count;
}
