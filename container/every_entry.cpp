#include "container/every_entry.h"

#include <vector>

namespace velmora {

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
