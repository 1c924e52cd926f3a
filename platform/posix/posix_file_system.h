#pragma once

#include <limits>
#include <string>

#include "platform/file_system.h"
#include "platform/path_codec.h"
#include "platform/posix/posix_tree_ops.h"

namespace velmora {

// The program's paths as a POSIX system writes them: UTF-8 and "/" at the
// edge, and the read-only questions about the paths a user gives.
class PosixPathCodec : public virtual PathCodec {
  public:
    Result<std::string> NativeForm(const std::string& path) const override;
    std::string DisplayPath(const std::string& path) const override;
    Result<std::string> FromSystemPath(const std::string& given, Given what) override;
    Result<std::string> CurrentFolder() const override;
    Result<std::string> ProgramFolder() const override;
    std::size_t CharacterCount(const std::string& path) const override;
    std::size_t NativeNameSize(const std::string& name) const override;
    Result<std::size_t> NativePathSize(const std::string& path) const override;
    // Inside a tree every call is relative to a folder's handle: no whole
    // path is ever handed to the system, so none limits a tree.
    std::size_t LongestPath() const override { return std::numeric_limits<std::size_t>::max(); }
    Result<bool> IsSameOrInside(const std::string& path, const std::string& folder) const override;
    Result<std::size_t> LongestName(const std::string& folder) const override;
};

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

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed, so that
// no file the program opens later takes one of them and receives what is
// meant for standard output or standard error. Call it before anything is
// opened.
void OpenMissingStandardDescriptors();

}  // namespace velmora
