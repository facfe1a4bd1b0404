#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class ScaFileData;
struct FileDataTree;
struct ScadaLibObject;

/**
 * One record of a project file as the tool compares it: an item or the page
 * properties of a page, a channel, tag or alarm of the definitions, a
 * component of a library. Every field the file stores is a name with its
 * value as text: numbers in decimal, texts in double quotes with \\, " and
 * line breaks escaped, lists in braces.
 */
struct Record
{
    QString key;   ///< what identifies the record within its file: "component Uid 1031", "tag Id 12", "chart 2"
    QString title; ///< the record as a reader names it: `component "P-101" (Uid 1031)`
    QList<QPair<QString, QString>> fields;

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
 * @p path). False, with the reason in @p problem, for anything else.
 */
bool fileRecords(const QByteArray &bytes, const QString &path, QList<Record> *records, QString *problem);
