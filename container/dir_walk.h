#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "container/found_list.h"
#include "container/run.h"
#include "container/scanned_tree.h"
#include "container/tree_scan.h"

namespace velmora {

// What the walk leaves for the pack and the wipe: the scanned entries behind
// RemovalList's texts, in the same order (kNoEntry for the root's parent),
// and the top-level entries it resets to normal.
struct WalkResult {
    std::vector<std::uint32_t> removal_entries;
    std::vector<std::uint32_t> resets;
};

// Lists the tree depth first into sFound (every file, and a "\"-ended entry
// for every folder without files) and fills RemovalList. The scanned tree
// stands in for the folder and file lists. The top-level entries it resets
// to normal are only noted: the records show the reset values, and the disk
// changes once the container is complete and the folder is about to be
// wiped (ApplyWalkResets). Every file is listed: the walk's file pattern is
// always "*.*".
WalkResult DirWalk(Run& run, ScannedTree& tree, const std::string& CurrDir, FoundList& sFound);

// The walk's resets of top-level folders, made once the container is
// complete, each while its name still holds the folder the scan saw. A
// file's reset is the wipe's own, made right before it is overwritten, once
// it is known to be the file that was packed.
void ApplyWalkResets(Run& run, ScannedTree& tree, const WalkResult& walk);

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
