#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "container/folder_handles.h"
#include "container/sealed/plaintext_hash.h"
#include "container/tree_scan.h"
#include "platform/tree_ops.h"

namespace velmora {

// The tree being encoded as the scan read it, with the handles of its
// folders: how the walk, the pack and the wipe reach its entries.
struct ScannedTree {
    static constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;

    explicit ScannedTree(TreeOps& disk) : files(disk), folders(disk) {}

    // The handle of the folder that holds a scanned entry (the root's is its
    // parent); the run fails when the folder is no longer the one scanned.
    int FolderOf(std::uint32_t entry);
    // The entry's name in that folder.
    std::string NameOf(std::uint32_t entry) const;
    // Whether the entry is the folder itself or one of its own subfolders.
    bool IsTopLevelFolder(std::uint32_t entry) const;
    // Whether the scanned folder is still where the scan saw it.
    bool StillThere(std::uint32_t folder);

    TreeOps& files;
    TreeScan scan;
    FolderHandles folders;
    // The digest of what was packed of each file on a file system that
    // copies files up at their first open for writing (overlayfs), by
    // entry: what proves to the wipe that the copy is the file packed.
    std::unordered_map<std::uint32_t, PlaintextDigest> packed_digests;
};

}  // namespace velmora
