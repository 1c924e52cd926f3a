#include "platform/entries.h"

namespace velmora {

bool SameEntry(const EntryInfo& a, const EntryInfo& b) {
    return a.device == b.device && a.inode == b.inode && a.inode_high == b.inode_high;
}

bool SameEntryAndContent(const EntryInfo& now, const EntryInfo& seen) {
    return SameEntry(now, seen) && now.size == seen.size && now.modified_ns == seen.modified_ns;
}

bool SameUntouchedFile(const EntryInfo& now, const EntryInfo& seen) {
    return now.kind == EntryKind::kFile && seen.kind == EntryKind::kFile &&
           SameEntryAndContent(now, seen) && now.changed_ns == seen.changed_ns && now.links == 1;
}

bool SameFolder(const EntryInfo& now, const EntryInfo& seen) {
    return now.kind == EntryKind::kFolder && seen.kind == EntryKind::kFolder &&
           SameEntry(now, seen) &&
           (now.mount_id == 0 || seen.mount_id == 0 || now.mount_id == seen.mount_id);
}

}  // namespace velmora
