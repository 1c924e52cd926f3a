#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/result.h"
#include "platform/entries.h"
#include "platform/path_codec.h"

namespace velmora {

// The operations on the user's trees: every entry is reached through the
// handle of its open folder and one name, and open files are read and
// written through their handles. A handle is a number in one table of open
// files and folders (Close and CloseAll close it: what "Cancelar" and ending
// the program need). Only the starting points below take a path: the folder
// the user named (or its parent), the folder a container goes to, and the
// container the user named; no entry inside a tree is reached by a path.
class TreeOps {
  public:
    virtual ~TreeOps() = default;

    // How this system writes and shows the program's paths (for messages).
    virtual const PathCodec& paths() const = 0;

    // The starting points. Opens the folder path names, not following a
    // link in its last component.
    virtual Result<int> OpenStartingFolder(const std::string& path) = 0;
    // Opens the container the user named, for reading only; anything but
    // a regular file is refused, a link is not followed.
    virtual Result<int> OpenStartingFile(const std::string& path) = 0;

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

    // Every call below takes one component `name` inside an open folder
    // and never follows a link there, so whatever the folders above have
    // become since, it reaches only the folder that was opened.

    // Opens a subfolder; a link, or the root of another mount, is refused.
    virtual Result<int> OpenFolderAt(int folder, const std::string& name) = 0;
    // Every entry of an open folder but "." and "..", sorted by name.
    virtual Result<std::vector<DirEntry>> ListFolderAt(int folder) = 0;
    // Every entry of an open folder but "." and "..", in no set order, with
    // no more than the list of names itself tells where the system keeps
    // one (POSIX): the kind and inode number, kOther and 0 where it tells
    // neither, and no device (0), times nor attributes. Here the whole
    // listing.
    virtual Result<std::vector<DirEntry>> ListNamesAt(int folder) { return ListFolderAt(folder); }
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
    // The attributes of a file this layer has just made (kCreatePrivate),
    // its permissions now `mode`, nothing written to its attributes yet:
    // where they follow from that alone (POSIX), without asking; here asked.
    virtual Result<int> GetAttrOfMadeFile(int handle, const std::string& name,
                                          std::uint32_t /*mode*/) {
        return GetAttrOpen(handle, name);
    }
    // Opens a file of the folder: kRead and kReadWrite refuse anything but a
    // regular file; kCreateNew and kCreatePrivate never replace nor follow a link.
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
};

}  // namespace velmora
