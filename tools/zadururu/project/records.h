#pragma once

#include "readerVocabulary.h"
#include "recordRef.h"

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QString>

class ScaFileData;
struct FileDataTree;
struct ScadaLibObject;

/// One field of a record: its name, its value as text and as a typed JSON value.
struct RecordField
{
    QString name;
    /// Numbers in decimal, texts in double quotes with \\, " and line breaks
    /// escaped, lists in braces: the form of textconv's lines.
    QString text;
    /// Numbers as numbers (64-bit ones beyond 2^53 as a string of digits,
    /// which a JSON reader would round), booleans as booleans, texts
    /// unquoted, lists as arrays.
    QJsonValue value;

    bool operator==(const RecordField &other) const { return name == other.name && text == other.text; }
    bool operator!=(const RecordField &other) const { return !(*this == other); }
};

/**
 * One record of a project file as the tool compares it: an item or the page
 * properties of a page, a channel, tag or alarm of the definitions, a
 * component of a library, with every field the file stores.
 */
struct Record
{
    QString key;   ///< what identifies the record within its file: "component Uid 1031", "tag Id 12", "chart 2"
    QString title; ///< the record as a reader names it: `component "P-101" (Uid 1031)`
    RecordRef ref; ///< the record, without its file
    QList<RecordField> fields;

    /// Whether the record has no identity of its own (a text, a chart...): its key is only its place.
    bool isPlaced() const { return ref.index > 0; }
    /// The record on one line: its title, then name=value for each field.
    QString line() const;
};

/// A text field as records show it: in double quotes, with \\, " and line breaks escaped.
QString recordText(const QString &value);

/// The records of a page: its properties, its scrolling texts, then its items by kind.
QList<Record> pageRecords(const ScaFileData &page);
/// The channels (but the loader's own "None" channel), tags and alarms of a definitions file.
QList<Record> definitionsRecords(const FileDataTree &definitions);
QList<Record> libraryRecords(const QList<ScadaLibObject *> &components);

/**
 * The records of the file whose content is @p bytes, by its document
 * element: a scene page, a definitions file or a library file (read from
 * @p path), and which of them in @p kind. False, with the reason in
 * @p problem, for anything else.
 */
bool fileRecords(const QByteArray &bytes, const QString &path, QList<Record> *records, QString *problem,
                 ReaderVocabulary::FileKind *kind = nullptr);
