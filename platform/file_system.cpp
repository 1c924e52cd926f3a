#include "platform/file_system.h"

#include <algorithm>

namespace velmora {

namespace {

// A failure that means the entry or a folder on its way is not there.
bool IsMissing(const Error& error) {
    return error.code == ENOENT || error.code == ENOTDIR;
}

}  // namespace

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
