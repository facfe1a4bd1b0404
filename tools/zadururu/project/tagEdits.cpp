#include "tagEdits.h"


#include <algorithm>
#include <cstring>

#include <functional>
#include <vector>

namespace {

// The value of an element as the readers read it, and whether it can be
// replaced in place: one run of text or one CDATA section, with nothing but
// comments and processing instructions beside it.
struct ElementValue
{
    int pieces = 0;
    bool children = false;
    bool cdata = false;
    XmlSpan span;   ///< the one piece: its text run, or its CDATA content
    QString text;   ///< every piece joined, as the readers read it
    int element = 0; ///< where the element's start tag begins
};

/**
 * A walk over a file that knows, for every element, its ancestors and
 * whether it is the first child of its name: the readers read the first
 * child of a name and skip the others. Each watched element's value is
 * gathered and handed over at its end.
 */
class Walk
{
public:
    explicit Walk(const QByteArray &bytes)
        : m_source(bytes)
        , m_walker(m_source)
    {
        if (!m_source.isRaw())
            refusal = QStringLiteral("it is encoded as %1, and only UTF-8 files are edited in place")
                          .arg(QString::fromLatin1(m_source.encoding()));
        else if (!m_source.error().isNull())
            refusal = m_source.error().text();
    }

    /// Whether the element at @p level (1: the root) is named @p name and the first of its name.
    bool is(int level, const char *name, bool first = true) const
    {
        return level <= m_depth && m_frames[level - 1].name == QLatin1String(name) && (!first || m_frames[level - 1].first);
    }
    int depth() const { return m_depth; }

    /**
     * Walks the file: @p start is called at each start tag (the walker at the
     * tag, its attributes readable) and returns whether to gather the
     * element's value, which @p end then gets; @p close is called at each end tag.
     */
    void run(const std::function<bool()> &start, const std::function<void(const ElementValue &)> &end,
             const std::function<void()> &close)
    {
        if (!refusal.isEmpty())
            return;
        int watched = 0; // the depth of the element whose value is gathered
        ElementValue value;
        while (!m_walker.atEnd()) {
            switch (m_walker.next()) {
            case XmlWalker::StartElement: {
                const XmlView name = m_walker.name();
                bool first = true;
                if (m_depth > 0) {
                    std::vector<XmlView> &seen = m_frames[m_depth - 1].seen;
                    first = std::find_if(seen.begin(), seen.end(), [&name](const XmlView &v) {
                                return v.size == name.size && std::memcmp(v.data, name.data, std::size_t(name.size)) == 0;
                            }) == seen.end();
                    if (first)
                        seen.push_back(name);
                }
                // Frames are kept for the next element at their depth, with the room of their lists.
                if (m_depth == int(m_frames.size()))
                    m_frames.emplace_back();
                Frame &frame = m_frames[m_depth++];
                frame.name = name;
                frame.first = first;
                frame.seen.clear();
                if (watched)
                    value.children = true;
                else if (start()) {
                    watched = depth();
                    value = ElementValue();
                    value.element = m_walker.span().begin;
                }
                break;
            }
            case XmlWalker::Text:
            case XmlWalker::CData:
                if (watched == depth()) {
                    ++value.pieces;
                    value.cdata = m_walker.event() == XmlWalker::CData;
                    value.span = value.cdata ? m_walker.contentSpan() : m_walker.span();
                    value.text += m_walker.text();
                }
                break;
            case XmlWalker::EndElement:
                if (watched == depth()) {
                    watched = 0;
                    end(value);
                }
                close();
                --m_depth;
                break;
            case XmlWalker::DocumentType:
                break;
            case XmlWalker::Error:
                refusal = m_walker.error().text();
                return;
            default:
                break;
            }
            if (m_walker.hasUnexpandedDeclarations()) {
                refusal = QStringLiteral("its document type declares entities or attribute defaults, which an edit in "
                                         "place cannot take into account");
                return;
            }
        }
    }

    const XmlWalker &walker() const { return m_walker; }
    XmlPosition position(int offset) const { return m_source.position(offset); }
    const QByteArray &bytes() const { return m_source.bytes(); }

    QString refusal;

private:
    struct Frame
    {
        XmlView name; ///< in the source's bytes, which outlive the walk
        bool first = true;
        std::vector<XmlView> seen;
    };

    XmlSource m_source;
    XmlWalker m_walker;
    std::vector<Frame> m_frames;
    int m_depth = 0;
};

// An edit of @p span to @p after, where the file's bytes are those of @p walk.
ValueEdit edit(const Walk &walk, XmlSpan span, const QByteArray &after)
{
    return {span, walk.bytes().mid(span.begin, span.size()), after, walk.position(span.begin)};
}

// An edit of the number in @p span to @p after: blanks around it, which the
// readers read past, stay as they are.
ValueEdit numberEdit(const Walk &walk, XmlSpan span, const QByteArray &after)
{
    const char *bytes = walk.bytes().constData();
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (span.begin < span.end && blank(bytes[span.begin]))
        ++span.begin;
    while (span.end > span.begin && blank(bytes[span.end - 1]))
        --span.end;
    return edit(walk, span, after);
}

// Whether the whole number a reader makes of @p text is @p id (QString::toInt: blanks around it are read past).
bool readsAs(const QString &text, int id)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return (ok ? value : 0) == id;
}

// The edit of an element's value to @p after, or why there can be none; @p what names the value.
bool valueEdit(const Walk &walk, const ElementValue &value, const QByteArray &after, const QString &what,
               QList<ValueEdit> *edits, QString *refusal, bool number = true)
{
    if (value.children || value.pieces != 1) {
        const XmlPosition at = walk.position(value.element);
        *refusal = QStringLiteral("%1 at line %2, column %3 is %4")
                       .arg(what).arg(at.line).arg(at.column)
                       .arg(value.children ? QStringLiteral("split by elements")
                                           : value.pieces ? QStringLiteral("split by comments or instructions")
                                                          : QStringLiteral("empty"));
        return false;
    }
    edits->append(number ? numberEdit(walk, value.span, after) : edit(walk, value.span, after));
    return true;
}

// A text for a CDATA section: "]]>" split across two sections, as the writers do.
QByteArray cdataText(const QString &text)
{
    return text.toUtf8().replace("]]>", "]]]]><![CDATA[>");
}

} // namespace

QByteArray FileEdits::applied(const QByteArray &bytes) const
{
    std::vector<XmlEdit> list;
    for (const ValueEdit &e : edits)
        list.push_back({e.span, e.after});
    QByteArray result = bytes;
    return applyXmlEdits(result, list) ? result : QByteArray();
}

FileEdits pageTagEdits(const QByteArray &bytes, int from, int to)
{
    FileEdits result;
    Walk walk(bytes);
    const QByteArray newId = QByteArray::number(to);
    // An item's kind is known at its end only: its ItemType may come last.
    QList<ValueEdit> component, schedule, chart, query;
    QString kind;
    bool typed = false;
    QString refusal;
    const auto attributeEdit = [&](const char *name, QList<ValueEdit> *edits) {
        if (const XmlAttribute *a = walk.walker().attribute(QLatin1String(name)))
            if (readsAs(a->value(), from))
                edits->append(numberEdit(walk, a->valueSpan, newId));
    };
    // What the watched element at the current depth is.
    enum Watch { None, ItemType, ScheduleTag, ReportTag };
    Watch watching = None;
    walk.run(
        [&] {
            watching = None;
            const int d = walk.depth();
            const bool inItem = d >= 3 && walk.is(2, "ItemList") && walk.is(3, "Item", false);
            if (d == 3 && inItem) {
                component.clear(), schedule.clear(), chart.clear(), query.clear();
                typed = false;
                kind.clear();
            } else if (d == 4 && inItem && walk.is(4, "ItemType")) {
                watching = ItemType;
            } else if (d == 4 && inItem && walk.is(4, "TagIDs")) {
                for (const char *name : {"tagID_image", "tagID_label", "tagID_width", "tagID_height", "tagID_posx",
                                         "tagID_posy", "tagID_rotAng", "tagID_txtColor", "tagID_maskColor",
                                         "tagID_maskOpac", "tagID_eventTarget", "tagID_cusProp1", "tagID_cusProp2",
                                         "tagID_cusProp3", "tagID_cusProp4", "tagID_cusProp5", "tagID_cusProp6",
                                         "tagID_cusProp7"})
                    attributeEdit(name, &component);
            } else if (d == 5 && inItem && walk.is(4, "TagIDs") && walk.is(5, "TagData", false)) {
                attributeEdit("Tag", &chart);
            } else if (d == 5 && inItem && walk.is(4, "TagIDs") && walk.is(5, "Tag", false)) {
                watching = ScheduleTag;
            } else if (d == 4 && inItem && walk.is(4, "reportTag")) {
                watching = ReportTag;
            } else if (d == 4 && walk.is(2, "PageProperties") && walk.is(3, "ScrollTags") && walk.is(4, "Tag", false)) {
                attributeEdit("TagID", &result.edits);
            }
            return watching != None;
        },
        [&](const ElementValue &value) {
            if (watching == ItemType) {
                typed = true;
                kind = value.children ? QString() : value.text;
                // The scene reader drops text that is only whitespace.
                if (kind.trimmed().isEmpty() && !value.cdata)
                    kind.clear();
            } else if (!value.children && readsAs(value.text, from)) {
                // (A value split by elements is left to the check of the result.)
                valueEdit(walk, value, newId, watching == ReportTag ? QStringLiteral("a reportTag") : QStringLiteral("a Tag"),
                          watching == ReportTag ? &query : &schedule, &refusal);
            }
            watching = None;
        },
        [&] {
            if (walk.depth() != 3 || !walk.is(2, "ItemList") || !walk.is(3, "Item", false))
                return;
            // As the page reader dispatches: no ItemType is a component instance.
            if (!typed || kind == QLatin1String("ScadaObject"))
                result.edits += component;
            else if (kind == QLatin1String("ScheduleItem"))
                result.edits += schedule;
            else if (kind == QLatin1String("RTChartItem"))
                result.edits += chart + schedule; // the older form of a line is a Tag text
            else if (kind == QLatin1String("DbqTextItem"))
                result.edits += query;
        });
    result.refusal = walk.refusal.isEmpty() ? refusal : walk.refusal;
    if (!result.refusal.isEmpty())
        result.edits.clear();
    return result;
}

FileEdits definitionsTagEdits(const QByteArray &bytes, int tagIndex, int from, int to, const QString &newName)
{
    FileEdits result;
    Walk walk(bytes);
    const bool byName = !newName.isNull();
    const QByteArray newId = QByteArray::number(to);
    int tags = 0;
    bool idSeen = false, nameSeen = false;
    QString refusal;
    enum Watch { None, TagId, TagName, AlarmBinding };
    Watch watching = None;
    QString field;
    walk.run(
        [&] {
            watching = None;
            const int d = walk.depth();
            if (d == 3 && walk.is(2, "TagList") && walk.is(3, "Tag", false))
                ++tags;
            else if (d == 4 && walk.is(2, "TagList") && walk.is(3, "Tag", false) && tags - 1 == tagIndex)
                watching = walk.is(4, "Id") && !byName ? TagId : walk.is(4, "Name") && byName ? TagName : None;
            else if (d == 4 && !byName && walk.is(2, "AlarmList") && walk.is(3, "Alarm", false)) {
                for (const char *name : {"tagID", "limit_tag_id", "limit_tag2_id"})
                    if (walk.is(4, name)) {
                        watching = AlarmBinding;
                        field = QLatin1String(name);
                    }
            }
            return watching != None;
        },
        [&](const ElementValue &value) {
            if (watching == TagName) {
                nameSeen = true;
                valueEdit(walk, value, value.cdata ? cdataText(newName) : escapeXmlText(newName),
                          QStringLiteral("the tag's Name"), &result.edits, &refusal, false);
            } else if (watching == TagId) {
                idSeen = true;
                valueEdit(walk, value, newId, QStringLiteral("the tag's Id"), &result.edits, &refusal);
            } else if (!value.children && readsAs(value.text, from)) {
                valueEdit(walk, value, newId, QStringLiteral("an alarm's %1").arg(field), &result.edits, &refusal);
            }
            watching = None;
        },
        [] {});
    if (walk.refusal.isEmpty() && refusal.isEmpty() && !(byName ? nameSeen : idSeen))
        refusal = QStringLiteral("the tag's %1 is not written in the file, so it cannot be edited in place")
                      .arg(byName ? QStringLiteral("Name") : QStringLiteral("Id"));
    result.refusal = walk.refusal.isEmpty() ? refusal : walk.refusal;
    if (!result.refusal.isEmpty())
        result.edits.clear();
    return result;
}

QByteArray unifiedDiff(const QString &name, const QByteArray &bytes, const QList<ValueEdit> &edits, int context)
{
    // The start of every line, and the line of an offset.
    QList<int> starts{0};
    for (int i = 0; i < bytes.size(); ++i)
        if (bytes.at(i) == '\n' && i + 1 < bytes.size())
            starts << i + 1;
    const auto lineOf = [&starts](int offset) { return int(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) - 1; };
    const auto lineEnd = [&](int line) { return line + 1 < starts.size() ? starts.at(line + 1) : bytes.size(); };
    const auto lines = [](const QByteArray &text) {
        QList<QByteArray> list = text.split('\n');
        if (!list.isEmpty() && list.last().isEmpty())
            list.removeLast();
        return list;
    };

    // Changed blocks: the lines that edits touch.
    struct Block
    {
        int first, last;
        QList<QByteArray> before, after;
    };
    QList<ValueEdit> sorted = edits;
    std::sort(sorted.begin(), sorted.end(), [](const ValueEdit &a, const ValueEdit &b) { return a.span.begin < b.span.begin; });
    QList<Block> blocks;
    for (int i = 0; i < sorted.size();) {
        const int first = lineOf(sorted.at(i).span.begin);
        int last = lineOf(qMax(sorted.at(i).span.begin, sorted.at(i).span.end - 1));
        int j = i + 1;
        // Changed lines that touch make one block, as diff -u shows them.
        for (; j < sorted.size() && lineOf(sorted.at(j).span.begin) <= last + 1; ++j)
            last = qMax(last, lineOf(qMax(sorted.at(j).span.begin, sorted.at(j).span.end - 1)));
        const int begin = starts.at(first), end = lineEnd(last);
        QByteArray changed = bytes.mid(begin, end - begin);
        for (int k = j - 1; k >= i; --k)
            changed.replace(sorted.at(k).span.begin - begin, sorted.at(k).span.size(), sorted.at(k).after);
        blocks.append({first, last, lines(bytes.mid(begin, end - begin)), lines(changed)});
        i = j;
    }

    QByteArray out = "--- a/" + name.toUtf8() + "\n+++ b/" + name.toUtf8() + "\n";
    const auto contextLines = [&](int from, int to) {
        QByteArray text;
        for (int line = from; line <= to; ++line)
            text += ' ' + bytes.mid(starts.at(line), lineEnd(line) - starts.at(line)).replace('\n', QByteArray()) + '\n';
        return text;
    };
    int shift = 0; // lines the hunks before added
    for (int i = 0; i < blocks.size();) {
        // A hunk: blocks close enough to share their context, as diff -u joins them.
        int j = i + 1;
        while (j < blocks.size() && blocks.at(j).first - blocks.at(j - 1).last - 1 <= 2 * context)
            ++j;
        const int first = qMax(0, blocks.at(i).first - context);
        const int last = qMin(int(starts.size()) - 1, blocks.at(j - 1).last + context);
        QByteArray body = contextLines(first, blocks.at(i).first - 1);
        int added = 0;
        for (int k = i; k < j; ++k) {
            const Block &block = blocks.at(k);
            for (const QByteArray &line : block.before)
                body += '-' + line + '\n';
            for (const QByteArray &line : block.after)
                body += '+' + line + '\n';
            added += block.after.size() - block.before.size();
            body += contextLines(block.last + 1, k + 1 < j ? blocks.at(k + 1).first - 1 : last);
        }
        const int count = last - first + 1;
        out += "@@ -" + QByteArray::number(first + 1) + ',' + QByteArray::number(count) + " +"
               + QByteArray::number(first + 1 + shift) + ',' + QByteArray::number(count + added) + " @@\n" + body;
        shift += added;
        i = j;
    }
    return out;
}
