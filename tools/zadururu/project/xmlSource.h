#pragma once

#include <QByteArray>
#include <QLatin1String>
#include <QString>

#include <cstring>
#include <vector>

/*
 * The raw XML of a project file, with byte positions: a single linear pass
 * over the bytes for the check's warnings (file, line, column) and for edits
 * that change only the bytes of the values they change.
 *
 *     XmlSource source(bytes);             // the bytes, their encoding, lines and columns
 *     XmlWalker walker(source);            // the events, one at a time
 *     while (!walker.atEnd()) {
 *         switch (walker.next()) { ... }
 *     }
 *
 * Offsets and spans count bytes of XmlSource::bytes(): the file's own bytes
 * when XmlSource::isRaw(), its text converted to UTF-8 otherwise.
 */

/// The bytes [begin, end) of the walked document.
struct XmlSpan
{
    int begin = 0;
    int end = 0;

    int size() const { return end - begin; }
    bool isEmpty() const { return begin == end; }
    bool operator==(const XmlSpan &other) const { return begin == other.begin && end == other.end; }
    bool operator!=(const XmlSpan &other) const { return !(*this == other); }
};

/// Bytes of the walked document, not copied: valid as long as its XmlSource.
struct XmlView
{
    const char *data = nullptr;
    int size = 0;

    bool operator==(QLatin1String s) const
    {
        return size == s.size() && (size == 0 || std::memcmp(data, s.data(), std::size_t(size)) == 0);
    }
    bool operator!=(QLatin1String s) const { return !(*this == s); }
    QByteArray toByteArray() const { return QByteArray(data, size); }
    QString toString() const { return QString::fromUtf8(data, size); }
};

/**
 * A line and column, both from 1. Line ends are LF, CR LF and a lone CR.
 * Columns count UTF-16 code units of the decoded text from the start of the
 * line, as the library's well-formedness check (ZadUruru::checkWellFormed)
 * counts them: a byte order mark is not counted, a tab counts one, a
 * character outside the Basic Multilingual Plane counts two, and a byte that
 * is not valid UTF-8 counts as the U+FFFD it is read as. The column of an
 * offset is the column of the character that starts there: the '>' of
 * `<b></c>` at the start of line 2 is line 2, column 7, the place where the
 * check stops on that mismatched tag.
 */
struct XmlPosition
{
    int line = 0;
    int column = 0;
};

/// Why a document cannot be walked, and where.
struct XmlError
{
    int offset = -1; ///< in XmlSource::bytes(); -1 when there is no error
    XmlPosition position;
    QString message;

    bool isNull() const { return offset < 0; }
    /// "line L, column C: message"
    QString text() const;
};

/// An attribute of a start tag, as written.
struct XmlAttribute
{
    XmlView name;
    XmlView rawValue;  ///< the bytes between the quotes
    XmlSpan valueSpan; ///< where rawValue lies: what an edit of the value replaces
    char quote = '"';  ///< '"' or '\''
    /// Whether rawValue holds references or whitespace that value() decodes;
    /// when not, value() is rawValue read as UTF-8.
    bool needsDecoding = false;
    /// Whether the value refers to an entity other than the five predefined
    /// ones: value() keeps such a reference as written.
    bool unexpandedEntity = false;

    /**
     * The value as XML reads it: the predefined entities and character
     * references resolved (a reference to a character XML cannot hold, which
     * the library's parser takes, as U+FFFD), each tab, line feed, carriage return and CR LF
     * written as such read as one space (a character reference to one keeps
     * it). The library's own readers keep such whitespace as written.
     */
    QString value() const;
};

/**
 * A document's bytes, ready to walk, with the encoding they are in and the
 * line and column of every offset.
 *
 * UTF-8 (with or without a byte order mark and XML declaration) is walked in place: bytes() are the file's own and
 * an edit of a span changes exactly those bytes. A document whose byte order
 * mark says UTF-16 or UTF-32, or that starts with '<' in UTF-16, or whose XML
 * declaration names another encoding (ISO-8859-1, windows-1252...), is
 * decoded with QTextCodec and walked as UTF-8: isRaw() is false, spans are
 * offsets into the converted bytes, which only lines and columns carry back
 * to the file, and such a file cannot be edited in place.
 *
 * position() builds an index of line starts on first use and keeps the last
 * answer, so that offsets asked in increasing order cost what lies between
 * them (from the first byte that is not valid UTF-8 on, an answer costs the
 * length of its line): it is not safe to call from several threads at once.
 */
class XmlSource
{
public:
    explicit XmlSource(const QByteArray &bytes);

    /// The bytes walked: the file's own when isRaw(), its text in UTF-8 otherwise.
    const QByteArray &bytes() const { return m_bytes; }
    /// Whether spans are offsets into the bytes the source was made of.
    bool isRaw() const { return m_raw; }
    /// "UTF-8", or the name of the codec that decoded the file.
    QByteArray encoding() const { return m_encoding; }
    /// The encoding the XML declaration names, as written; empty without one.
    /// A name QTextCodec does not know is walked as UTF-8, as the library reads it.
    QByteArray declaredEncoding() const { return m_declared; }
    /// Whether the file starts with a byte order mark.
    bool hasByteOrderMark() const { return m_start > 0 || m_decodedMark; }
    /// Where the document starts in bytes(): past a UTF-8 byte order mark.
    int start() const { return m_start; }

    /**
     * The offset in bytes() of the first byte that is not valid in the
     * file's encoding (an invalid or overlong UTF-8 sequence, an encoded
     * surrogate; for a decoded file, the first U+FFFD, which Qt's codecs
     * put for what they cannot read), or -1 when every byte is.
     * The walk itself reads such bytes as U+FFFD, as the library does.
     */
    int firstInvalidByte() const;

    /// Why the bytes cannot be walked at all (a declared encoding of 16 or 32
    /// bits on bytes without a byte order mark); null otherwise.
    const XmlError &error() const { return m_error; }

    /// The line and column of @p offset, clamped to the bytes.
    XmlPosition position(int offset) const;

private:
    void detectEncoding(const QByteArray &bytes);
    void buildLineIndex() const;

    QByteArray m_bytes;
    QByteArray m_encoding = "UTF-8";
    QByteArray m_declared;
    int m_start = 0;
    bool m_raw = true;
    bool m_decodedMark = false;
    XmlError m_error;
    mutable int m_invalid = -2; // -2: not looked for yet
    mutable std::vector<int> m_lineStarts;
    mutable int m_lastLine = 0;
    mutable int m_lastOffset = -1;
    mutable int m_lastColumn = 0;
};

/**
 * The events of a document, one at a time, in one linear pass over its
 * bytes: time and memory grow with the size of the document alone, however
 * deep it nests or many attributes a tag has, and no byte past the end is
 * read whatever the bytes are.
 *
 * The walk checks what it needs to give every event its place: tags,
 * quoting, references, comments, sections and declarations well formed,
 * end tags matching, one root. It does not judge which characters a name or
 * text may hold, nor repeated attributes (given as written, the library
 * reads the last); ZadUruru::checkWellFormed() judges a document whole.
 *
 * An element gives a StartElement and an EndElement event, an empty-element
 * tag `<a/>` included. Text between markup comes as one Text event with its
 * references in it, whitespace between elements too; whitespace outside the
 * root element gives no event. The XML declaration comes as the
 * ProcessingInstruction "xml".
 */
class XmlWalker
{
public:
    enum Event {
        NoEvent,               ///< before the first next()
        StartElement,          ///< span(): the start tag; attributes()
        EndElement,            ///< span(): the whole element; contentSpan(): between its tags
        Text,                  ///< span(): the raw run; text()
        CData,                 ///< span(): the section; contentSpan(): between "<![CDATA[" and "]]>"; text()
        Comment,               ///< span(): the comment; contentSpan(): between "<!--" and "-->"
        ProcessingInstruction, ///< name(): its target; contentSpan(): what follows the target
        DocumentType,          ///< name(): the root it names; contentSpan(): the internal subset, between '[' and ']'
        EndDocument,
        Error,                 ///< error()
    };

    /// Walks @p source, which must outlive the walker and every view it gives.
    explicit XmlWalker(const XmlSource &source);
    XmlWalker(XmlSource &&) = delete;

    /// The next event; EndDocument or Error once the walk is over, and again after.
    Event next();
    /// Whether next() has given EndDocument or Error.
    bool atEnd() const { return m_event == EndDocument || m_event == Error; }
    Event event() const { return m_event; }
    bool hasError() const { return m_event == Error; }
    const XmlError &error() const { return m_error; }

    /// The elements open around the event, the event's own counted: 1 for
    /// the root's start and end tags and for text directly inside it.
    int depth() const { return m_depth; }
    /// The element's name, the target of a processing instruction, the root named by a document type.
    XmlView name() const { return m_name; }
    XmlSpan span() const { return m_span; }
    XmlSpan contentSpan() const { return m_content; }
    /// Whether the element (StartElement, EndElement) was written `<a/>`;
    /// its contentSpan() is then empty, where its "/>" starts.
    bool isEmptyElement() const { return m_emptyElement; }
    /// At EndElement: whether the element holds elements.
    bool hasChildElements() const { return m_children; }

    /// At StartElement: the attributes in the order written.
    const std::vector<XmlAttribute> &attributes() const { return m_attributes; }
    /// At StartElement: the last attribute named @p name (the one the library reads), or null.
    const XmlAttribute *attribute(QLatin1String name) const;

    /**
     * Text as XML reads it: at Text, the run with references resolved; at
     * CData, the section's content; at the EndElement of an element without
     * child elements, its text and CDATA sections joined (comments and
     * processing instructions left out). Line ends (CR LF, a lone CR) read
     * as LF; a character reference to a CR keeps it. A reference to an
     * entity the walk does not expand stays as written.
     */
    QString text() const;

    /**
     * Whether values may differ from what a parser that applies the
     * document type's declarations reads: the internal subset declares
     * entities or attribute defaults or refers to parameter entities, or the
     * document refers to an entity other than the five predefined ones. Set
     * from the DocumentType event on, and at such a reference; a caller that
     * needs exact values reads such a document with the library instead.
     */
    bool hasUnexpandedDeclarations() const { return m_declarations; }

private:
    struct Open
    {
        int start;
        int nameBegin;
        int nameSize;
        int contentBegin;
        bool children;
    };

    Event fail(const char *at, const QString &message);
    Event startTag();
    Event endTag();
    Event emitEnd(int tagEnd, int contentEnd);
    Event textRun();
    Event cdata();
    Event comment();
    Event processingInstruction();
    Event documentType();
    bool internalSubset();
    bool reference(const char *&p, const char *limit, bool &unexpanded);
    XmlView nameAt(const char *&p) const;
    int offset(const char *p) const { return int(p - m_begin); }
    QString describe(const Open &open) const;

    const XmlSource &m_source;
    const char *const m_begin;
    const char *const m_end;
    const char *m_p;
    std::vector<Open> m_open;
    std::vector<XmlAttribute> m_attributes;
    bool m_rootSeen = false;
    bool m_doctypeSeen = false;
    bool m_pendingEnd = false;
    bool m_declarations = false;

    Event m_event = NoEvent;
    int m_depth = 0;
    XmlView m_name;
    XmlSpan m_span;
    XmlSpan m_content;
    bool m_emptyElement = false;
    bool m_children = false;
    bool m_textDecoding = false; // the Text or CData event holds references or CRs
    XmlError m_error;
};

/// A replacement of the bytes of a span.
struct XmlEdit
{
    XmlSpan span;
    QByteArray bytes;
};

/**
 * @p data with every edit's span replaced by its bytes, all other bytes as
 * they were. Returns false and leaves @p data alone when a span lies outside
 * the data or two spans overlap. The edits may come in any order.
 */
bool applyXmlEdits(QByteArray &data, std::vector<XmlEdit> edits);

/// @p value written for an attribute quoted with @p quote, so that XmlAttribute::value() reads it back.
QByteArray escapeXmlAttribute(const QString &value, char quote = '"');
/// @p text written as character data, so that XmlWalker::text() reads it back.
QByteArray escapeXmlText(const QString &text);
