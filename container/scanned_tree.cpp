#include "container/scanned_tree.h"

#include "container/engine_failure.h"

namespace velmora {

int ScannedTree::FolderOf(std::uint32_t entry) {
    return OrFail(
        folders.Get(entry == TreeScan::kRoot ? TreeScan::kRootParent : scan.entries[entry].parent));
}

std::string ScannedTree::NameOf(std::uint32_t entry) const {
    return entry == TreeScan::kRoot ? scan.root_name : std::string(scan.Name(entry));
}

bool ScannedTree::IsTopLevelFolder(std::uint32_t entry) const {
    return entry == TreeScan::kRoot ||
           (scan.IsFolder(entry) && scan.entries[entry].parent == TreeScan::kRoot);
}

bool ScannedTree::StillThere(std::uint32_t folder) {
    Result<int> parent = folders.Get(folder == TreeScan::kRoot ? TreeScan::kRootParent
                                                               : scan.entries[folder].parent);
    if (!parent)
        return false;
    const Result<EntryInfo> now = files.InspectAt(parent.value(), NameOf(folder));
    EntryInfo seen = scan.entries[folder].info;
    if (folder == TreeScan::kRoot)
        seen.mount_id = 0;  // a mounted folder's name reads the parent's mount
    return now && SameFolder(now.value(), seen);
}

}  // namespace velmora
