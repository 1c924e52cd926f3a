#include "container/dir_walk.h"

#include <vector>

#include "container/engine_failure.h"

namespace velmora {
namespace {

// Top-level entries with exactly these attribute values are reset to normal.
bool IsResetCombination(int attributes) {
    switch (attributes) {
        case 18:
        case 19:
        case 22:
        case 23:
        case 39:
        case 50:
        case 51:
        case 55:
            return true;
        default:
            return false;
    }
}

// A folder's subfolders and files are its listing's entries of each kind,
// in order. path holds the folder's full path and is grown in place for
// each subfolder.
void WalkFolder(Run& run, const TreeScan& scan, std::uint32_t folder, std::string& path,
                FoundList& sFound, WalkResult& walk) {
    const ScannedEntry& listing = scan.entries[folder];
    const std::uint32_t end = listing.first_child + listing.children;
    for (std::uint32_t k = listing.first_child; k < end; ++k) {
        if (!scan.IsFolder(k))
            continue;
        run.host.PumpEvents();
        const std::size_t length = path.size();
        path += '\\';
        path += scan.Name(k);
        run.state.RemovalList.push_back(path);
        walk.removal_entries.push_back(k);
        run.host.PumpEvents();  // the inner call's own listing pass
        WalkFolder(run, scan, k, path, sFound, walk);
        path.resize(length);
    }
    bool has_files = false;
    for (std::uint32_t k = listing.first_child; k < end; ++k) {
        if (!scan.IsFolder(k)) {
            sFound.push_back(k);
            has_files = true;
        }
    }
    if (!has_files)
        sFound.push_back(folder);
}

}  // namespace

WalkResult DirWalk(Run& run, ScannedTree& tree, const std::string& CurrDir, FoundList& sFound) {
    WalkResult walk;
    const TreeScan& scan = tree.scan;
    // Top-level pass: only the outermost call, whose CurrDir ends in "\",
    // lists names; a recursive call's listing yields just its own name. The
    // listing is the scan's: ".", "..", then every entry of the folder (the
    // search's mask finds all of them), each attribute read again through
    // the folder's handle.
    if (!CurrDir.empty() && CurrDir.back() == '\\') {
        auto list = [&](const std::string& name, std::uint32_t entry) {
            run.host.PumpEvents();
            if (entry != ScannedTree::kNoEntry) {
                const int attributes =
                    OrFail(run.files.GetAttrAt(tree.FolderOf(entry), tree.NameOf(entry)));
                if (IsResetCombination(attributes))
                    walk.resets.push_back(entry);
            }
            run.state.RemovalList.push_back(CurrDir + name);
            walk.removal_entries.push_back(entry);
        };
        list(".", TreeScan::kRoot);
        list("..", ScannedTree::kNoEntry);
        const ScannedEntry& root = scan.entries[TreeScan::kRoot];
        for (std::uint32_t k = root.first_child; k < root.first_child + root.children; ++k)
            list(std::string(scan.Name(k)), k);
    } else {
        run.host.PumpEvents();
    }
    std::string path = scan.root_path;
    WalkFolder(run, scan, TreeScan::kRoot, path, sFound, walk);
    return walk;
}

void ApplyWalkResets(Run& run, ScannedTree& tree, const WalkResult& walk) {
    for (const std::uint32_t entry : walk.resets)
        if (tree.IsTopLevelFolder(entry)) {
            Result<int> folder = tree.folders.Get(entry == TreeScan::kRoot ? TreeScan::kRootParent
                                                                           : TreeScan::kRoot);
            if (folder)
                (void)run.files.SetAttrAt(folder.value(), tree.NameOf(entry), 0,
                                          &tree.scan.entries[entry].info);
        }
}

FoundList EveryEntry(const TreeScan& scan) {
    FoundList list(scan);
    std::vector<std::uint32_t> pending = {TreeScan::kRoot};
    while (!pending.empty()) {
        const std::uint32_t entry = pending.back();
        pending.pop_back();
        list.push_back(entry);
        if (!scan.IsFolder(entry))
            continue;
        const ScannedEntry& folder = scan.entries[entry];
        // Pushed last to first, so the first in name order comes out next.
        for (std::uint32_t c = folder.children; c > 0; --c)
            pending.push_back(folder.first_child + c - 1);
    }
    return list;
}

WalkResult EveryFolder(const FoundList& every_entry) {
    WalkResult walk;
    for (std::size_t i = 0; i < every_entry.size(); ++i)
        if (every_entry.IsFolderEntry(i))
            walk.removal_entries.push_back(every_entry[i]);
    return walk;
}

}  // namespace velmora
