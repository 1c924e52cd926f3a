#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "container/container_kind.h"
#include "container/folder_handles.h"
#include "platform/tree_ops.h"

namespace velmora {

class Host;

// One entry of a scanned tree. Entries refer to each other by index, and a
// folder's listing is one run of entries in name order, so the tree costs a
// few dozen bytes per entry and no allocation of its own.
struct ScannedEntry {
    std::uint32_t parent = 0;       // the folder that holds it (the root: itself)
    std::uint32_t first_child = 0;  // a folder's listing: entries first_child ..
    std::uint32_t children = 0;     // .. first_child + children - 1
    std::uint32_t name_offset = 0;  // the name, in TreeScan::names
    std::uint32_t name_length = 0;
    int attributes = 0;
    EntryInfo info;  // as the scan saw it: what the wipe checks again
};

// A folder tree as read once before encoding: every folder's listing, every
// file's identity (device, inode, size) and every entry's attributes.
// Entry 0 is the root; paths are built from the names only when asked for.
struct TreeScan {
    static constexpr std::uint32_t kRoot = 0;
    // The folder that holds the root, among the scan's folder handles.
    static constexpr std::uint32_t kRootParent = 0xFFFFFFFE;

    std::string root_path;
    std::string root_name;  // the root's own name inside its parent
    std::string names;      // every entry's name, back to back
    std::vector<ScannedEntry> entries;

    std::string_view Name(std::uint32_t entry) const {
        const ScannedEntry& e = entries[entry];
        return std::string_view(names).substr(e.name_offset, e.name_length);
    }
    bool IsFolder(std::uint32_t entry) const {
        return entries[entry].info.kind == EntryKind::kFolder;
    }
    // Appends the entry's path below the root ("\a\b"; nothing for the root).
    void AppendRelativePath(std::uint32_t entry, std::string& out) const;
    std::string FullPath(std::uint32_t entry) const;
    // Number of characters AppendRelativePath appends.
    std::size_t RelativePathLength(std::uint32_t entry) const;
};

// Reads the tree under root without changing anything, and refuses what
// cannot be encoded and wiped safely: links, devices, sockets and pipes,
// files with other hard links, mount points; and for the legacy kind names
// with control characters or ":", names equal once upper-cased, files of
// 2 GiB or more. The root and
// its parent are opened once, by path; every folder below is reached through
// its parent's handle and registered in `folders` under its entry number,
// with the identity the listing saw. The root is locked for this run: a
// second run on the same tree is refused.
Result<TreeScan> ScanTree(TreeOps& files, Host& host, const std::string& root,
                          FolderHandles& folders, NameRules rules = NameRules::kLegacy);

}  // namespace velmora
