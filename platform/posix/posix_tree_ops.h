#pragma once

#include <sys/types.h>

#include <string>

#include "base/messages.h"
#include "platform/open_files.h"
#include "platform/tree_ops.h"

namespace velmora {

// The tree operations of a POSIX system: descriptors in the table of open
// files, every entry inside a tree reached by one name through its
// folder's descriptor. Names are converted and shown by paths().
class PosixTreeOps : public virtual TreeOps {
  public:
    PosixTreeOps() = default;
    ~PosixTreeOps() override;
    PosixTreeOps(const PosixTreeOps&) = delete;
    PosixTreeOps& operator=(const PosixTreeOps&) = delete;

    Result<int> OpenStartingFolder(const std::string& path) override;
    Result<int> OpenStartingFile(const std::string& path) override {
        return OpenPath(path, OpenMode::kRead);
    }
    Result<std::size_t> Read(int file, std::int64_t offset, std::uint8_t* out,
                             std::size_t length) override;
    Status Write(int file, std::int64_t offset, const std::uint8_t* data,
                 std::size_t length) override;
    Status Flush(int file) override;
    Result<EntryInfo> InspectOpen(int file) override;
    Status SetSizeOpen(int file, std::int64_t size) override;
    Status CopyOpen(int from, int to, std::int64_t length) override;
    Status SetModifiedOpen(int handle, std::int64_t modified_ns) override;
    Status SetPermissionsOpen(int handle, std::uint32_t mode) override;
    std::uint32_t RestoredModeMask() const override;
    Result<int> ReopenUncached(int file) override;
    Status Close(int file) override;
    void CloseAll() override;
    Result<int> OpenFolderAt(int folder, const std::string& name) override;
    Result<std::vector<DirEntry>> ListFolderAt(int folder) override;
    Result<EntryInfo> InspectAt(int folder, const std::string& name) override;
    Result<int> GetAttrAt(int folder, const std::string& name) override;
    Status SetAttrAt(int folder, const std::string& name, int attributes,
                     const EntryInfo* expected = nullptr) override;
    Result<int> GetAttrOpen(int handle, const std::string& name) override;
    Status SetAttrOpen(int handle, int attributes) override;
    Result<int> OpenAt(int folder, const std::string& name, OpenMode mode) override;
    Status MakeFolderAt(int folder, const std::string& name) override;
    Result<bool> DeleteFileAt(int folder, const std::string& name,
                              const EntryInfo& expected) override;
    Result<bool> RemoveFolderAt(int folder, const std::string& name,
                                const EntryInfo& expected) override;
    Status RenameAt(int folder, const std::string& from, const std::string& to) override;
    Status SyncFolderOpen(int folder) override;
    Status SyncFileSystemOpen(int handle) override;
    Result<bool> TryLock(int handle) override;
    Result<bool> HeldForWriting(int file) override;
    Result<bool> CopiesUpOnWrite(int handle) override;

  protected:
    // Opens the file path names, never following a link in its last
    // component: the container the user named, and files outside any tree.
    Result<int> OpenPath(const std::string& path, OpenMode mode);

  private:
    struct OpenFile {
        int descriptor;
        std::string path;
    };
    // The descriptor of an open handle and the native form of a name inside
    // it (one component, never "." or ".."); shown is the entry's path for
    // messages.
    struct Inside {
        int folder;
        std::string name;
        std::string shown;
    };
    Result<Inside> Resolve(int folder, const std::string& name, Msg action) const;
    // Opens name in the folder, never through a link or into another mount.
    int OpenBeneath(int folder, const std::string& name, int flags, mode_t mode) const;
    static int OpenFlags(OpenMode mode);
    std::string Shown(const std::string& path) const { return paths().DisplayPath(path); }
    NameCoding Coding() const { return paths().name_coding(); }

    OpenFiles<OpenFile> open_files_;
};

}  // namespace velmora
