#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <string>

#include "base/messages.h"
#include "base/result.h"
#include "platform/file_system.h"
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
    Result<std::vector<DirEntry>> ListNamesAt(int folder) override;
    Result<EntryInfo> InspectAt(int folder, const std::string& name) override;
    Result<int> GetAttrAt(int folder, const std::string& name) override;
    Result<int> GetAttrOfMadeFile(int handle, const std::string& name,
                                  std::uint32_t mode) override;
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
    // The whole listing (each entry inspected, sorted by name) or, not
    // inspected, what the folder's list of names holds, in its order.
    Result<std::vector<DirEntry>> ListAt(int folder, bool inspected);
    // Opens name in the folder, never through a link or into another mount.
    int OpenBeneath(int folder, const std::string& name, int flags, mode_t mode) const;
    static int OpenFlags(OpenMode mode);
    // The permissions a created file asks for (the umask then applies).
    static mode_t CreatedMode(OpenMode mode) {
        return mode == OpenMode::kCreatePrivate ? 0600 : 0666;
    }
    std::string Shown(const std::string& path) const { return paths().DisplayPath(path); }
    NameCoding Coding() const { return paths().name_coding(); }

    OpenFiles<OpenFile> open_files_;
};

// Gives the entry `from` of folder `from_dir` the name `to` in `to_dir`,
// never replacing an entry that exists: renameat2(RENAME_NOREPLACE) where
// the file system has it, and where it is refused (FUSE file systems: NTFS,
// exFAT, FAT, GVfs, sshfs answer EINVAL) a placeholder under `to` that
// only this call can have made, checked by identity right before a plain
// rename over it. Returns 0, or the errno of the failure (EEXIST when `to`
// is taken).
int RenameNoReplace(int from_dir, const char* from, int to_dir, const char* to);

// What the layer asks statx of an entry.
constexpr unsigned kStatxWanted = STATX_BASIC_STATS | STATX_MNT_ID;

// The fields of a statx answer in the form the rest of the layer reads.
struct stat StatOf(const struct statx& sx);

// True when the entry is the root of a mount (another file system, or a
// bind mount of a folder or of a single file, even from the same device).
// folder is the answer for the folder that lists the entry, asked with
// STATX_MNT_ID.
// What the rest of the program reads of an entry.
EntryInfo InfoOf(const struct stat& st);
// The same with the mount id, and the mount-root mark when folder (the
// answer for the folder that holds the entry) is given.
EntryInfo InfoOf(const struct statx& sx, const struct statx* folder = nullptr);

bool IsMountRoot(const struct statx& entry, const struct statx& folder);

// DOS attributes on a POSIX file system. Folder from the file type;
// read-only when the owner lacks write permission; hidden, system and
// archive from the extended attribute user.DOSATTRIB (text "0x" + hex, as
// Wine and Samba read it) when present, otherwise archive for a file and
// hidden for a name beginning with "."; a file with nothing set reads 128.
// `name` is the entry's own name, used for the dot rule; `shown_path` names
// the entry in messages.

// Where the entry's extended attribute is read or written: a path, an open
// descriptor (`path` empty), or (for reading only) the entry named `path`
// in the folder open as `descriptor`. A read never follows a link in the
// last component.
struct AttributeTarget {
    std::string path;
    int descriptor = -1;
};

// The attributes of an entry whose lstat (or fstat) is already at hand.
int DosAttributesOf(const struct stat& st, const AttributeTarget& target, const std::string& name);
// The attributes of a file just made with permissions `mode`: nothing
// stored for it yet (no file system gives a new file user.DOSATTRIB).
int DosAttributesOfNewFile(mode_t mode, const std::string& name);

Result<int> ReadDosAttributes(const std::string& native_path, const std::string& shown_path,
                              const std::string& name);

// Sets the read-only bit through the owner's write permission and always
// writes user.DOSATTRIB with the hidden, system and archive bits. Where the
// file system refuses user extended attributes only the read-only bit is
// kept.
Status WriteDosAttributes(const std::string& native_path, const std::string& shown_path,
                          int attributes);
// The same through a handle (a descriptor, or a path that reaches no link)
// whose fstat is st.
Status WriteDosAttributesThrough(const AttributeTarget& handle, const struct stat& st,
                                 const std::string& shown_path, int attributes);

// A failed system call as a user message: what was being done, the path as
// the user knows it, and the reason in Spanish. The error number is kept.
Error SystemError(int error_number, Msg action, const std::string& shown_path);

}  // namespace velmora
