#pragma once

#include "sceneItems_p.h"

#include "common/elementTree_p.h"

namespace SceneXml {

/**
 * The parts of a scene file that its records come from, as its document
 * tree would show them: every "Item" of the first "ItemList" child of the
 * root, and the first "PageProperties" child of the root. Owns the records
 * it reads until they are taken.
 */
class SceneParts
{
public:
    /// Reads the whole page, with @p fileName as its file name unless it is null.
    explicit SceneParts(const QString &fileName);
    /// Reads only the page properties, without their scrolling texts.
    SceneParts();
    ~SceneParts();
    SceneParts(const SceneParts &) = delete;
    SceneParts &operator=(const SceneParts &) = delete;

    /// The page read, once the whole document has been: a page without page properties gets their defaults.
    ScaFileData *takeFile();
    PagePropertiesData_t *takePage();

    template <class Name>
    bool starts(int depth, const Name &name)
    {
        if (depth == pageDepth) {
            if (name == QLatin1String("ItemList") && !m_itemListSeen) {
                m_itemListSeen = true;
                m_inItemList = true;
            } else if (name == QLatin1String("PageProperties") && !m_pageSeen) {
                m_pageSeen = true;
                m_part = PagePart;
                return true;
            }
        } else if (depth == itemDepth && m_inItemList && m_file && name == QLatin1String("Item")) {
            m_part = ItemPart;
            return true;
        }
        return false;
    }
    void ends(int depth);
    void read(const ZadUruru::TreeElement &part);
    void restart();

private:
    // Element depths: the children of the root, and the items of the item list.
    static constexpr int pageDepth = 2;
    static constexpr int itemDepth = 3;
    enum Part { ItemPart, PagePart };

    void start();
    PageRead pageRead() const;
    void finish();

    const bool m_wholeFile;
    const QString m_fileName;
    ScaFileData *m_file = nullptr; ///< null when only the page properties are read
    PagePropertiesData_t *m_page = nullptr;
    bool m_inItemList = false;
    bool m_itemListSeen = false;
    bool m_pageSeen = false;
    Part m_part = ItemPart;
};

} // namespace SceneXml
