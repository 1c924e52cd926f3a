#include "platform/posix/posix_tree_ops.h"

#include <sys/sysmacros.h>

namespace velmora {

struct stat StatOf(const struct statx& sx) {
    struct stat st {};
    st.st_dev = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    st.st_ino = sx.stx_ino;
    st.st_mode = sx.stx_mode;
    st.st_nlink = sx.stx_nlink;
    st.st_uid = sx.stx_uid;
    st.st_gid = sx.stx_gid;
    st.st_rdev = makedev(sx.stx_rdev_major, sx.stx_rdev_minor);
    st.st_size = static_cast<off_t>(sx.stx_size);
    st.st_blksize = static_cast<blksize_t>(sx.stx_blksize);
    st.st_blocks = static_cast<blkcnt_t>(sx.stx_blocks);
    st.st_atim = {sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec};
    st.st_mtim = {sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec};
    st.st_ctim = {sx.stx_ctime.tv_sec, sx.stx_ctime.tv_nsec};
    return st;
}

EntryInfo InfoOf(const struct stat& st) {
    EntryInfo info;
    if (S_ISREG(st.st_mode))
        info.kind = EntryKind::kFile;
    else if (S_ISDIR(st.st_mode))
        info.kind = EntryKind::kFolder;
    else if (S_ISLNK(st.st_mode))
        info.kind = EntryKind::kSymlink;
    info.device = static_cast<std::uint64_t>(st.st_dev);
    info.inode = static_cast<std::uint64_t>(st.st_ino);
    info.links = static_cast<std::uint64_t>(st.st_nlink);
    info.size = static_cast<std::int64_t>(st.st_size);
    info.modified_ns = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    info.changed_ns = st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec;
    info.mode = static_cast<std::uint32_t>(st.st_mode & 07777);
    return info;
}

EntryInfo InfoOf(const struct statx& sx, const struct statx* folder) {
    EntryInfo info = InfoOf(StatOf(sx));
    if ((sx.stx_mask & STATX_MNT_ID) != 0)
        info.mount_id = sx.stx_mnt_id;
    if (folder)
        info.mount_root = IsMountRoot(sx, *folder);
    return info;
}

// The kernel marks the root of every mount; where it does not say, a mount
// id other than the listed folder's tells the same.
bool IsMountRoot(const struct statx& entry, const struct statx& folder) {
    if ((entry.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0 &&
        (entry.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0)
        return true;
    return (entry.stx_mask & folder.stx_mask & STATX_MNT_ID) != 0 &&
           entry.stx_mnt_id != folder.stx_mnt_id;
}

}  // namespace velmora
