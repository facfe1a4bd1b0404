#include "sceneReader_p.h"

#include "sceneItems_p.h"

#include "common/xmlLimits.h"
#include "common/xmlParser_p.h"

#include <QXmlInputSource>
#include <QXmlSimpleReader>

using ZadUruru::TreeElement;

namespace SceneXml {

namespace {

// Element depths: the children of the root, and the items of the item list.
constexpr int pageDepth = 2;
constexpr int itemDepth = 3;

} // namespace

SceneReader::SceneReader(ScaFileData *file, const QString &fileName)
    : m_file(file)
    , m_page(&file->pageProperties)
    , m_fileName(fileName)
    , m_pageRead(PageRead::WithScrollingTexts)
{
}

SceneReader::SceneReader(PagePropertiesData_t *page)
    : m_page(page)
    , m_pageRead(PageRead::Summary)
{
}

void SceneReader::finish()
{
    if (!m_pageSeen)
        readPage(TreeElement(), m_page, m_fileName, m_pageRead);
}

template <class Name>
bool SceneReader::enter(const Name &name)
{
    ++m_depth;
    if (m_part != NoPart)
        return true;
    if (m_depth == pageDepth) {
        if (name == QLatin1String("ItemList") && !m_itemListSeen) {
            m_itemListSeen = true;
            m_inItemList = true;
        } else if (name == QLatin1String("PageProperties") && !m_pageSeen) {
            m_pageSeen = true;
            m_part = PagePart;
        }
    } else if (m_depth == itemDepth && m_inItemList && m_file && name == QLatin1String("Item")) {
        m_part = ItemPart;
    }
    if (m_part == NoPart)
        return false;
    m_partDepth = m_depth;
    if (m_document)
        m_tree.resetViews(m_document);
    else
        m_tree.resetCopies();
    return true;
}

void SceneReader::leave()
{
    if (m_part != NoPart) {
        m_tree.close();
        if (m_depth == m_partDepth) {
            if (m_part == ItemPart)
                readItem(m_tree.root(), m_file);
            else
                readPage(m_tree.root(), m_page, m_fileName, m_pageRead);
            m_part = NoPart;
        }
    }
    if (m_depth == pageDepth)
        m_inItemList = false;
    --m_depth;
}

void SceneReader::open(QLatin1String name, const ZadUruru::PlainAttribute *attributes, int count)
{
    if (enter(name))
        m_tree.open(name, attributes, count);
}

void SceneReader::close()
{
    leave();
}

void SceneReader::text(const char *data, int size, bool entities)
{
    // A reference stands for a character that is not whitespace.
    if (m_part != NoPart && (entities || !ZadUruru::isSpaceOnly(data, size)))
        m_tree.text(data, size, entities);
}

void SceneReader::cdata(const char *data, int size)
{
    if (m_part != NoPart && size > 0)
        m_tree.text(data, size, false);
}

bool SceneReader::startElement(const QString &, const QString &, const QString &name, const QXmlAttributes &attributes)
{
    if (enter(name))
        m_tree.open(name, attributes);
    return true;
}

bool SceneReader::endElement(const QString &, const QString &, const QString &)
{
    leave();
    return true;
}

bool SceneReader::characters(const QString &text)
{
    if (m_part != NoPart && !text.isEmpty())
        m_tree.text(text);
    return true;
}

} // namespace SceneXml

namespace {

using SceneXml::SceneReader;

// Most files are of the plain form the writers write, which the scanner
// reads; for any other the parser decides, from the start, with a fresh
// reader and fresh records.
template <class Records, class Make, class Destroy>
Records *readRecords(const QByteArray &data, Make make, Destroy destroy)
{
    for (const bool plain : {true, false}) {
        Records *records = nullptr;
        bool read = false;
        {
            SceneReader reader = make(records);
            if (plain) {
                reader.startViews(data.constData());
                read = ZadUruru::PlainXmlScanner<SceneReader>(data, reader).scan();
            } else if (!ZadUruru::isTooDeeplyNested(data)) {
                QXmlInputSource source;
                source.setData(data);
                QXmlSimpleReader parser;
                ZadUruru::configureParser(parser, ZadUruru::SpaceOnlyText::Dropped);
                parser.setContentHandler(&reader);
                read = parser.parse(&source);
            }
            if (read)
                reader.finish();
        }
        if (read)
            return records;
        destroy(records);
    }
    return nullptr;
}

} // namespace

ScaFileData *ZadUruru::readScene(const QByteArray &data, const QString &fileName)
{
    return readRecords<ScaFileData>(
        data,
        [&fileName](ScaFileData *&file) {
            file = new ScaFileData;
            return SceneReader(file, fileName);
        },
        destroyScaFileData);
}

PagePropertiesData_t *ZadUruru::readSceneProperties(const QByteArray &data)
{
    return readRecords<PagePropertiesData_t>(
        data,
        [](PagePropertiesData_t *&page) {
            page = new PagePropertiesData_t;
            return SceneReader(page);
        },
        [](PagePropertiesData_t *page) { delete page; });
}
