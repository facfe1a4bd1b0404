#pragma once

#include "common/elementTree_p.h"
#include "sceneItems_p.h"
#include "sceneLoad_p.h"

#include <QXmlDefaultHandler>

namespace SceneXml {

/**
 * The events of a scene file, from the plain scanner or from the XML parser,
 * into records, without a tree of the whole document. It sees the document
 * as its tree would show it: in the first "ItemList" child of the root every
 * "Item", and the first "PageProperties" child of the root. Each of those is
 * built as a light tree of its own, read as soon as it closes and dropped, so
 * that memory holds one item at a time besides the records.
 *
 * Text that is only whitespace is dropped outside CDATA, as the document
 * tree drops it; the parser does so itself, the scanner's text is judged
 * here.
 */
class SceneReader : public QXmlDefaultHandler
{
public:
    /// Reads the whole page into @p file, with @p fileName as its file name unless it is null.
    SceneReader(ScaFileData *file, const QString &fileName);
    /// Reads only the page properties, without their scrolling texts, into @p page.
    explicit SceneReader(PagePropertiesData_t *page);

    /// At the end of a document read whole: a page without page properties gets their defaults.
    void finish();

    // The plain scanner's events, with strings that are views into @p document.
    void startViews(const char *document) { m_document = document; }
    void open(QLatin1String name, const ZadUruru::PlainAttribute *attributes, int count);
    void close();
    void text(const char *data, int size, bool entities);
    void cdata(const char *data, int size);

    // The parser's events.
    bool startElement(const QString &namespaceUri, const QString &localName, const QString &qualifiedName,
                      const QXmlAttributes &attributes) override;
    bool endElement(const QString &namespaceUri, const QString &localName, const QString &qualifiedName) override;
    bool characters(const QString &text) override;

private:
    enum Part { NoPart, ItemPart, PagePart };

    /// Called for each element opened: whether it is inside a part, and so belongs to the tree.
    template <class Name>
    bool enter(const Name &name);
    void leave();

    ScaFileData *m_file = nullptr; ///< null when only the page properties are read
    PagePropertiesData_t *m_page;
    QString m_fileName;
    PageRead m_pageRead;
    const char *m_document = nullptr; ///< the scanner's document; null for the parser's events
    int m_depth = 0;
    bool m_inItemList = false;
    bool m_itemListSeen = false;
    bool m_pageSeen = false;
    Part m_part = NoPart;
    int m_partDepth = 0;
    ZadUruru::ElementTree m_tree;
};

} // namespace SceneXml
