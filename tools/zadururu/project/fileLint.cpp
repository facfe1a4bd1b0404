#include "fileLint.h"

#include "nearestName.h"
#include "xmlSource.h"

#include <QColor>
#include <QSet>

#include <cmath>
#include <optional>
#include <cstring>
#include <limits>
#include <vector>

using namespace ReaderVocabulary;

RecordPlace FileLint::place(const QString &kind, int index) const
{
    const auto it = places.constFind(kind);
    if (it == places.constEnd() || index < 0 || index >= it->size())
        return {};
    return it->at(index);
}

namespace {

// An element of a record, as the walk gave it: a light tree, one record at a time.
struct Node
{
    XmlView name;
    int offset = 0;         ///< of its start tag
    int firstAttribute = 0; ///< into Linter::m_attributes
    int attributeCount = 0;
    /// Its text and CDATA sections, joined as the readers join them: a
    /// span of the source's bytes while that is the text as it stands (the
    /// usual case, which costs no copy), else decoded into text.
    int rawBegin = -1;
    int rawSize = 0;
    QString text;
    int textOffset = -1;    ///< where its first text kept starts
    int firstChild = -1;
    int lastChild = -1;
    int next = -1;
};

QString nameText(XmlView name)
{
    return name.toString();
}

QStringList namesOf(const std::vector<Element> &elements)
{
    QStringList names;
    for (const Element &e : elements)
        names << (e.numbered ? e.name + QLatin1Char('1') : QString(e.name));
    return names;
}

QStringList namesOf(const std::vector<Attribute> &attributes)
{
    QStringList names;
    for (const Attribute &a : attributes)
        names << a.name;
    return names;
}

QString hint(const QString &name, const QStringList &known)
{
    const QString near = nearestName(name, known);
    return near.isEmpty() ? QString() : QStringLiteral("; did you mean %1?").arg(near);
}

// "empty", or the text in double quotes.
QString shown(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("empty") : QLatin1Char('"') + text + QLatin1Char('"');
}

// Whether the readers drop @p text as whitespace only, as the document tree does.
bool isBlank(const QString &text)
{
    for (const QChar c : text)
        if (!c.isSpace())
            return false;
    return true;
}

/**
 * A value to check: bytes of the source that need no decoding (a number,
 * mostly, read without a copy), or a text decoded from them.
 */
struct ValueText
{
    const char *data = nullptr; ///< the source's bytes, when isRaw
    int size = 0;
    QString decoded;
    bool isRaw = false;

    static ValueText bytes(const char *data, int size) { return {data, size, {}, true}; }
    static ValueText text(const QString &text) { return {nullptr, 0, text, false}; }

    QString string() const { return isRaw ? QString::fromUtf8(data, size) : decoded; }
    bool isEmpty() const { return isRaw ? size == 0 : decoded.isEmpty(); }
    /// Whether it is empty or only whitespace, which no number conversion takes.
    bool isBlank() const
    {
        if (!isRaw)
            return decoded.trimmed().isEmpty();
        for (int i = 0; i < size; ++i)
            if (data[i] != ' ' && data[i] != '\t' && data[i] != '\n' && data[i] != '\r')
                return false;
        return true;
    }
    bool equals(QLatin1String text) const
    {
        return isRaw ? size == text.size() && std::memcmp(data, text.data(), size_t(size)) == 0 : decoded == text;
    }
    bool contains(const char *bytes) const
    {
        return isRaw ? QByteArray::fromRawData(data, size).contains(bytes) : decoded.contains(QString::fromUtf8(bytes));
    }
    /**
     * Whether the value is a few plain digits, with a minus sign or not, as
     * nearly every number is: every conversion takes those as they stand,
     * so they need none of them.
     */
    bool plainInteger(int *value) const
    {
        if (!isRaw || size == 0 || size > 9)
            return false;
        const bool negative = data[0] == '-';
        int number = 0;
        for (int i = negative ? 1 : 0; i < size; ++i) {
            if (data[i] < '0' || data[i] > '9')
                return false;
            number = number * 10 + (data[i] - '0');
        }
        if (size == int(negative))
            return false;
        *value = negative ? -number : number;
        return true;
    }
    // The conversions the readers make, on the bytes when they are the text:
    // for ASCII they take and refuse what the text's conversions do.
    QByteArray view() const { return QByteArray::fromRawData(data, size); }
    int toInt(bool *ok) const
    {
        int value = 0;
        if (plainInteger(&value)) {
            if (ok)
                *ok = true;
            return value;
        }
        return isRaw ? view().toInt(ok, 10) : decoded.toInt(ok, 10);
    }
    uint toUInt(bool *ok) const { return isRaw ? view().toUInt(ok, 10) : decoded.toUInt(ok, 10); }
    qlonglong toLongLong(bool *ok) const { return isRaw ? view().toLongLong(ok, 10) : decoded.toLongLong(ok, 10); }
    qulonglong toULongLong(bool *ok) const { return isRaw ? view().toULongLong(ok, 10) : decoded.toULongLong(ok, 10); }
    float toFloat(bool *ok) const { return isRaw ? view().toFloat(ok) : decoded.toFloat(ok); }
    double toDouble(bool *ok) const { return isRaw ? view().toDouble(ok) : decoded.toDouble(ok); }
};

// The place of the child of @p element named @p name, looked for at @p hint first; -1 when none is.
int childIndex(const Element &element, XmlView name, int hint = 0)
{
    // A numbered child is never read by its bare name.
    const auto is = [&](int i) { return !element.children[size_t(i)].numbered && name == element.children[size_t(i)].name; };
    const int count = int(element.children.size());
    if (hint < count && is(hint))
        return hint;
    for (int i = 0; i < count; ++i)
        if (is(i))
            return i;
    return -1;
}

// N of a name written as @p prefix followed by N in decimal (N > 0, no leading zero); 0 for other names.
int numberOf(XmlView name, QLatin1String prefix)
{
    if (name.size <= prefix.size() || std::memcmp(name.data, prefix.data(), size_t(prefix.size())) != 0
        || name.data[prefix.size()] == '0')
        return 0;
    qint64 number = 0;
    for (int i = prefix.size(); i < name.size; ++i) {
        if (name.data[i] < '0' || name.data[i] > '9' || number > std::numeric_limits<int>::max() / 10)
            return 0;
        number = number * 10 + (name.data[i] - '0');
    }
    return number <= std::numeric_limits<int>::max() ? int(number) : 0;
}

class Linter
{
public:
    Linter(const QByteArray &bytes, const QString &file, FileKind kind)
        : m_source(bytes)
        , m_walker(m_source)
        , m_file(file)
        , m_kind(kind)
        , m_dropBlank(dropsWhitespaceText(kind))
    {
    }

    FileLint run();

private:
    struct Open
    {
        const Element *element;
        quint64 seen = 0; ///< the children met, by their place in element->children
    };

    void checkEncoding();
    void startElement();
    void endElement();
    void text(bool cdata);
    ValueText valueOf(const Node &node) const;
    QString textOf(const Node &node) const;

    void checkRecord(int root, const Element &element);
    /// A record met: its kind and place, named only when a finding needs it.
    struct Rec
    {
        int root = 0;               ///< its node
        QString kind;               ///< empty for the file as a whole
        int index = 0;              ///< its place among the records of its kind, from 1
        mutable std::optional<RecordRef> ref;
    };
    void checkNode(int index, const Element &element, const Rec &record);
    void checkValue(const ValueText &text, int offset, const Value &value, QLatin1String element, QLatin1String attribute,
                    const Rec &record);
    Rec recordOf(int root, const Element &element);
    const RecordRef &refOf(const Rec &record) const;
    const Node *childNamed(int parent, QLatin1String name) const;

    void add(FindingCode code, int offset, const Rec &record, const QString &message);
    Rec fileRecord() const { return Rec(); }
    int offsetOf(const char *p) const { return int(p - m_source.bytes().constData()); }

    XmlSource m_source;
    XmlWalker m_walker;
    QString m_file;
    FileKind m_kind;
    bool m_dropBlank;
    bool m_undeclared = false; ///< the file is not UTF-8 and says nothing of it (W101 given)
    bool m_declaresEncoding = false;
    FileLint m_result;

    std::vector<Open> m_open;       ///< the elements above records, from the document element
    int m_skipDepth = 0;            ///< > 0 inside an element that is not checked
    std::vector<Node> m_nodes;      ///< the record being read
    std::vector<XmlAttribute> m_attributes;
    std::vector<int> m_path;        ///< the open nodes of the record
    const Element *m_recordElement = nullptr;
    /// The records met of one kind, and where they stand.
    struct Kind
    {
        QString name;
        int count = 0;
        QVector<RecordPlace> places;
    };
    QHash<const Element *, Kind> m_kinds;
    Kind m_unknownItems{QStringLiteral("item"), 0, {}};
    Kind &kindOf(const Element &element);
    void notePlace(Kind &kind, int offset);
};

FileLint Linter::run()
{
    if (!m_source.error().isNull())
        return m_result;
    bool done = false;
    while (!done) {
        switch (m_walker.next()) {
        case XmlWalker::StartElement:
            startElement();
            break;
        case XmlWalker::EndElement:
            endElement();
            break;
        case XmlWalker::Text:
            text(false);
            break;
        case XmlWalker::CData:
            text(true);
            break;
        case XmlWalker::ProcessingInstruction:
            if (m_walker.name() == QLatin1String("xml")) {
                const XmlSpan content = m_walker.contentSpan();
                m_declaresEncoding = QByteArray::fromRawData(m_source.bytes().constData() + content.begin, content.size())
                                         .contains("encoding");
            }
            break;
        case XmlWalker::EndDocument:
        case XmlWalker::Error:
            done = true;
            break;
        default:
            break;
        }
    }
    for (const Kind &kind : qAsConst(m_kinds))
        m_result.places.insert(kind.name, kind.places);
    if (m_unknownItems.count > 0)
        m_result.places.insert(m_unknownItems.name, m_unknownItems.places);
    return m_result;
}

// The declaration, if there is one, comes before the document element.
void Linter::checkEncoding()
{
    if (!m_source.isRaw() || m_declaresEncoding)
        return;
    const int invalid = m_source.firstInvalidByte();
    if (invalid < 0)
        return;
    m_undeclared = true;
    add(FindingCode::UndeclaredEncoding, invalid, fileRecord(),
        QStringLiteral("the file is not UTF-8 (this byte is not valid UTF-8) and declares no encoding, so every such "
                       "character reads as U+FFFD; declare its encoding (<?xml version=\"1.0\" "
                       "encoding=\"ISO-8859-1\"?>) or save it as UTF-8"));
}

void Linter::add(FindingCode code, int offset, const Rec &record, const QString &message)
{
    const XmlPosition at = m_source.position(offset);
    m_result.findings.append(Finding{code, refOf(record), at.line, at.column, message});
}

void Linter::startElement()
{
    const XmlView name = m_walker.name();
    const int offset = m_walker.span().begin;
    if (m_skipDepth > 0) {
        ++m_skipDepth;
        return;
    }
    if (!m_path.empty()) {
        // Inside a record: kept for its check at the record's end.
        Node node;
        node.name = name;
        node.offset = offset;
        node.firstAttribute = int(m_attributes.size());
        node.attributeCount = int(m_walker.attributes().size());
        m_attributes.insert(m_attributes.end(), m_walker.attributes().begin(), m_walker.attributes().end());
        const int index = int(m_nodes.size());
        Node &parent = m_nodes[size_t(m_path.back())];
        if (parent.lastChild >= 0)
            m_nodes[size_t(parent.lastChild)].next = index;
        else
            parent.firstChild = index;
        parent.lastChild = index;
        m_nodes.push_back(std::move(node));
        m_path.push_back(index);
        return;
    }

    const Element *element = nullptr;
    if (m_open.empty()) {
        checkEncoding();
        element = &document(m_kind);
        if (name != element->name) {
            add(FindingCode::WrongDocument, offset, fileRecord(),
                QStringLiteral("the document element is %1, not %2: this is no %3")
                    .arg(nameText(name), element->name, fileKindName(m_kind)));
            m_skipDepth = 1;
            return;
        }
    } else {
        Open &parent = m_open.back();
        const int at = childIndex(*parent.element, name);
        if (at < 0) {
            const QString childName = nameText(name);
            add(FindingCode::UnknownElement, offset, fileRecord(),
                QStringLiteral("no reader reads the element %1 inside %2%3")
                    .arg(childName, parent.element->name, hint(childName, namesOf(parent.element->children))));
            m_skipDepth = 1;
            return;
        }
        element = &parent.element->children[size_t(at)];
        if (!element->list && (parent.seen & (quint64(1) << at))) {
            add(FindingCode::RepeatedElement, offset, fileRecord(),
                QStringLiteral("a second %1 inside %2: only the first is read").arg(element->name, parent.element->name));
            m_skipDepth = 1;
            return;
        }
        parent.seen |= quint64(1) << at;
    }

    if (!element->record.isEmpty() || name == QLatin1String("Item")) {
        // A record: read whole, then checked.
        m_nodes.clear();
        m_attributes.clear();
        Node node;
        node.name = name;
        node.offset = offset;
        node.attributeCount = int(m_walker.attributes().size());
        m_attributes.assign(m_walker.attributes().begin(), m_walker.attributes().end());
        m_nodes.push_back(std::move(node));
        m_path.assign(1, 0);
        m_recordElement = element;
        return;
    }
    for (const XmlAttribute &attribute : m_walker.attributes())
        add(FindingCode::UnknownAttribute, offsetOf(attribute.name.data), fileRecord(),
            QStringLiteral("no reader reads the attribute %1 of %2").arg(nameText(attribute.name), element->name));
    m_open.push_back({element, 0});
}

void Linter::endElement()
{
    if (m_skipDepth > 0) {
        --m_skipDepth;
        return;
    }
    if (!m_path.empty()) {
        m_path.pop_back();
        if (m_path.empty())
            checkRecord(0, *m_recordElement);
        return;
    }
    if (!m_open.empty())
        m_open.pop_back();
}

void Linter::text(bool cdata)
{
    if (m_skipDepth > 0 || m_path.empty())
        return;
    Node &node = m_nodes[size_t(m_path.back())];
    const XmlSpan span = cdata ? m_walker.contentSpan() : m_walker.span();
    const char *const bytes = m_source.bytes().constData() + span.begin;
    // One look at the run: whether it is blank, and whether it is its own
    // text (no references, no carriage returns to read as line feeds).
    bool blank = !cdata;
    bool asWritten = true;
    for (int i = 0; i < span.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || (c == '&' && !cdata))
            asWritten = false;
        else if (c != ' ' && c != '\t' && c != '\n')
            blank = false;
    }
    // Blank runs between elements: dropped by the scene and library
    // readers, and never read from an element that holds elements.
    if (blank && (m_dropBlank || node.firstChild >= 0))
        return;
    if (asWritten && node.textOffset < 0) {
        node.rawBegin = span.begin;
        node.rawSize = span.size();
        node.textOffset = span.begin;
        return;
    }
    const QString text = m_walker.text();
    if (!cdata && m_dropBlank && isBlank(text))
        return;
    if (node.textOffset < 0)
        node.textOffset = span.begin;
    if (node.rawBegin >= 0) {
        node.text = QString::fromUtf8(m_source.bytes().constData() + node.rawBegin, node.rawSize);
        node.rawBegin = -1;
    }
    node.text += text;
}

ValueText Linter::valueOf(const Node &node) const
{
    if (node.rawBegin >= 0)
        return ValueText::bytes(m_source.bytes().constData() + node.rawBegin, node.rawSize);
    return ValueText::text(node.text);
}

QString Linter::textOf(const Node &node) const
{
    return valueOf(node).string();
}

const Node *Linter::childNamed(int parent, QLatin1String name) const
{
    for (int i = m_nodes[size_t(parent)].firstChild; i >= 0; i = m_nodes[size_t(i)].next)
        if (m_nodes[size_t(i)].name == name)
            return &m_nodes[size_t(i)];
    return nullptr;
}

// The record the element at @p root is, with its place noted.
Linter::Rec Linter::recordOf(int root, const Element &element)
{
    Kind &kind = kindOf(element);
    notePlace(kind, m_nodes[size_t(root)].offset);
    Rec record;
    record.root = root;
    record.kind = kind.name;
    record.index = kind.count;
    return record;
}

// @p record named as the readers' records are: by Uid, Id or place, with its name.
const RecordRef &Linter::refOf(const Rec &record) const
{
    if (record.ref)
        return *record.ref;
    const int root = record.root;
    const auto childText = [&](const char *name) {
        const Node *child = childNamed(root, QLatin1String(name));
        return child ? textOf(*child) : QString(QLatin1String(""));
    };
    const auto attribute = [&](int node, const char *name) {
        const Node &n = m_nodes[size_t(node)];
        const XmlAttribute *found = nullptr;
        for (int i = 0; i < n.attributeCount; ++i)
            if (m_attributes[size_t(n.firstAttribute + i)].name == QLatin1String(name))
                found = &m_attributes[size_t(n.firstAttribute + i)]; // the last of a name, as the readers take it
        return found ? found->value() : QString(QLatin1String(""));
    };
    const auto childInt = [&](const char *name, int absent) {
        const Node *child = childNamed(root, QLatin1String(name));
        return child ? valueOf(*child).toInt(nullptr) : absent;
    };
    RecordRef ref{m_file, record.kind, -1, -1, 0, {}};
    const QString &kind = record.kind;
    if (kind == QLatin1String("component")) {
        const Node *properties = childNamed(root, QLatin1String("Properties"));
        const int p = properties ? int(properties - m_nodes.data()) : -1;
        ref.uid = p >= 0 ? attribute(p, "Uid").toInt(nullptr, 10) : 0;
        ref.name = p >= 0 ? attribute(p, "Name") : QString(QLatin1String(""));
    } else if (kind == QLatin1String("channel")) {
        ref.id = childInt("Id", -1);
        ref.name = childText("Name");
    } else if (kind == QLatin1String("tag")) {
        ref.id = childInt("Id", 0);
        ref.name = childText("Name");
    } else if (kind == QLatin1String("alarm")) {
        ref.id = childInt("Id", 0);
        ref.name = childText("alarm_name");
    } else if (kind == QLatin1String("library component")) {
        ref.id = childInt("objectUID", 0);
        ref.name = attribute(root, "name");
    } else if (!kind.isEmpty() && kind != QLatin1String("page")) {
        ref.index = record.index;
    }
    record.ref = ref;
    return *record.ref;
}

Linter::Kind &Linter::kindOf(const Element &element)
{
    auto it = m_kinds.find(&element);
    if (it == m_kinds.end())
        it = m_kinds.insert(&element, Kind{element.record, 0, {}});
    return *it;
}

void Linter::notePlace(Kind &kind, int offset)
{
    const XmlPosition at = m_source.position(offset);
    kind.places.append({at.line, at.column});
    ++kind.count;
}

void Linter::checkRecord(int root, const Element &element)
{
    if (m_nodes[size_t(root)].name != QLatin1String("Item")) {
        // The loader keeps a "None" channel of its own and drops the file's.
        if (element.record == QLatin1String("channel")) {
            const Node *name = childNamed(root, QLatin1String("Name"));
            if (name && valueOf(*name).equals(QLatin1String("None")))
                return;
        }
        checkNode(root, element, recordOf(root, element));
        return;
    }
    // An Item is of the kind its first ItemType names; without one, a component instance.
    const Node *type = childNamed(root, QLatin1String("ItemType"));
    const ValueText typeValue = type ? valueOf(*type) : ValueText::text(QStringLiteral("ScadaObject"));
    const ItemKind *kind = nullptr;
    for (const ItemKind &k : itemKinds())
        if (typeValue.equals(k.itemType))
            kind = &k;
    if (!kind) {
        const QString typeText = typeValue.string();
        QStringList kinds;
        for (const ItemKind &k : itemKinds())
            kinds << k.itemType;
        notePlace(m_unknownItems, m_nodes[size_t(root)].offset);
        Rec item;
        item.root = root;
        item.kind = m_unknownItems.name;
        item.index = m_unknownItems.count;
        add(FindingCode::UnknownItemKind, type->textOffset >= 0 ? type->textOffset : type->offset, item,
            QStringLiteral("its ItemType %1 is no kind the readers know, so the item is dropped%2")
                .arg(shown(typeText), hint(typeText, kinds)));
        return;
    }
    const Rec record = recordOf(root, *kind->item);
    if (!type)
        add(FindingCode::UnknownItemKind, m_nodes[size_t(root)].offset, record,
            QStringLiteral("the item has no ItemType, so it is read as a component instance"));
    checkNode(root, *kind->item, record);
}

void Linter::checkNode(int index, const Element &element, const Rec &record)
{
    const Node &node = m_nodes[size_t(index)];
    const int attributes = int(element.attributes.size());
    for (int i = 0; i < node.attributeCount; ++i) {
        const XmlAttribute &attribute = m_attributes[size_t(node.firstAttribute + i)];
        // Attributes mostly come in the order the writers write them: looked for there first.
        const Attribute *known = nullptr;
        if (i < attributes && attribute.name == element.attributes[size_t(i)].name) {
            known = &element.attributes[size_t(i)];
        } else {
            for (const Attribute &a : element.attributes)
                if (attribute.name == a.name)
                    known = &a;
        }
        if (!known) {
            const QString name = nameText(attribute.name);
            add(FindingCode::UnknownAttribute, offsetOf(attribute.name.data), record,
                QStringLiteral("no reader reads the attribute %1 of %2%3")
                    .arg(name, element.name, hint(name, namesOf(element.attributes))));
        } else {
            const ValueText value = attribute.needsDecoding ? ValueText::text(attribute.value())
                                                            : ValueText::bytes(attribute.rawValue.data, attribute.rawValue.size);
            checkValue(value, attribute.valueSpan.begin, known->value, element.name, known->name, record);
        }
    }
    if (element.hasValue)
        checkValue(valueOf(node), node.textOffset >= 0 ? node.textOffset : node.offset, element.value, element.name,
                   QLatin1String(), record);

    // Numbered children (image1, image2...) are read up to the first number missing.
    int numbered = -1;
    for (size_t e = 0; e < element.children.size(); ++e)
        if (element.children[e].numbered)
            numbered = int(e);
    int readUpTo = 0;
    if (numbered >= 0) {
        QSet<int> numbers;
        for (int c = node.firstChild; c >= 0; c = m_nodes[size_t(c)].next)
            numbers.insert(numberOf(m_nodes[size_t(c)].name, element.children[size_t(numbered)].name));
        while (numbers.contains(readUpTo + 1))
            ++readUpTo;
    }

    quint64 seen = 0;
    QSet<int> numbersSeen;
    int hintAt = 0;
    for (int c = node.firstChild; c >= 0; c = m_nodes[size_t(c)].next) {
        const Node &child = m_nodes[size_t(c)];
        int at = childIndex(element, child.name, hintAt);
        if (at >= 0) {
            hintAt = at + 1;
        } else if (numbered >= 0) {
            const int number = numberOf(child.name, element.children[size_t(numbered)].name);
            if (number > 0 && number <= readUpTo && !numbersSeen.contains(number)) {
                numbersSeen.insert(number);
                checkNode(c, element.children[size_t(numbered)], record);
                continue;
            }
            if (number > 0) {
                const QString name = nameText(child.name);
                add(number <= readUpTo ? FindingCode::RepeatedElement : FindingCode::UnknownElement, child.offset, record,
                    number <= readUpTo ? QStringLiteral("a second %1 inside %2: only the first is read").arg(name, element.name)
                                       : QStringLiteral("%1 is not read, since there is no %2%3: the readers stop at "
                                                        "the first number missing")
                                             .arg(name, element.children[size_t(numbered)].name).arg(readUpTo + 1));
                continue;
            }
        }
        if (at < 0) {
            const QString name = nameText(child.name);
            add(FindingCode::UnknownElement, child.offset, record,
                element.hasValue ? QStringLiteral("the element %1 inside %2 is not read").arg(name, element.name)
                                 : QStringLiteral("no reader reads the element %1 inside %2%3")
                                       .arg(name, element.name, hint(name, namesOf(element.children))));
            continue;
        }
        const Element &known = element.children[size_t(at)];
        if (!known.list && (seen & (quint64(1) << at))) {
            add(FindingCode::RepeatedElement, child.offset, record,
                QStringLiteral("a second %1 inside %2: only the first is read").arg(known.name, element.name));
            continue;
        }
        seen |= quint64(1) << at;
        if (known.record.isEmpty())
            checkNode(c, known, record);
        else
            checkNode(c, known, recordOf(c, known));
    }
    for (size_t e = 0; e < element.children.size(); ++e) {
        const Element &child = element.children[e];
        if (child.hasValue && child.value.absentEffect && !(seen & (quint64(1) << e)))
            add(FindingCode::AbsentDefault, node.offset, record,
                QStringLiteral("it has no %1 element, so %2").arg(child.name, QLatin1String(child.value.absentEffect)));
    }
}

void Linter::checkValue(const ValueText &text, int offset, const Value &value, QLatin1String element,
                        QLatin1String attribute, const Rec &record)
{
    // Made only for a finding: most values have none.
    const auto whatText = [&] {
        return attribute.isEmpty() ? QString(element) : QStringLiteral("the attribute %1 of %2").arg(attribute, element);
    };
    // U+FFFD is EF BF BD in UTF-8; bytes not valid in it read as one too.
    const bool replaced = !text.isRaw ? text.decoded.contains(QChar(0xFFFD))
                          : m_source.firstInvalidByte() >= 0 ? text.string().contains(QChar(0xFFFD))
                                                             : std::memchr(text.data, 0xEF, size_t(text.size))
                                                                   && text.contains("\xEF\xBF\xBD");
    if (replaced && !m_undeclared)
        add(FindingCode::ReplacementCharacter, offset, record,
            QStringLiteral("%1 holds U+FFFD, the mark of bytes that are not valid in the file's encoding (%2), or of "
                           "an earlier such reading saved back").arg(whatText(), QString::fromLatin1(m_source.encoding())));
    if (value.kind == ValueKind::Text)
        return;
    const auto unparsed = [&](const char *as) {
        QString message = QStringLiteral("%1 is %2, which is not %3, so it reads as 0").arg(whatText(), shown(text.string()), QLatin1String(as));
        if (value.absent && value.absent[0] != '(' && QLatin1String(value.absent) != QLatin1String("0"))
            message += QStringLiteral(" (absent, it would read as %1)").arg(QLatin1String(value.absent));
        add(FindingCode::UnparsedNumber, offset, record, message);
    };
    // Plain digits every conversion takes; no conversion takes blank text,
    // which the byte conversions would take as a float.
    int plain = 0;
    const bool isPlain = text.plainInteger(&plain);
    if (isPlain && value.kind != ValueKind::Int8 && value.kind != ValueKind::UInt8 && value.kind != ValueKind::Colour
        && (plain >= 0 || (value.kind != ValueKind::UInt && value.kind != ValueKind::UInt64)))
        return;
    bool ok = !text.isBlank();
    switch (value.kind) {
    case ValueKind::Text:
        break;
    case ValueKind::Colour:
        if (text.isEmpty() ? !value.emptyReadsAsAbsent : !QColor::isValidColor(text.string()))
            add(FindingCode::InvalidColour, offset, record,
                QStringLiteral("%1 is %2, which is no colour (#RRGGBB, #RGB or a colour name)").arg(whatText(), shown(text.string())));
        break;
    case ValueKind::Int:
    case ValueKind::Bool:
        if (ok)
            text.toInt(&ok);
        if (!ok)
            unparsed(value.kind == ValueKind::Bool ? "a number (0 is false, any other true)" : "a whole number");
        break;
    case ValueKind::UInt:
        if (ok)
            text.toUInt(&ok);
        if (!ok)
            unparsed("a whole number of 0 or more");
        break;
    case ValueKind::Int64:
        if (ok)
            text.toLongLong(&ok);
        if (!ok)
            unparsed("a whole number");
        break;
    case ValueKind::UInt64:
        if (ok)
            text.toULongLong(&ok);
        if (!ok)
            unparsed("a whole number of 0 or more");
        break;
    case ValueKind::Int8:
    case ValueKind::UInt8: {
        const int number = ok ? text.toInt(&ok) : 0;
        if (!ok) {
            unparsed("a whole number");
            break;
        }
        const int kept = value.kind == ValueKind::Int8 ? int(qint8(quint8(number & 0xff))) : int(quint8(number & 0xff));
        if (kept != number)
            add(FindingCode::ChangedNumber, offset, record,
                QStringLiteral("%1 is %2, but only its low 8 bits are kept: it reads as %3").arg(whatText()).arg(number).arg(kept));
        break;
    }
    case ValueKind::Float:
    case ValueKind::Double: {
        const double number = !ok ? 0 : value.kind == ValueKind::Float ? double(text.toFloat(&ok)) : text.toDouble(&ok);
        if (!ok || !std::isfinite(number))
            unparsed("a finite number");
        break;
    }
    case ValueKind::Coordinate: {
        const float number = ok ? text.toFloat(&ok) : 0;
        if (!ok || !(number >= -2147483648.0f && number < 2147483648.0f))
            unparsed("a number");
        else if (number != std::trunc(number))
            add(FindingCode::ChangedNumber, offset, record,
                QStringLiteral("%1 is %2, but positions are whole numbers: it reads as %3")
                    .arg(whatText(), text.string().trimmed()).arg(int(number)));
        break;
    }
    case ValueKind::IdList: {
        QString ids = text.string();
        ids.remove(QLatin1Char('{')).remove(QLatin1Char('}'));
        for (const QString &piece : ids.split(QLatin1Char(','))) {
            if (piece.isEmpty())
                continue;
            piece.toInt(&ok, 10);
            if (!ok)
                add(FindingCode::UnparsedNumber, offset, record,
                    QStringLiteral("%1 holds %2, which is not a whole number, so it is left out of the list").arg(whatText(), shown(piece)));
        }
        break;
    }
    }
}

} // namespace

FileLint lintFile(const QByteArray &bytes, const QString &file, FileKind kind)
{
    return Linter(bytes, file, kind).run();
}
