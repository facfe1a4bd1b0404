#pragma once

#include <QLatin1String>
#include <QString>

#include <vector>

/**
 * What the library's readers read of each kind of project file, as data:
 * for every element they look at, the child elements and attributes they
 * read, how they convert each value, and what an absent one reads as. The
 * check's warnings (fileLint.h) walk a file against it; the format command
 * lists what a rewrite drops or invents by it.
 *
 * Names are the exact element and attribute names, case included. Where a
 * reader reads only the first child element of a name (every field, and
 * most containers) a second one is ignored; where it reads them all (the
 * records of a list: Item, Channel, Tag...) the node says so with list.
 */
namespace ReaderVocabulary {

/// How a reader turns a value's text into the record's value.
enum class ValueKind {
    Text,       ///< taken as written
    Colour,     ///< a colour name, carried as text
    Int,        ///< signed 32-bit decimal; what does not parse reads as 0
    UInt,       ///< unsigned 32-bit decimal; a negative number reads as 0 too
    Int64,      ///< signed 64-bit decimal
    UInt64,     ///< unsigned 64-bit decimal
    Int8,       ///< signed 32-bit decimal of which the low 8 bits are kept, as a signed byte
    UInt8,      ///< as Int8, kept as an unsigned byte
    Float,      ///< single-precision decimal (out of range reads as 0)
    Coordinate, ///< single-precision decimal cut toward zero to a whole number
    Double,     ///< double-precision decimal
    Bool,       ///< signed 32-bit decimal, true when not 0
    IdList,     ///< "{3,17,4}": braces dropped, pieces that parse as signed decimals kept
};

/// The name of @p kind as the reports and the JSON give it: "int", "uint64", "colour"...
QLatin1String valueKindName(ValueKind kind);

/// An attribute, or the text of an element, that a reader converts to a value.
struct Value
{
    ValueKind kind = ValueKind::Text;
    /// What an absent one reads as, as it would be written, or in
    /// parentheses when the reader works it out ("(measured)"); null when
    /// the reader stores the conversion of empty text (0, false, empty).
    const char *absent = nullptr;
    /// Set when an absent element reads as a value that changes what the
    /// record does: the end of a sentence, "the channel loads disabled".
    const char *absentEffect = nullptr;
    /// An empty value reads as an absent one (a text item's colours).
    bool emptyReadsAsAbsent = false;
};

struct Attribute
{
    QLatin1String name;
    Value value;
};

/**
 * An element as the readers see it: its attributes, its text (when it
 * holds a value), and the child elements they read.
 */
struct Element
{
    QLatin1String name;
    /// The kind of record the element is ("tag", "component"...; see recordRef.h); empty for a part of one.
    QLatin1String record;
    /// The reader reads every element of this name in its parent, not only the first.
    bool list = false;
    /// The element's text is read as a value.
    bool hasValue = false;
    Value value;
    std::vector<Attribute> attributes;
    std::vector<Element> children;
    /// The element is numbered: its name followed by 1, 2, ..., read up to
    /// the first number missing ("image1", "image2").
    bool numbered = false;

    const Element *child(QLatin1String childName) const;
    const Attribute *attribute(QLatin1String attributeName) const;
};

/// The kinds of file a project holds.
enum class FileKind { Scene, Definitions, Library };

/// "scene page", "definitions file" or "component library".
QString fileKindName(FileKind kind);

/**
 * The document element a reader of @p kind expects, and what it reads
 * below it. The readers take the document element whatever its name; the
 * check reports another name.
 */
const Element &document(FileKind kind);

/**
 * The item kinds of a scene file: the ItemType text of each, and the Item
 * element of that kind. An Item without ItemType is read as a component
 * instance; one whose ItemType is none of these is skipped.
 */
struct ItemKind
{
    QLatin1String itemType; ///< "ScadaObject"
    const Element *item;    ///< the Item element of the kind, its record kind ("component") included
};
const std::vector<ItemKind> &itemKinds();
/// The kind whose ItemType is @p itemType exactly, or null.
const ItemKind *itemKind(const QString &itemType);

/**
 * Whether the readers of @p kind drop element text that is only whitespace
 * (outside CDATA sections), as scene and library files are read; the
 * definitions file keeps it.
 */
bool dropsWhitespaceText(FileKind kind);

} // namespace ReaderVocabulary
