#include "platform/file_system.h"

namespace velmora {

bool SameUntouchedFile(const EntryInfo& now, const EntryInfo& seen) {
    return now.kind == EntryKind::kFile && seen.kind == EntryKind::kFile &&
           now.device == seen.device && now.inode == seen.inode && now.size == seen.size &&
           now.modified_ns == seen.modified_ns && now.changed_ns == seen.changed_ns &&
           now.links == 1;
}

bool SameFolder(const EntryInfo& now, const EntryInfo& seen) {
    return now.kind == EntryKind::kFolder && seen.kind == EntryKind::kFolder &&
           now.device == seen.device && now.inode == seen.inode &&
           (now.mount_id == 0 || seen.mount_id == 0 || now.mount_id == seen.mount_id);
}

Result<bool> FileSystem::IsSameOrInside(const std::string& path, const std::string& folder) {
    return path == folder || path.rfind(folder + "\\", 0) == 0;
}

std::string OwnName(std::string path) {
    for (;;) {
        while (path.size() > 1 && path.back() == '\\')
            path.pop_back();
        if (path.size() >= 2 && path.compare(path.size() - 2, 2, "\\.") == 0)
            path.resize(path.size() - 2);
        else
            break;
    }
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool PassesMask(int attributes, int mask) {
    const int selective = attributes & (kHidden | kSystem | kFolder);
    return (selective & ~mask) == 0;
}

}  // namespace velmora
