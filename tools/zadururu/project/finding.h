#pragma once

#include "recordRef.h"

#include <QHashFunctions>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

/**
 * What a check of a project's files can find, each with a stable code.
 * Errors (E...) are inconsistencies between records: a binding to a tag
 * that does not exist, two tags of one id. Warnings (W...) are content that
 * the readers silently default, drop or misread: an element no reader reads,
 * a number that reads as 0. The README's table gives an example of each.
 *
 * The codes never change meaning; a new finding gets a new code.
 */
enum class FindingCode : quint8 {
    // Errors: a file that cannot be read as its kind.
    Unreadable,          ///< E101 the file cannot be opened or read
    NotWellFormed,       ///< E102 the file is not well-formed XML
    WrongDocument,       ///< E103 the file is well-formed but not of its kind
    MissingFile,         ///< E104 a file or folder the project needs is not there
    // Errors: records that do not fit together.
    UndefinedTag,        ///< E201 a binding names a tag id the definitions lack
    UndefinedChannel,    ///< E202 a tag names a channel the definitions lack
    RepeatedName,        ///< E203 two records of a kind share a name
    RepeatedId,          ///< E204 two records of a kind share an id
    MissingComponent,    ///< E205 an instance names a component the library lacks
    RepeatedUid,         ///< E206 a component Uid used twice, on one page or two
    RepeatedPageId,      ///< E207 two pages share a pageID
    // Warnings: the bytes.
    UndeclaredEncoding,  ///< W101 the file is not UTF-8 and declares no encoding
    ReplacementCharacter,///< W102 a text read holds U+FFFD
    // Warnings: what the readers read.
    UnknownItemKind,     ///< W201 an Item of no kind the readers know, or without ItemType
    UnknownElement,      ///< W202 an element no reader reads where it stands
    UnknownAttribute,    ///< W203 an attribute no reader reads
    RepeatedElement,     ///< W204 a second element of a name of which only the first is read
    UnparsedNumber,      ///< W205 a number that does not parse and reads as 0
    ChangedNumber,       ///< W206 a number read as another value (cut to a whole number, to 8 bits)
    AbsentDefault,       ///< W207 an absent element whose default changes behaviour
    InvalidColour,       ///< W208 a colour that is no colour name
    // Warnings: records that fit together oddly.
    TagWithoutChannel,   ///< W301 a tag bound to no channel
    ChannelMismatch,     ///< W302 a tag whose Kanal_Id and KanalName name different channels
    PageFileName,        ///< W303 a page whose recorded fileName is not its file's name
    PageSize,            ///< W304 a page whose width or height is zero or negative
    MissingImage,        ///< W305 a library image that does not exist
    ImageLetterCase,     ///< W306 a library image that exists only in another letter case
    PageInSubfolder,     ///< W307 a page file in a subfolder of pages/, which no command reads
};

inline uint qHash(FindingCode code, uint seed = 0)
{
    return ::qHash(uint(code), seed);
}

/// What the code table says of one code.
struct FindingCodeInfo
{
    FindingCode code;
    const char *id;      ///< "W202"
    bool error;
    const char *name;    ///< "unknown-element"
    const char *summary; ///< one line, for the help and the README
};

/// Every code, in code order.
const QList<FindingCodeInfo> &findingCodes();
const FindingCodeInfo &findingCodeInfo(FindingCode code);
/// The code written as @p id ("W202") or named @p id ("unknown-element"), if there is one.
std::optional<FindingCode> findingCodeById(const QString &id);

/**
 * One finding of a check: its code, the file and record it concerns, where
 * it stands in the file (line and column from 1, or 0 when the finding
 * concerns the file as a whole or no place is known), and one sentence.
 */
struct Finding
{
    FindingCode code;
    RecordRef record; ///< record.file is the file, relative to the project folder
    int line = 0;
    int column = 0;
    QString message;

    const QString &file() const { return record.file; }
    bool isError() const { return findingCodeInfo(code).error; }

    /**
     * {"severity", "code", "file", "line", "column", "record", "message"}:
     * line and column 0 and record null when not known.
     */
    QJsonObject toJson() const;
    /// One line: `pages/a.xml:12:5: warning W202: component "P-101" (Uid 1031): <message>`.
    QString text() const;
};

/// Findings in the order a report lists them: errors, then warnings; each by file (pages, definitions, library), then line.
void sortFindings(QList<Finding> &findings);
