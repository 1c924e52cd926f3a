#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "base/messages.h"
#include "platform/file_system.h"
#include "platform/open_files.h"
#include "platform/system_clock.h"
#include "platform/win32/file_identity.h"

namespace velmora {

struct RelativeOpen;

// The file system of Windows through the wide-character API, with the
// program's Windows-1252 paths converted by table at the edge and long paths
// through "\\?\". Reparse points (symbolic links, junctions, mounted folders)
// are never followed: they read as links, which the engine refuses.
class Win32FileSystem : public FileSystem {
  public:
    Win32FileSystem() = default;
    ~Win32FileSystem() override;
    Win32FileSystem(const Win32FileSystem&) = delete;
    Win32FileSystem& operator=(const Win32FileSystem&) = delete;

    Result<std::vector<DirEntry>> ListFolder(const std::string& folder) override;
    Result<int> GetAttr(const std::string& path) override;
    Status SetAttr(const std::string& path, int attributes) override;
    Result<EntryInfo> Inspect(const std::string& path) override;
    // Deletes through a handle opened on the name itself (never a link's
    // target). A file this object wrote and closed is deleted only while it
    // is still that file: same volume, index, size, creation time and links.
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
    Status SetModifiedOpen(int handle, std::int64_t modified_ns) override;
    Status SetPermissionsOpen(int handle, std::uint32_t mode) override;
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
    std::size_t LongestPath() const override { return 32767; }
    Result<std::size_t> NativePathSize(const std::string& path) const override;
    std::size_t NativeNameSize(const std::string& name) const override;
    std::string UncreatableName(const std::string& component) const override;
    bool IgnoresCase() const override { return true; }
    Result<std::string> CurrentFolder() const override;
    Result<std::string> ProgramFolder() const override;
    Result<std::string> NativeForm(const std::string& path) const override;
    std::string DisplayPath(const std::string& path) const override;
    Result<std::string> FromSystemPath(const std::string& given, Given what) override;

  private:
    using KeepCheck = std::function<Result<bool>(void* handle, const EntryInfo& now)>;
    Result<bool> DeleteThroughHandle(const std::string& path, const KeepCheck& keep);

    struct OpenFile {
        void* handle;
        std::string path;
        bool written;
        void* lock = nullptr;  // the run lock's named mutex, while held
        // Opened without the system's cache: reads must start and end on
        // sector boundaries, into aligned memory (Read takes care of it).
        bool uncached = false;
    };
    Result<std::size_t> ReadUncached(const OpenFile& file, std::int64_t offset, std::uint8_t* out,
                                     std::size_t length);
    // One name inside an open folder: the folder's handle, the name as the
    // system takes it (one component, never "." or "..") and the path shown
    // in messages.
    struct Inside {
        void* folder;
        std::wstring name;
        std::string shown;
    };
    Result<Inside> Resolve(int folder, const std::string& name, Msg action) const;
    // Opens the name relative to the folder's handle, never following it.
    Result<void*> OpenInside(const Inside& inside, const RelativeOpen& how, Msg action) const;
    Result<EntryInfo> InfoInside(const Inside& inside, void* handle) const;
    // A name inside an open folder opened as OpenInside does, with what its
    // handle says (InfoInside); the handle is closed with it unless taken.
    struct OpenedInside {
        Inside inside;
        void* handle;
        EntryInfo info;
        OpenedInside(Inside where, void* opened) : inside(std::move(where)), handle(opened) {}
        OpenedInside(OpenedInside&& other) noexcept
            : inside(std::move(other.inside)), handle(other.Take()), info(other.info) {}
        OpenedInside& operator=(OpenedInside&&) = delete;
        ~OpenedInside();
        void* Take();
    };
    Result<OpenedInside> OpenAndInspect(int folder, const std::string& name,
                                        const RelativeOpen& how, Msg action) const;
    Status SetAttributesOf(void* handle, int attributes, bool folder,
                           const std::string& shown) const;
    Result<bool> DeleteInside(int folder, const std::string& name, bool is_folder,
                              const std::function<bool(const EntryInfo&)>& keep);

    OpenFiles<OpenFile> open_files_;
    std::map<std::string, FileIdentity> written_files_;  // as they were when closed
    std::set<std::string> unflushed_;  // written files whose flush at close failed
};

}  // namespace velmora
