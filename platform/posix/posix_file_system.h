#pragma once

#include "platform/file_system.h"
#include "platform/posix/posix_path_codec.h"
#include "platform/posix/posix_tree_ops.h"

namespace velmora {

// A POSIX system whole: its path codec, its tree operations, and the few
// operations by path of the program's edges.
class PosixFileSystem : public FileSystem, public PosixPathCodec, public PosixTreeOps {
  public:
    Result<std::vector<DirEntry>> ListFolder(const std::string& folder) override;
    Result<int> GetAttr(const std::string& path) override;
    Status SetAttr(const std::string& path, int attributes) override;
    Result<EntryInfo> Inspect(const std::string& path) override;
    Status MakeFolder(const std::string& path) override;
    Result<int> Open(const std::string& path, OpenMode mode) override {
        return OpenPath(path, mode);
    }
};

}  // namespace velmora
