#pragma once

struct FileDataTree;

/**
 * Moves every tag of @p imported to the end of @p into's tag list, in order,
 * giving each a fresh Id after the highest Id in @p into (so 1, 2, ... in a
 * tree without tags). Channels and alarms of @p imported are left where they
 * are. Returns the number of tags moved; @p imported's tag list is empty
 * afterwards and the caller still owns and frees @p imported.
 */
int mergeImportedTags(FileDataTree &into, FileDataTree &imported);
