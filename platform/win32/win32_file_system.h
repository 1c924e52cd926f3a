#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/path_codec.h"
#include "platform/win32/win32_tree_ops.h"

namespace velmora {

// The program's Windows-1252 paths as Windows writes them (wide
// characters, converted by table at the edge), and the names it refuses.
class Win32PathCodec : public virtual PathCodec {
  public:
    Result<std::string> NativeForm(const std::string& path) const override;
    std::string DisplayPath(const std::string& path) const override;
    Result<std::string> FromSystemPath(const std::string& given, Given what) override;
    Result<std::string> CurrentFolder() const override;
    Result<std::string> ProgramFolder() const override;
    std::size_t LongestPath() const override { return 32767; }
    Result<std::size_t> NativePathSize(const std::string& path) const override;
    std::size_t NativeNameSize(const std::string& name) const override;
    std::string UncreatableName(const std::string& component) const override;
    bool IgnoresCase() const override { return true; }
};

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
