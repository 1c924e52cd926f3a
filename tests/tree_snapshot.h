#pragma once

#include <sys/stat.h>
#include <sys/xattr.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace velmora {

// Everything a test can see of a tree: for each path under the root, its
// kind, permissions, DOS attribute text and content.
using TreeSnapshot = std::map<std::string, std::string>;

inline TreeSnapshot Snapshot(const std::string& root) {
    namespace fs = std::filesystem;
    TreeSnapshot snapshot;
    if (!fs::exists(fs::symlink_status(root)))
        return snapshot;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string path = entry.path().string();
        struct stat st;
        lstat(path.c_str(), &st);
        char xattr[64];
        const ssize_t n = lgetxattr(path.c_str(), "user.DOSATTRIB", xattr, sizeof xattr);
        std::string description = std::to_string(st.st_mode) + " " +
                                  (n < 0 ? "-" : std::string(xattr, std::size_t(n))) + " ";
        if (S_ISREG(st.st_mode)) {
            std::ifstream in(path, std::ios::binary);
            description += std::string(std::istreambuf_iterator<char>(in), {});
        } else if (S_ISLNK(st.st_mode)) {
            description += fs::read_symlink(path).string();
        }
        snapshot[fs::relative(entry.path(), root).string()] = description;
    }
    return snapshot;
}

}  // namespace velmora
