#pragma once

/**
 * @file projectDataTree.h
 * @brief The loaded pages of the open project (ProjectDataTree).
 */

#include <zadururu/zadururu_export.h>
#include <zadururu/scene/scaFileData.h>

#include <QHash>
#include <QList>
#include <QString>

/**
 * The loaded scene files of the open project, by file name, with the
 * project-wide lookups of pages and of component instances ("blocks").
 *
 * The host adds and removes the entries of #files itself. Lookups scan the
 * files in the hash's own order, which is not the order of insertion, and
 * return the first match; nothing is indexed.
 *
 * Who frees what: destroying the tree frees nothing, and selfDestruct()
 * frees each page and its component instances but leaves the items of every
 * other kind allocated. To free every page whole:
 * @code
 * for (ScaFileData *page : qAsConst(tree.files))
 *     destroyScaFileData(page);
 * tree.files.clear();
 * @endcode
 *
 * Not copyable: a copy would hold the same pages, and freeing both would
 * free them twice. Keep one tree and pass it by pointer or reference.
 */
class ZADURURU_EXPORT ProjectDataTree
{
public:
    /// An empty tree; the host members at false, empty or null.
    ProjectDataTree();
    /// Not copyable: both trees would own the same pages.
    ProjectDataTree(const ProjectDataTree &) = delete;
    /// Not assignable, for the same reason.
    ProjectDataTree &operator=(const ProjectDataTree &) = delete;

    /**
     * A new component instance id: a number from Qt's pseudo-random
     * generator (qrand(), 0 to RAND_MAX; the library never seeds it), drawn
     * again whenever an instance with that Uid is met.
     *
     * The check is a single pass over the instances: a candidate drawn after
     * a collision is compared only with the instances not visited yet, so it
     * may equal the Uid of one visited before. The id is not reserved either:
     * the next call may return it again until an instance carries it. Where
     * the id must be free, check it:
     * @code
     * int uid = tree.requestUniqueId();
     * while (tree.getBlock(uid))
     *     uid = tree.requestUniqueId();
     * @endcode
     */
    int requestUniqueId();
    /// Whether #files has the key @p name (exact and case-sensitive).
    bool containsFileName(QString name);
    /// The page stored under the key @p name, or null.
    ScaFileData *getFiledataWithName(QString name);
    /// The first component instance, over all pages, whose Uid is @p uid, or null.
    ScadaObjectLoadData_t *getBlock(int uid);
    /// The key of the first page holding an instance with @p uid, or a null string.
    QString getFileNameContainingBlock(int uid);
    /**
     * The PagePropertiesData_t::fileName (not the key) of the first page
     * numbered @p pageId, or a null string. With two pages of one number,
     * either may answer.
     */
    QString getFileNameWithPageId(int pageId);
    /// A new list of the component instances of all pages, page after page; the records are shared, not copied.
    QList<ScadaObjectLoadData_t *> getAllBlocks();
    /**
     * For every page: erases its component instances (ScaFileData::erase())
     * and destroys the page; then empties #files. The items of every other
     * kind are not destroyed: free the pages with destroyScaFileData()
     * instead (see the class) unless something else still holds those items.
     */
    void selfDestruct();

    bool hostFlag0 = false;              ///< host; the library never reads it
    /**
     * The loaded pages by file name (the key the host chose, usually the
     * file's name). The host inserts and removes entries itself; the tree
     * never copies a page.
     */
    QHash<QString, ScaFileData *> files;
    QString hostText1;                   ///< host
    QString hostText2;                   ///< host
    QString hostText3;                   ///< host
    QString hostText4;                   ///< host
    QString hostText5;                   ///< host
    void *hostSlot = nullptr;            ///< host
    bool hostFlag1 = false;              ///< host
    bool hostFlag2 = false;              ///< host
    bool hostFlag3 = false;              ///< host
    bool hostFlag4 = false;              ///< host
};
