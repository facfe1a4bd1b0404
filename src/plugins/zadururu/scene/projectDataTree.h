#pragma once

#include <zadururu/zadururu_export.h>
#include <zadururu/scene/scaFileData.h>

#include <QHash>
#include <QList>
#include <QString>

/**
 * The loaded scene files of the open project, by file name, with the
 * project-wide lookups of pages and component instances ("blocks"). The host
 * adds and removes entries of @c files itself; selfDestruct() destroys them.
 * Lookups scan the files in the hash's own order, which is not the order of
 * insertion, and return the first match.
 */
class ZADURURU_EXPORT ProjectDataTree
{
public:
    ProjectDataTree();
    ProjectDataTree(const ProjectDataTree &) = delete;
    ProjectDataTree &operator=(const ProjectDataTree &) = delete;

    /// A component instance id not used by any loaded instance when drawn; not reserved.
    int requestUniqueId();
    bool containsFileName(QString name);
    ScaFileData *getFiledataWithName(QString name);
    ScadaObjectLoadData_t *getBlock(int uid);
    /// The key of the first file holding an instance with @p uid, or a null string.
    QString getFileNameContainingBlock(int uid);
    /// The fileName page property (not the key) of the first page numbered @p pageId, or a null string.
    QString getFileNameWithPageId(int pageId);
    /// The component instances of all files, file after file; the records are shared.
    QList<ScadaObjectLoadData_t *> getAllBlocks();
    /// Erases and destroys every loaded file and empties the map.
    void selfDestruct();

    bool hostFlag0 = false;
    QHash<QString, ScaFileData *> files;
    QString hostText1;
    QString hostText2;
    QString hostText3;
    QString hostText4;
    QString hostText5;
    void *hostSlot = nullptr;
    bool hostFlag1 = false;
    bool hostFlag2 = false;
    bool hostFlag3 = false;
    bool hostFlag4 = false;
};
