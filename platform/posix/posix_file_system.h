#pragma once

#include <limits>
#include <string>

#include "base/messages.h"
#include "platform/file_system.h"
#include "platform/open_files.h"
#include "platform/system_clock.h"

namespace velmora {

// The file system of a POSIX system, with the program's paths converted to
// UTF-8 and "/" at the edge.
class PosixFileSystem : public FileSystem {
  public:
    PosixFileSystem() = default;
    ~PosixFileSystem() override;
    PosixFileSystem(const PosixFileSystem&) = delete;
    PosixFileSystem& operator=(const PosixFileSystem&) = delete;

    Result<std::vector<DirEntry>> ListFolder(const std::string& folder) override;
    Result<int> GetAttr(const std::string& path) override;
    Status SetAttr(const std::string& path, int attributes) override;
    Result<EntryInfo> Inspect(const std::string& path) override;
    Status DeleteFile(const std::string& path) override;
    Result<bool> DeleteFileIfSame(const std::string& path, const EntryInfo& expected) override;
    Status RenameNew(const std::string& from, const std::string& to) override;
    Status MakeFolder(const std::string& path) override;
    Status RemoveFolder(const std::string& path) override;
    Status SyncFolder(const std::string& path) override;
    Status SyncFileSystem(const std::string& path) override;
    Result<int> Open(const std::string& path, OpenMode mode) override;
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
    Result<int> OpenFolder(const std::string& path) override;
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
    Result<std::string> CurrentFolder() const override;
    Result<std::string> ProgramFolder() const override;
    Result<std::string> NativeForm(const std::string& path) const override;
    std::string DisplayPath(const std::string& path) const override;
    Result<std::string> FromSystemPath(const std::string& given, Given what) override;
    Result<bool> IsSameOrInside(const std::string& path, const std::string& folder) override;
    std::size_t CharacterCount(const std::string& path) const override;
    Result<std::size_t> LongestName(const std::string& folder) override;
    std::size_t NativeNameSize(const std::string& name) const override;
    Result<std::size_t> NativePathSize(const std::string& path) const override;
    // Inside a tree every call is relative to a folder's handle: no whole
    // path is ever handed to the system, so none limits a tree.
    std::size_t LongestPath() const override { return std::numeric_limits<std::size_t>::max(); }

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
    // Opens path and applies sync (fsync or syncfs) to it.
    Status SyncThrough(const std::string& path, int open_flags, int (*sync)(int));

    OpenFiles<OpenFile> open_files_;
};

}  // namespace velmora
