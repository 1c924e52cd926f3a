// PosixTreeOps::CopyOpen: the blocks shared where the file system can
// (FICLONE: btrfs, xfs), else copied inside the kernel (copy_file_range),
// else by plain reads and writes (FUSE, tmpfs before 5.3, anything that
// refuses both).
#include <errno.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/messages.h"
#include "platform/posix/posix_tree_ops.h"

namespace velmora {
namespace {

// The failures that mean "not here", for which the next way is tried.
bool Unsupported(int error) {
    return error == EOPNOTSUPP || error == ENOTSUP || error == EXDEV || error == EINVAL ||
           error == ENOSYS || error == ENOTTY || error == EBADF || error == EPERM;
}

}  // namespace

Status PosixTreeOps::CopyOpen(int from, int to, std::int64_t length) {
    const OpenFile* source = open_files_.Find(from);
    const OpenFile* target = open_files_.Find(to);
    if (!source || !target)
        return TreeOps::CopyOpen(from, to, length);
    struct stat info;
    if (fstat(source->descriptor, &info) != 0)
        return SystemError(errno, Msg::kCannotRead, Shown(source->path));
    // A clone takes the whole file: only when that is what is asked.
    if (info.st_size == length && ioctl(target->descriptor, FICLONE, source->descriptor) == 0)
        return Status::Ok();
    std::int64_t done = 0;
    while (done < length) {
        loff_t in = done;
        loff_t out = done;
        const ssize_t copied = copy_file_range(source->descriptor, &in, target->descriptor, &out,
                                               static_cast<std::size_t>(length - done), 0);
        if (copied < 0 && errno == EINTR)
            continue;
        if (copied < 0 && done == 0 && Unsupported(errno))
            return TreeOps::CopyOpen(from, to, length);
        if (copied < 0)
            return SystemError(errno, Msg::kCannotWrite, Shown(target->path));
        if (copied == 0)
            break;
        done += copied;
    }
    return Status::Ok();
}

}  // namespace velmora
