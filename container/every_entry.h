#pragma once

#include "container/dir_walk.h"
#include "container/found_list.h"
#include "container/tree_scan.h"

namespace velmora {

// The order of a kind that keeps every entry: the root first, then each
// folder's entries in name order, a subfolder followed at once by what it
// holds. Folders come before their contents, so a restore makes each folder
// before anything inside it.
FoundList EveryEntry(const TreeScan& scan);

// What the wipe removes after the files of such a kind: every folder of the
// tree, the root included, in the same order (the wipe goes through it
// backwards, deepest first). Nothing is reset beforehand.
WalkResult EveryFolder(const FoundList& every_entry);

}  // namespace velmora
