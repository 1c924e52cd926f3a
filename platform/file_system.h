#pragma once

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "base/result.h"
#include "platform/name_coding.h"

namespace velmora {

// Attribute bits as one number, as the container stores them.
enum Attribute : int {
    kReadOnly = 1,
    kHidden = 2,
    kSystem = 4,
    kFolder = 16,
    kArchive = 32,
    kNormal = 128,
};

// Directory-search masks: 52 finds folders, ordinary and system items but no
// hidden one; 54 finds everything.
inline constexpr int kMaskNoHidden = kSystem | kFolder | kArchive;
inline constexpr int kMaskEverything = kHidden | kSystem | kFolder | kArchive;

enum class EntryKind { kFile, kFolder, kSymlink, kOther };

// What the file system says of one entry, without following a link.
struct EntryInfo {
    EntryKind kind = EntryKind::kOther;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    // The upper half of a 128-bit file id where the system has one (Windows'
    // FILE_ID_INFO; ReFS uses it), 0 otherwise.
    std::uint64_t inode_high = 0;
    std::uint64_t links = 0;
    std::int64_t size = 0;
    // Last change of the content, and of the content or the entry itself
    // (attributes, links), in nanoseconds since 1970-01-01 UTC.
    std::int64_t modified_ns = 0;
    std::int64_t changed_ns = 0;
    // The permission bits as POSIX keeps them (07777); on Windows, what its
    // read-only attribute means in those terms (0444 or 0666, folders with
    // the search bits as well).
    std::uint32_t mode = 0;
    // The root of a mount: another file system, or a bind mount of a folder
    // or of a single file, even from the same file system.
    bool mount_root = false;
    // The mount the entry belongs to, where the system tells (0 otherwise).
    std::uint64_t mount_id = 0;
};

// The same entry: the same device and the same whole file id (inode, and
// on Windows the high half of a 128-bit id).
bool SameEntry(const EntryInfo& a, const EntryInfo& b);

// The same entry, its size and last change of content as they were.
bool SameEntryAndContent(const EntryInfo& now, const EntryInfo& seen);

// The same folder: device, inode and, where both are known, mount.
bool SameFolder(const EntryInfo& now, const EntryInfo& seen);

// The error code of an entry that is no longer the one the scan recorded
// (another program renamed, replaced or changed it meanwhile). Windows' C
// library has no ESTALE, so there the nearest code stands in.
#ifdef ESTALE
inline constexpr int kNoLongerTheSame = ESTALE;
#else
inline constexpr int kNoLongerTheSame = EBUSY;
#endif

// The same entry, unchanged in content and in what points to it: same
// device, inode, size and times, and no other name.
bool SameUntouchedFile(const EntryInfo& now, const EntryInfo& seen);

struct DirEntry {
    std::string name;
    EntryKind kind = EntryKind::kOther;
    EntryInfo info;      // as the listing found it
    int attributes = 0;  // likewise
};

enum class OpenMode {
    kRead,       // existing file, read only
    kReadWrite,  // existing file, read and write, never truncated
    kCreateNew,  // must not exist yet
};

// The operating system as the program sees it. Paths are Windows-1252 texts
// with "\" between components, whatever the platform; each implementation
// converts at its own edge. No operation follows a symbolic link in the last
// component of a path. Files are opened under numbers, and CloseAll closes
// every one of them (what "Cancelar" and ending the program need).
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // How the program's paths write names: Windows-1252 unless set (before
    // a run opens anything) to UTF-8, every name exactly as the system
    // gives it.
    void SetNameCoding(NameCoding coding) { coding_ = coding; }
    NameCoding name_coding() const { return coding_; }

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
    // Reads up to length bytes at offset; fewer only at the end of the file.
    virtual Result<std::size_t> Read(int file, std::int64_t offset, std::uint8_t* out,
                                     std::size_t length) = 0;
    // Writes all length bytes at offset, or fails.
    virtual Status Write(int file, std::int64_t offset, const std::uint8_t* data,
                         std::size_t length) = 0;
    // Makes what was written durable on disk.
    virtual Status Flush(int file) = 0;
    virtual Result<EntryInfo> InspectOpen(int file) = 0;
    virtual Status Close(int file) = 0;
    virtual void CloseAll() = 0;

    // Folders reached through handles. A handle is a number in the same
    // table as open files (Close and CloseAll close it). Every call below
    // takes one component `name` inside an open folder and never follows a
    // link there, so whatever the folders above have become since, it
    // reaches only the folder that was opened.

    // Opens the folder path names, not following a link in its last
    // component.
    virtual Result<int> OpenFolder(const std::string& path) = 0;
    // Opens a subfolder; a link, or the root of another mount, is refused.
    virtual Result<int> OpenFolderAt(int folder, const std::string& name) = 0;
    // Every entry of an open folder but "." and "..", sorted by name.
    virtual Result<std::vector<DirEntry>> ListFolderAt(int folder) = 0;
    virtual Result<EntryInfo> InspectAt(int folder, const std::string& name) = 0;
    virtual Result<int> GetAttrAt(int folder, const std::string& name) = 0;
    // Sets the attributes of the entry, provided it is still `expected`
    // (device and inode) when one is given; a link is never changed.
    virtual Status SetAttrAt(int folder, const std::string& name, int attributes,
                             const EntryInfo* expected = nullptr) = 0;
    // The attributes of an open file or folder; `name` is its own name (a
    // name beginning with "." reads hidden where the system has no bit).
    virtual Result<int> GetAttrOpen(int handle, const std::string& name) = 0;
    virtual Status SetAttrOpen(int handle, int attributes) = 0;
    // Opens a file of the folder: kRead and kReadWrite refuse anything but a
    // regular file; kCreateNew never replaces nor follows a link.
    virtual Result<int> OpenAt(int folder, const std::string& name, OpenMode mode) = 0;
    virtual Status MakeFolderAt(int folder, const std::string& name) = 0;
    // Deletes the file right after checking, through the folder's handle,
    // that the name is still exactly `expected` (SameUntouchedFile); removes
    // the folder after checking it is still `expected` (SameFolder). False,
    // and nothing deleted, when the name refers to something else now.
    virtual Result<bool> DeleteFileAt(int folder, const std::string& name,
                                      const EntryInfo& expected) = 0;
    virtual Result<bool> RemoveFolderAt(int folder, const std::string& name,
                                        const EntryInfo& expected) = 0;
    // Gives `from` the name `to` in the same folder, never replacing.
    virtual Status RenameAt(int folder, const std::string& from, const std::string& to) = 0;
    // Makes the open folder's list of names durable; makes everything
    // written to the file system that holds the handle durable.
    virtual Status SyncFolderOpen(int folder) = 0;
    virtual Status SyncFileSystemOpen(int handle) = 0;
    // Sets the size of an open file: what lies past its last write reads as
    // zeros (and takes no room where the system keeps holes).
    virtual Status SetSizeOpen(int file, std::int64_t size) = 0;
    // Copies the first `length` bytes of the open file `from` (fewer where
    // it ends first) to the start of `to`, open for writing and empty, never
    // writing `from`. Here by plain reads and writes; a system may share the
    // blocks (a reflink) or copy inside the kernel where the file system can.
    virtual Status CopyOpen(int from, int to, std::int64_t length);
    // Sets the modification time of an open file or folder.
    virtual Status SetModifiedOpen(int handle, std::int64_t modified_ns) = 0;
    // Sets the read, write and search permission bits (0777) of an open file
    // or folder; the set-id and sticky bits are never set. Windows keeps no
    // such bits (its read-only attribute goes through SetAttrOpen): there it
    // does nothing.
    virtual Status SetPermissionsOpen(int handle, std::uint32_t mode) = 0;
    // The permission bits a restore leaves out of what a container stores:
    // the process's umask as it was at start-up, none for root (which gets
    // them exactly) and none where the system keeps no such bits.
    virtual std::uint32_t RestoredModeMask() const { return 0; }
    // A second handle on an open file, flushed before, whose reads come from
    // the disk rather than from the system's cache of the file: what was
    // written is read back as the disk holds it.
    virtual Result<int> ReopenUncached(int file) = 0;
    // Takes the run lock of an open folder or file for this process, until
    // the handle is closed. False when another run holds it.
    virtual Result<bool> TryLock(int handle) = 0;
    // Whether another program has the open file open for writing, where the
    // system can tell: on Linux a read lease is refused then (taken and given
    // back at once; false where the file system has no leases or the file
    // is another account's). Windows opens files for reading denying write
    // sharing: no writer holds one (its open fails with EBUSY), so false.
    virtual Result<bool> HeldForWriting(int file) {
        static_cast<void>(file);
        return false;
    }
    // Whether the open entry's file system gives a file a copy of its own
    // (another inode, another change time) at its first open for writing:
    // overlayfs, whose lower layer's files are copied up.
    virtual Result<bool> CopiesUpOnWrite(int handle) {
        static_cast<void>(handle);
        return false;
    }

    virtual Result<std::string> CurrentFolder() = 0;
    // The folder that holds the running program file.
    virtual Result<std::string> ProgramFolder() = 0;
    // The path exactly as the system writes it (UTF-8 on both systems), for
    // handing on to other programs.
    virtual Result<std::string> NativeForm(const std::string& path) const = 0;
    // The path as the user knows it on this platform, still Windows-1252,
    // control bytes escaped (it goes into messages).
    virtual std::string DisplayPath(const std::string& path) const = 0;

    // A path the user gave (a command-line argument, in the system's own
    // encoding) as the program's absolute path, resolved the way the system
    // resolves it: an entry (a folder to encode, a container), whose own
    // name must have a Windows-1252 form, or a folder outside any tree (the
    // folder a container goes to), taken whole as the system gives it. By
    // default the text is taken as it is.
    enum class Given { kEntry, kOutsideFolder };
    virtual Result<std::string> FromSystemPath(const std::string& given, Given what) {
        static_cast<void>(what);
        return given;
    }
    // True when path names the folder itself or anything below it, judged by
    // the identity of the real folders, not by the texts. By default the
    // texts are compared.
    virtual Result<bool> IsSameOrInside(const std::string& path, const std::string& folder);
    // The length of a path in characters as the system shows it.
    virtual std::size_t CharacterCount(const std::string& path) const { return path.size(); }
    // The longest name, in the system's units, that a folder can hold, and a
    // name's size in those units.
    virtual Result<std::size_t> LongestName(const std::string& folder) {
        static_cast<void>(folder);
        return std::size_t{255};
    }
    virtual std::size_t NativeNameSize(const std::string& name) const { return name.size(); }
    // The longest whole path, in the system's units, of an entry inside a
    // tree (none where every entry is reached through its folder's handle),
    // and a program path's size in those units.
    virtual std::size_t LongestPath() const { return 4095; }
    virtual Result<std::size_t> NativePathSize(const std::string& path) const {
        return path.size();
    }
    // Why a name cannot be created on this system ("" when it can): on
    // Windows, reserved device names, trailing dots or spaces, and the
    // characters it forbids.
    virtual std::string UncreatableName(const std::string& component) const {
        static_cast<void>(component);
        return "";
    }
    // Whether the system takes two names that differ only in case for the
    // same name (Windows does).
    virtual bool IgnoresCase() const { return false; }

  protected:
    NameCoding coding_ = NameCoding::kWindows1252;
};

// Seconds since local midnight.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual double SecondsSinceMidnight() = 0;
};

// True when an entry with these attributes is found by a search with mask.
bool PassesMask(int attributes, int mask);

// The entry's own name: the last component, looking through trailing "."
// components (the "." of a listing names the folder).
std::string OwnName(std::string path);

}  // namespace velmora
