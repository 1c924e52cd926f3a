#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>

#include "base/messages.h"
#include "base/result.h"
#include "platform/names.h"
#include "platform/open_files.h"
#include "platform/tree_ops.h"

namespace velmora {

struct RelativeOpen;

// The tree operations of Windows: handles in the table of open files,
// every entry inside a tree opened by one name relative to its folder's
// handle, long paths through "\\?\" for the starting points. Reparse points
// (symbolic links, junctions, mounted folders) are never followed: they
// read as links, which the engine refuses. Names are converted and shown by
// paths().
class Win32TreeOps : public virtual TreeOps {
  public:
    Win32TreeOps() = default;
    ~Win32TreeOps() override;
    Win32TreeOps(const Win32TreeOps&) = delete;
    Win32TreeOps& operator=(const Win32TreeOps&) = delete;

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
    Status SetModifiedOpen(int handle, std::int64_t modified_ns) override;
    Status SetPermissionsOpen(int handle, std::uint32_t mode) override;
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

  protected:
    // Opens the file path names through its long form, never following a
    // reparse point: the container the user named, and files outside any
    // tree.
    Result<int> OpenPath(const std::string& path, OpenMode mode);

  private:
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
    std::string Shown(const std::string& path) const { return paths().DisplayPath(path); }
    NameCoding Coding() const { return paths().name_coding(); }

    OpenFiles<OpenFile> open_files_;
    std::set<std::string> unflushed_;  // written files whose flush at close failed
};

// A failed Windows call as a user message: what was being done, the path as
// the user knows it and the reason in Spanish. The error keeps the C library
// number the engine understands (EACCES, EBUSY, ENOENT ...), so the engine
// reads failures the same way on every system.
Error WinError(unsigned long windows_error, Msg action, const std::string& shown_path);

// The same for the calling thread's last error.
Error LastWinError(Msg action, const std::string& shown_path);

// A program path ("\" between components, in the program's name coding) as
// the wide path the file system is called with: made absolute and
// normalised, then given the "\\?\" prefix so paths longer than MAX_PATH
// work.
Result<std::wstring> LongWidePath(const std::string& program_path, NameCoding coding);

// A wide path from the system as a program path, without any "\\?\"
// prefix. A name that cannot be written exactly in the coding is refused
// (in UTF-8: an unpaired surrogate, which Windows allows in names).
Result<std::string> ProgramPathOf(const std::wstring& wide_path, NameCoding coding);

// The wide form of a program text in the coding.
Result<std::wstring> WideOf(std::string_view program_text, NameCoding coding);

// Why Windows cannot create an entry of this name, as the end of a sentence
// naming what it refuses ("" when it can): a name ending in a dot or a
// space, a character it forbids (< > : " / \ | ? * and the control
// characters), or a device's name, alone or before any extension and in any
// case: CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-COM9 and LPT0-LPT9, the
// last two also with a superscript 1, 2 or 3 for the digit.
std::string WhyWindowsRefusesName(std::wstring_view name);

}  // namespace velmora
