#pragma once

#include <string>
#include <vector>

#include "base/result.h"
#include "platform/clock.h"
#include "platform/entries.h"
#include "platform/path_codec.h"
#include "platform/tree_ops.h"

namespace velmora {

// The operating system as the program's edges see it: one system's tree
// operations and path codec together (each written once per system; this
// class only joins them), and operations by path for what is not inside a
// tree (the legacy search by mask, the program's own files, tests).
// No operation follows a symbolic link in the last component of a path.
class FileSystem : public virtual TreeOps, public virtual PathCodec {
  public:
    const PathCodec& paths() const override { return *this; }

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
    virtual Status MakeFolder(const std::string& path) = 0;
    // Opens the file path names as OpenAt does inside a folder.
    virtual Result<int> Open(const std::string& path, OpenMode mode) = 0;
};

// True when an entry with these attributes is found by a search with mask.
bool PassesMask(int attributes, int mask);

// The entry's own name: the last component, looking through trailing "."
// components (the "." of a listing names the folder).
std::string OwnName(std::string path);

}  // namespace velmora
