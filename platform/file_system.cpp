#include "platform/file_system.h"

#include <algorithm>

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

namespace {

// A failure that means the entry or a folder on its way is not there.
bool IsMissing(const Error& error) {
    return error.code == ENOENT || error.code == ENOTDIR;
}

}  // namespace

Status FileSystem::CopyOpen(int from, int to, std::int64_t length) {
    std::vector<std::uint8_t> piece(std::size_t{1} << 20);
    for (std::int64_t done = 0; done < length;) {
        const Result<std::size_t> read =
            Read(from, done, piece.data(),
                 static_cast<std::size_t>(std::min<std::int64_t>(length - done, piece.size())));
        if (!read)
            return read.error();
        if (read.value() == 0)
            return Status::Ok();
        if (Status written = Write(to, done, piece.data(), read.value()); !written)
            return written;
        done += static_cast<std::int64_t>(read.value());
    }
    return Status::Ok();
}

Result<std::vector<std::string>> FileSystem::Dir(const std::string& path, int mask) {
    std::vector<std::string> names;
    if (path.empty())
        return names;
    if (path.back() != '\\') {
        Result<int> attributes = GetAttr(path);
        if (!attributes)
            return IsMissing(attributes.error()) ? Result(names) : attributes.error();
        if (PassesMask(attributes.value(), mask))
            names.push_back(OwnName(path));
        return names;
    }
    // A link to a folder is not listed.
    Result<EntryInfo> folder = Inspect(path);
    if (!folder)
        return IsMissing(folder.error()) ? Result(names) : folder.error();
    if (folder->kind != EntryKind::kFolder)
        return names;
    if (PassesMask(kFolder, mask))
        names = {".", ".."};
    Result<std::vector<DirEntry>> entries = ListFolder(path);
    if (!entries)
        return entries.error();
    for (const DirEntry& entry : entries.value())
        if (PassesMask(entry.attributes, mask))
            names.push_back(entry.name);
    return names;
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
