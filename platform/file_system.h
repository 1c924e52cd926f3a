#pragma once

#include <string>
#include <vector>

#include "base/result.h"
#include "platform/clock.h"
#include "platform/entries.h"
#include "platform/path_codec.h"
#include "platform/tree_ops.h"

namespace velmora {

// The operating system as the program's edges see it: the tree operations
// and the path codec of one system, and operations by path for what is not
// inside a tree (the legacy search by mask, the program's own files, tests).
// No operation follows a symbolic link in the last component of a path.
class FileSystem : public TreeOps, public PathCodec {
  public:
    const PathCodec& paths() const override { return *this; }
    Result<int> OpenStartingFolder(const std::string& path) override { return OpenFolder(path); }
    Result<int> OpenStartingFile(const std::string& path) override {
        return Open(path, OpenMode::kRead);
    }

    // Operations by path, for the program's own edges and for tests: never
    // for an entry inside a tree the program works on.

    // A path ending in "\" lists that folder: ".", ".." and every entry whose
    // hidden, system and folder bits are all in the mask, sorted by name. Any
    // other path yields its own last component when it exists and passes the
    // mask. A path that does not exist yields nothing. The same on every
    // system: built on GetAttr, Inspect and ListFolder.
    virtual Result<std::vector<std::string>> Dir(const std::string& path, int mask);
    // Every entry of a folder but "." and "..", sorted by name.
    virtual Result<std::vector<DirEntry>> ListFolder(const std::string& folder) = 0;
    virtual Result<int> GetAttr(const std::string& path) = 0;
    virtual Status SetAttr(const std::string& path, int attributes) = 0;
    virtual Result<EntryInfo> Inspect(const std::string& path) = 0;
    virtual Status DeleteFile(const std::string& path) = 0;
    // Deletes the file through a handle of its folder (not following a link
    // to the folder) right after checking, through that handle, that the
    // name still refers to the file `expected` (device and inode). Returns
    // false, deleting nothing, when the name now refers to something else.
    virtual Result<bool> DeleteFileIfSame(const std::string& path, const EntryInfo& expected) = 0;
    // Gives `from` the name `to`, which must not exist yet (never replaces).
    virtual Status RenameNew(const std::string& from, const std::string& to) = 0;
    virtual Status MakeFolder(const std::string& path) = 0;
    virtual Status RemoveFolder(const std::string& path) = 0;
    // Makes the folder's list of names durable (after a create or a delete).
    virtual Status SyncFolder(const std::string& path) = 0;
    // Makes everything written to the file system that holds path durable.
    virtual Status SyncFileSystem(const std::string& path) = 0;
    virtual Result<int> Open(const std::string& path, OpenMode mode) = 0;
    // Opens the folder path names, not following a link in its last
    // component.
    virtual Result<int> OpenFolder(const std::string& path) = 0;
};

// True when an entry with these attributes is found by a search with mask.
bool PassesMask(int attributes, int mask);

// The entry's own name: the last component, looking through trailing "."
// components (the "." of a listing names the folder).
std::string OwnName(std::string path);

}  // namespace velmora
