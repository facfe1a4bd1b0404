#include "sceneParts_p.h"
#include "sceneLoad_p.h"

#include "common/partReader_p.h"

#include <utility>

using ZadUruru::TreeElement;

namespace SceneXml {

SceneParts::SceneParts(const QString &fileName)
    : m_wholeFile(true)
    , m_fileName(fileName)
{
    start();
}

SceneParts::SceneParts()
    : m_wholeFile(false)
{
    start();
}

SceneParts::~SceneParts()
{
    destroyScaFileData(m_file);
    if (!m_wholeFile)
        delete m_page;
}

void SceneParts::start()
{
    if (m_wholeFile) {
        m_file = new ScaFileData;
        m_page = &m_file->pageProperties;
    } else {
        m_page = new PagePropertiesData_t;
    }
    m_inItemList = m_itemListSeen = m_pageSeen = false;
}

void SceneParts::restart()
{
    destroyScaFileData(m_file);
    m_file = nullptr;
    if (!m_wholeFile)
        delete m_page;
    start();
}

PageRead SceneParts::pageRead() const
{
    return m_wholeFile ? PageRead::WithScrollingTexts : PageRead::Summary;
}

void SceneParts::finish()
{
    if (!m_pageSeen)
        readPage(TreeElement(), m_page, m_fileName, pageRead());
}

ScaFileData *SceneParts::takeFile()
{
    finish();
    return std::exchange(m_file, nullptr);
}

PagePropertiesData_t *SceneParts::takePage()
{
    finish();
    return std::exchange(m_page, nullptr);
}

void SceneParts::ends(int depth)
{
    if (depth == pageDepth)
        m_inItemList = false;
}

void SceneParts::read(const TreeElement &part)
{
    if (m_part == ItemPart)
        readItem(part, m_file);
    else
        readPage(part, m_page, m_fileName, pageRead());
}

} // namespace SceneXml

ScaFileData *ZadUruru::readScene(const QByteArray &data, const QString &fileName)
{
    SceneXml::SceneParts parts(fileName);
    return readParts(data, parts) ? parts.takeFile() : nullptr;
}

PagePropertiesData_t *ZadUruru::readSceneProperties(const QByteArray &data)
{
    SceneXml::SceneParts parts;
    return readParts(data, parts) ? parts.takePage() : nullptr;
}
