#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/xattr.h>
#endif

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
#ifdef _WIN32
        // The attributes and the kind as Windows shows them.
        const auto status = fs::symlink_status(entry.path());
        std::string description =
            std::to_string(GetFileAttributesW(entry.path().wstring().c_str())) + " ";
        if (fs::is_regular_file(status)) {
#else
        struct stat st;
        lstat(path.c_str(), &st);
        char xattr[64];
        const ssize_t n = lgetxattr(path.c_str(), "user.DOSATTRIB", xattr, sizeof xattr);
        std::string description = std::to_string(st.st_mode) + " " +
                                  (n < 0 ? "-" : std::string(xattr, std::size_t(n))) + " ";
        if (S_ISREG(st.st_mode)) {
#endif
            std::ifstream in(path, std::ios::binary);
            description += std::string(std::istreambuf_iterator<char>(in), {});
        } else if (fs::is_symlink(fs::symlink_status(entry.path()))) {
            description += fs::read_symlink(path).string();
        }
        snapshot[fs::relative(entry.path(), root).string()] = description;
    }
    return snapshot;
}

}  // namespace velmora
