#include "xmlLimits_p.h"

#include <QHash>
#include <QVector>

#include <optional>

namespace ZadUruru {

namespace {

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// Wider than the names of XML: whatever does not end a name is taken for part
// of one, so that no reference the parser resolves goes uncounted.
bool isNameChar(QChar c)
{
    return !isSpace(c) && !QStringView(u";&%<>\"'#[]").contains(c);
}

// The value of a hexadecimal or decimal digit; -1 for other characters.
int digitValue(QChar c, bool hex)
{
    return hex ? int(QStringView(u"0123456789abcdef").indexOf(c.toLower())) : c.digitValue();
}

/**
 * An entity's literal as the parser keeps it for its references: character
 * references are replaced when the entity is declared, so that "&#38;" in a
 * literal makes a reference of the name after it.
 */
QString replacementText(QStringView literal)
{
    QString text;
    for (int i = 0; i < literal.size(); ++i) {
        if (literal.mid(i).startsWith(u"&#")) {
            const bool hex = literal.mid(i).startsWith(u"&#x");
            const int digits = i + int(QStringView(hex ? u"&#x" : u"&#").size());
            int end = digits;
            while (end < literal.size() && digitValue(literal[end], hex) >= 0)
                ++end;
            // One that the parser refuses (no digits, too large) may stand for
            // anything: it makes no reference either way.
            const uint code = literal.mid(digits, end - digits).toString().toUInt(nullptr, hex ? 16 : 10);
            if (end < literal.size() && literal[end] == u';') {
                text += QString::fromUcs4(&code, 1);
                i = end;
                continue;
            }
        }
        text += literal[i];
    }
    return text;
}

// The length of the reference to an entity at @p at, "&name;" or "%name;"; 0
// when none stands there.
int referenceLength(QStringView text, int at)
{
    int end = at + 1;
    while (end < text.size() && isNameChar(text[end]))
        ++end;
    return end > at + 1 && end < text.size() && text[end] == u';' ? end - at + 1 : 0;
}

// Whether @p text holds a parameter entity reference.
bool hasParameterReference(QStringView text)
{
    for (int i = text.indexOf(u'%'); i >= 0; i = text.indexOf(u'%', i + 1)) {
        if (referenceLength(text, i) > 0)
            return true;
    }
    return false;
}

class EntityScan
{
public:
    explicit EntityScan(QStringView text)
        : m_text(text)
        , m_allowed(qint64(maxXmlEntityExpansion - 1) * text.size())
    {
    }

    XmlLimit run();

private:
    struct Entity
    {
        QStringView literal;
        bool external = false;
        enum { Unweighed, Weighing, Weighed } state = Unweighed;
        qint64 weight = 0;
    };

    bool at(QStringView s) const { return m_text.mid(m_p).startsWith(s); }

    // Past the markup @p s, which stands at the position.
    void step(QStringView s) { m_p += int(s.size()); }

    // Past a comment, whose opening stands at the position; false when it does not end.
    bool skipComment()
    {
        step(u"<!--");
        return skipPast(u"-->");
    }

    // Past the next @p end; false when there is none.
    bool skipPast(QStringView end)
    {
        const qsizetype found = m_text.mid(m_p).indexOf(end);
        if (found < 0)
            return false;
        m_p += int(found + end.size());
        return true;
    }

    void skipSpace()
    {
        while (m_p < m_text.size() && isSpace(m_text[m_p]))
            ++m_p;
    }

    // The rest of a markup declaration, to its '>', stepping over quoted
    // literals, which go to @p literals. What ends the scan, if anything: a
    // declaration cut short (which the parser refuses), or a parameter entity
    // reference.
    std::optional<XmlLimit> declaration(QVector<QStringView> *literals)
    {
        while (m_p < m_text.size()) {
            const QChar c = m_text[m_p];
            if (c == u'>') {
                ++m_p;
                return std::nullopt;
            }
            if (c == u'"' || c == u'\'') {
                const qsizetype close = m_text.indexOf(c, m_p + 1);
                if (close < 0)
                    return XmlLimit::None;
                literals->append(m_text.mid(m_p + 1, close - m_p - 1));
                m_p = int(close + 1);
            } else if (c == u'%' && referenceLength(m_text, m_p) > 0) {
                return XmlLimit::DocumentType;
            } else {
                ++m_p;
            }
        }
        return XmlLimit::None;
    }

    std::optional<XmlLimit> entityDeclaration();
    XmlLimit internalSubset();
    qint64 add(qint64 total, qint64 more) const { return qMin(total + more, m_allowed + 1); }
    qint64 weight(Entity &entity);
    qint64 references(QStringView text);

    const QStringView m_text;
    const qint64 m_allowed;
    int m_p = 0;
    int m_declarations = 0;
    QHash<QStringView, Entity> m_entities;
    QVector<QStringView> m_attributeDefaults;
};

XmlLimit EntityScan::run()
{
    if (!m_text.contains(u"<!ENTITY"))
        return XmlLimit::None;
    // The prolog up to the document type (the decoder has dropped a byte
    // order mark); an entity declared anywhere else is not one, and a prolog
    // cut short is refused by the parser.
    for (;;) {
        skipSpace();
        if (at(u"<?")) {
            if (!skipPast(u"?>"))
                return XmlLimit::None;
        } else if (at(u"<!--")) {
            if (!skipComment())
                return XmlLimit::None;
        } else if (at(u"<!DOCTYPE")) {
            break;
        } else {
            return XmlLimit::None;
        }
    }
    // Its name and external identifier, to the internal subset.
    for (;;) {
        if (m_p == m_text.size() || m_text[m_p] == u'>')
            return XmlLimit::None;
        if (m_text[m_p] == u'[')
            break;
        const QChar c = m_text[m_p];
        ++m_p;
        if ((c == u'"' || c == u'\'') && !skipPast(QStringView(&c, 1)))
            return XmlLimit::None;
    }
    ++m_p;
    const XmlLimit subset = internalSubset();
    if (subset != XmlLimit::None)
        return subset;

    qint64 replaced = references(m_text.mid(m_p));
    for (QStringView literal : qAsConst(m_attributeDefaults))
        replaced = add(replaced, references(literal));
    return replaced > m_allowed ? XmlLimit::EntityExpansion : XmlLimit::None;
}

XmlLimit EntityScan::internalSubset()
{
    for (;;) {
        skipSpace();
        if (at(u"]"))
            break;
        if (at(u"<!--")) {
            if (!skipComment())
                return XmlLimit::None;
        } else if (at(u"<?")) {
            if (!skipPast(u"?>"))
                return XmlLimit::None;
        } else if (at(u"<!ENTITY")) {
            if (const std::optional<XmlLimit> end = entityDeclaration())
                return *end;
        } else if (at(u"<!ELEMENT") || at(u"<!ATTLIST") || at(u"<!NOTATION")) {
            if (const std::optional<XmlLimit> end = declaration(&m_attributeDefaults))
                return *end;
        } else if (m_p < m_text.size()) {
            // A parameter entity reference, or what the parser may take for a declaration.
            return XmlLimit::DocumentType;
        } else {
            return XmlLimit::None;
        }
    }
    ++m_p;
    return XmlLimit::None;
}

// An entity declaration; what ends the scan, if anything, as for declaration().
std::optional<XmlLimit> EntityScan::entityDeclaration()
{
    if (++m_declarations > maxXmlEntityDeclarations)
        return XmlLimit::EntityDeclarations;
    step(u"<!ENTITY");
    skipSpace();
    const bool parameter = at(u"%");
    if (parameter) {
        ++m_p;
        skipSpace();
    }
    const int nameStart = m_p;
    while (m_p < m_text.size() && isNameChar(m_text[m_p]))
        ++m_p;
    const QStringView name = m_text.mid(nameStart, m_p - nameStart);
    skipSpace();
    Entity entity;
    entity.external = !at(u"\"") && !at(u"'");
    QVector<QStringView> literals;
    if (const std::optional<XmlLimit> end = declaration(&literals))
        return *end;
    if (!entity.external) {
        entity.literal = literals.first();
        // Parameter entities in a literal are replaced as it is declared.
        if (hasParameterReference(entity.literal))
            return XmlLimit::DocumentType;
    }
    // The first declaration of a name holds; parameter entities are referenced by none that is counted.
    if (!parameter && !m_entities.contains(name))
        m_entities.insert(name, entity);
    return std::nullopt;
}

qint64 EntityScan::weight(Entity &entity)
{
    if (entity.external)
        return 0;
    if (entity.state == Entity::Weighed)
        return entity.weight;
    // An entity that refers to itself never ends; the parser refuses it.
    if (entity.state == Entity::Weighing)
        return m_allowed + 1;
    entity.state = Entity::Weighing;
    const QString text = replacementText(entity.literal);
    entity.weight = add(references(text), text.size());
    entity.state = Entity::Weighed;
    return entity.weight;
}

// The length of the texts that the references to declared entities in
// @p text stand for, together.
qint64 EntityScan::references(QStringView text)
{
    qint64 total = 0;
    for (int i = text.indexOf(u'&'); i >= 0; i = text.indexOf(u'&', i + 1)) {
        const int length = referenceLength(text, i);
        if (length == 0)
            continue;
        const auto entity = m_entities.find(text.mid(i + 1, length - 2));
        if (entity != m_entities.end())
            total = add(total, weight(*entity));
    }
    return total;
}

} // namespace

QString xmlLimitMessage(XmlLimit limit)
{
    switch (limit) {
    case XmlLimit::None:
        break;
    case XmlLimit::Nesting:
        return QStringLiteral("elements nested more than %1 levels deep").arg(maxXmlNestingDepth);
    case XmlLimit::EntityDeclarations:
        return QStringLiteral("more than %1 entity declarations").arg(maxXmlEntityDeclarations);
    case XmlLimit::EntityExpansion:
        return QStringLiteral("entity references that would make the document grow past %1 times its size")
            .arg(maxXmlEntityExpansion);
    case XmlLimit::DocumentType:
        return QStringLiteral("a document type that refers to parameter entities or holds what is not a declaration");
    }
    return QString();
}

XmlLimit entityLimit(QStringView text)
{
    return EntityScan(text).run();
}

} // namespace ZadUruru
