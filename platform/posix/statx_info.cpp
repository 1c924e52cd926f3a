#include "platform/posix/statx_info.h"

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
