#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/result.h"
#include "cipher/cipher_tables.h"
#include "platform/file_system.h"

namespace velmora {

class Host;

// One folder of a scanned tree: its subfolders' and files' names, sorted.
struct ScannedFolder {
    std::vector<std::string> subfolders;
    std::vector<std::string> files;
};

// A folder tree as read once before encoding: every folder's listing, every
// file's identity (device, inode, size) and every entry's attributes, keyed
// by full path.
struct TreeScan {
    EntryInfo root;
    std::unordered_map<std::string, ScannedFolder> folders;
    std::unordered_map<std::string, EntryInfo> files;
    std::unordered_map<std::string, int> attributes;  // of every entry below the root
};

// Reads the tree under root without changing anything, and refuses what
// cannot be encoded and wiped safely: links, devices, sockets and pipes,
// files with other hard links, mount points, names with control characters
// or ":", names equal once upper-cased, files of 2 GiB or more.
Result<TreeScan> ScanTree(FileSystem& files, Host& host, const std::string& root);

// Refuses entries of the scanned tree (files, and folders without files)
// whose stored name the container could not give back exactly under this
// key: stored paths over 255 characters, paths ending in a space, and names
// whose encoded form begins or ends with a space.
Status CheckStoredNames(const TreeScan& scan, const std::string& root, const CipherTables& tables,
                        const std::string& key, const FileSystem& files);

}  // namespace velmora
