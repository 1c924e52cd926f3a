#pragma once

#include <cerrno>
#include <cstdint>
#include <string>

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
inline bool SameEntry(const EntryInfo& a, const EntryInfo& b) {
    return a.device == b.device && a.inode == b.inode && a.inode_high == b.inode_high;
}

// The same entry, its size and last change of content as they were.
inline bool SameEntryAndContent(const EntryInfo& now, const EntryInfo& seen) {
    return SameEntry(now, seen) && now.size == seen.size && now.modified_ns == seen.modified_ns;
}

// The same folder: device, inode and, where both are known, mount.
inline bool SameFolder(const EntryInfo& now, const EntryInfo& seen) {
    return now.kind == EntryKind::kFolder && seen.kind == EntryKind::kFolder &&
           SameEntry(now, seen) &&
           (now.mount_id == 0 || seen.mount_id == 0 || now.mount_id == seen.mount_id);
}

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
inline bool SameUntouchedFile(const EntryInfo& now, const EntryInfo& seen) {
    return now.kind == EntryKind::kFile && seen.kind == EntryKind::kFile &&
           SameEntryAndContent(now, seen) && now.changed_ns == seen.changed_ns && now.links == 1;
}

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
    // Must not exist yet; made readable and writable by its owner only (on
    // POSIX, 0600 less the umask), for a file whose permissions are set
    // once it is complete.
    kCreatePrivate,
};

inline bool Creates(OpenMode mode) {
    return mode == OpenMode::kCreateNew || mode == OpenMode::kCreatePrivate;
}

}  // namespace velmora
