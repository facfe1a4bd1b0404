#include "tagImport.h"

#include <zadururu/definitions/fileDataTree.h>

#include <limits>

int mergeImportedTags(FileDataTree &into, FileDataTree &imported)
{
    int highest = 0;
    for (const pEtiketDef_t *tag : qAsConst(into.tags))
        if (tag && tag->Id > highest)
            highest = tag->Id;
    int moved = 0;
    for (pEtiketDef_t *tag : qAsConst(imported.tags)) {
        // Ids are ints in the file; a project that already holds the largest
        // one gets no new id that could collide by wrapping around.
        tag->Id = highest < std::numeric_limits<int>::max() ? ++highest : highest;
        into.tags.append(tag);
        ++moved;
    }
    imported.tags.clear();
    return moved;
}
