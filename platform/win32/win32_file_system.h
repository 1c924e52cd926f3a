#pragma once

#include "platform/file_system.h"
#include "platform/win32/win32_path_codec.h"
#include "platform/win32/win32_tree_ops.h"

namespace velmora {

// Windows whole: its path codec, its tree operations, and the few
// operations by path of the program's edges.
class Win32FileSystem : public FileSystem, public Win32PathCodec, public Win32TreeOps {
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
