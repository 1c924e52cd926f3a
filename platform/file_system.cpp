#include "platform/file_system.h"

namespace velmora {
namespace {

Result<std::vector<std::string>> NamesOfKind(FileSystem& fs, const std::string& folder,
                                             EntryKind kind) {
    Result<std::vector<DirEntry>> entries = fs.ListFolder(folder);
    if (!entries)
        return entries.error();
    std::vector<std::string> names;
    for (const DirEntry& entry : entries.value())
        if (entry.kind == kind)
            names.push_back(entry.name);
    return names;
}

}  // namespace

Result<std::int64_t> FileSystem::FileLen(const std::string& path) {
    Result<EntryInfo> info = Inspect(path);
    if (!info)
        return info.error();
    return info->size;
}

Result<std::vector<std::string>> FileSystem::ListSubfolders(const std::string& folder) {
    return NamesOfKind(*this, folder, EntryKind::kFolder);
}

Result<std::vector<std::string>> FileSystem::ListFiles(const std::string& folder) {
    return NamesOfKind(*this, folder, EntryKind::kFile);
}

bool SameUntouchedFile(const EntryInfo& now, const EntryInfo& seen) {
    return now.kind == EntryKind::kFile && seen.kind == EntryKind::kFile &&
           now.device == seen.device && now.inode == seen.inode && now.size == seen.size &&
           now.modified_ns == seen.modified_ns && now.changed_ns == seen.changed_ns &&
           now.links == 1;
}

Result<bool> FileSystem::IsSameOrInside(const std::string& path, const std::string& folder) {
    return path == folder || path.rfind(folder + "\\", 0) == 0;
}

bool PassesMask(int attributes, int mask) {
    const int selective = attributes & (kHidden | kSystem | kFolder);
    return (selective & ~mask) == 0;
}

}  // namespace velmora
