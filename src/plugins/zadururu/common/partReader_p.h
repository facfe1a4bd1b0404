#pragma once

#include "elementTree_p.h"
#include "plainXmlScanner_p.h"
#include "xmlParser_p.h"

#include <QXmlDefaultHandler>

namespace ZadUruru {

/**
 * The events of a document, from the plain scanner or from the XML parser,
 * into the parts of it that a reader wants, without a tree of the whole
 * document: each part (an element and all below it) is built as a light
 * tree of its own, handed over as soon as it closes, and dropped, so that
 * memory holds one part at a time besides the records. Text that is only
 * whitespace is dropped outside CDATA, as a document tree read from bytes
 * drops it; the parser does so itself, the scanner's text is judged here.
 *
 * @p Parts chooses the parts and reads them:
 *
 *     template <class Name> bool starts(int depth, const Name &name); // an element outside any part opens (the root at depth 1)
 *     void ends(int depth);                                            // an element outside any part closes
 *     void read(const TreeElement &part);
 */
template <class Parts>
class PartReader : public QXmlDefaultHandler
{
public:
    explicit PartReader(Parts &parts) : m_parts(parts) {}

    /// For the scanner's events: their strings are views into @p document.
    void startViews(const char *document) { m_document = document; }

    void open(QLatin1String name, const PlainAttribute *attributes, int count)
    {
        if (enter(name))
            m_tree.open(name, attributes, count);
    }
    void close() { leave(); }
    void text(const char *data, int size, bool entities)
    {
        // A reference stands for a character that is not whitespace.
        if (m_partDepth && (entities || !isSpaceOnly(data, size)))
            m_tree.text(data, size, entities);
    }
    void cdata(const char *data, int size)
    {
        if (m_partDepth && size > 0)
            m_tree.text(data, size, false);
    }

    bool startElement(const QString &, const QString &, const QString &name, const QXmlAttributes &attributes) override
    {
        if (enter(name))
            m_tree.open(name, attributes);
        return true;
    }
    bool endElement(const QString &, const QString &, const QString &) override
    {
        leave();
        return true;
    }
    bool characters(const QString &text) override
    {
        if (m_partDepth && !text.isEmpty())
            m_tree.text(text);
        return true;
    }

private:
    // Whether the element opened belongs to a part.
    template <class Name>
    bool enter(const Name &name)
    {
        ++m_depth;
        if (m_partDepth)
            return true;
        if (!m_parts.starts(m_depth, name))
            return false;
        m_partDepth = m_depth;
        if (m_document)
            m_tree.resetViews(m_document);
        else
            m_tree.resetCopies();
        return true;
    }

    void leave()
    {
        if (!m_partDepth) {
            m_parts.ends(m_depth);
        } else {
            m_tree.close();
            if (m_depth == m_partDepth) {
                m_parts.read(m_tree.root());
                m_partDepth = 0;
            }
        }
        --m_depth;
    }

    Parts &m_parts;
    const char *m_document = nullptr; ///< the scanner's document; null for the parser's events
    int m_depth = 0;
    int m_partDepth = 0; ///< the depth of the part being built, 0 for none
    ElementTree m_tree;
};

/**
 * Reads the parts of @p data that @p parts chooses: with the plain scanner,
 * or, where it refuses the document, with the parser from the start, after
 * parts.restart() has dropped what the scanner's events gave. False when the
 * document is not well-formed or goes past a limit of xmlLimits.h; what @p parts
 * holds then is to be dropped.
 */
template <class Parts>
bool readParts(const QByteArray &data, Parts &parts)
{
    {
        PartReader<Parts> reader(parts);
        reader.startViews(data.constData());
        if (PlainXmlScanner<PartReader<Parts>>(data, reader).scan())
            return true;
    }
    parts.restart();
    PartReader<Parts> reader(parts);
    return parseXml(data, reader, SpaceOnlyText::Dropped);
}

} // namespace ZadUruru
