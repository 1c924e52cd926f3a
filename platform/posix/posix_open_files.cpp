// The POSIX tree operations on open files: the table of descriptors and
// what is done through one (reads, writes, flushes, times, permissions,
// the run lock).
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cstdio>

#include "base/messages.h"
#include "platform/names.h"
#include "platform/posix/posix_tree_ops.h"

namespace velmora {

int PosixTreeOps::OpenFlags(OpenMode mode) {
    // A pipe or a device must not block the open: it is refused once open.
    // (Regular files ignore O_NONBLOCK.)
    const int common = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    switch (mode) {
        case OpenMode::kRead:
            return common | O_RDONLY;
        case OpenMode::kReadWrite:
            return common | O_RDWR;
        case OpenMode::kCreateNew:
        case OpenMode::kCreatePrivate:
            return common | O_RDWR | O_CREAT | O_EXCL;
    }
    return common | O_RDONLY;
}

PosixTreeOps::~PosixTreeOps() {
    CloseAll();
}

Result<int> PosixTreeOps::OpenPath(const std::string& path, OpenMode mode) {
    Result<std::string> native = NativePath(path, Coding());
    if (!native)
        return native.error();
    const int fd = open(native->c_str(), OpenFlags(mode), CreatedMode(mode));
    if (fd < 0)
        return SystemError(errno, Msg::kCannotOpen, Shown(path));
    struct stat st;
    if (!Creates(mode) && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        close(fd);
        return Error{Text(Msg::kNotARegularFile, {Shown(path)}), EINVAL};
    }
    return open_files_.Add(OpenFile{fd, path});
}

Result<std::size_t> PosixTreeOps::Read(int file, std::int64_t offset, std::uint8_t* out,
                                          std::size_t length) {
    const auto held = open_files_.Hold();  // the sealed reader's worker reads
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotRead, ShownNumber(file));
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = pread(open_file->descriptor, out + done, length - done,
                                static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return SystemError(errno, Msg::kCannotRead, Shown(open_file->path));
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

Status PosixTreeOps::Write(int file, std::int64_t offset, const std::uint8_t* data,
                              std::size_t length) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotWrite, ShownNumber(file));
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = pwrite(open_file->descriptor, data + done, length - done,
                                 static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return SystemError(n < 0 ? errno : EIO, Msg::kCannotWrite,
                               Shown(open_file->path));
        done += static_cast<std::size_t>(n);
    }
    return Status::Ok();
}

Status PosixTreeOps::Flush(int file) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotFlush, ShownNumber(file));
    if (fdatasync(open_file->descriptor) != 0)
        return SystemError(errno, Msg::kCannotFlushToDisk, Shown(open_file->path));
    return Status::Ok();
}

Status PosixTreeOps::SetSizeOpen(int file, std::int64_t size) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotWrite, ShownNumber(file));
    if (ftruncate(open_file->descriptor, static_cast<off_t>(size)) != 0)
        return SystemError(errno, Msg::kCannotWrite, Shown(open_file->path));
    return Status::Ok();
}

Status PosixTreeOps::SetModifiedOpen(int handle, std::int64_t modified_ns) {
    const OpenFile* open_file = open_files_.Find(handle);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotChangeTime, ShownNumber(handle));
    // Seconds rounded down, so that the nanoseconds are never negative
    // (times before 1970).
    std::int64_t seconds = modified_ns / 1000000000;
    std::int64_t nanoseconds = modified_ns % 1000000000;
    if (nanoseconds < 0) {
        --seconds;
        nanoseconds += 1000000000;
    }
    const struct timespec times[2] = {
        {0, UTIME_OMIT}, {static_cast<time_t>(seconds), static_cast<long>(nanoseconds)}};
    if (futimens(open_file->descriptor, times) != 0)
        return SystemError(errno, Msg::kCannotChangeTime, Shown(open_file->path));
    return Status::Ok();
}

Status PosixTreeOps::SetPermissionsOpen(int handle, std::uint32_t mode) {
    const OpenFile* open_file = open_files_.Find(handle);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotChangePermissions, ShownNumber(handle));
    if (fchmod(open_file->descriptor, static_cast<mode_t>(mode & 0777)) != 0)
        return SystemError(errno, Msg::kCannotChangePermissions, Shown(open_file->path));
    return Status::Ok();
}

namespace {

// The umask is process-wide and reading it through umask() sets it for a
// moment, so it is read once, before main() starts any thread: from
// /proc/self/status where the kernel tells it (Linux 4.7 on), otherwise by
// setting it and putting it back.
mode_t UmaskAtStartUp() {
    if (FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        unsigned int mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found)
            return static_cast<mode_t>(mask & 0777);
    }
    const mode_t mask = umask(022);
    umask(mask);
    return mask;
}

const mode_t kUmaskAtStartUp = UmaskAtStartUp();

}  // namespace

std::uint32_t PosixTreeOps::RestoredModeMask() const {
    static const bool root = geteuid() == 0;
    return root ? 0u : static_cast<std::uint32_t>(kUmaskAtStartUp);
}

// The file's pages leave the cache once they are on disk; the next reads
// fetch them from the disk again.
Result<int> PosixTreeOps::ReopenUncached(int file) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotRead, ShownNumber(file));
    if (fdatasync(open_file->descriptor) != 0)
        return SystemError(errno, Msg::kCannotFlushToDisk, Shown(open_file->path));
    if (const int advised = posix_fadvise(open_file->descriptor, 0, 0, POSIX_FADV_DONTNEED);
        advised != 0)
        return SystemError(advised, Msg::kCannotRead, Shown(open_file->path));
    const int copy = fcntl(open_file->descriptor, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        return SystemError(errno, Msg::kCannotRead, Shown(open_file->path));
    std::string path = open_file->path;
    return open_files_.Add(OpenFile{copy, std::move(path)});
}

Result<EntryInfo> PosixTreeOps::InspectOpen(int file) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotInspect, ShownNumber(file));
    struct statx sx;
    if (statx(open_file->descriptor, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_MNT_ID, &sx) != 0)
        return SystemError(errno, Msg::kCannotInspect, Shown(open_file->path));
    return InfoOf(sx);
}

Status PosixTreeOps::Close(int file) {
    const std::optional<OpenFile> closing = open_files_.Take(file);
    if (!closing)
        return Status::Ok();
    if (close(closing->descriptor) != 0)
        return SystemError(errno, Msg::kCannotClose, Shown(closing->path));
    return Status::Ok();
}

void PosixTreeOps::CloseAll() {
    open_files_.TakeAll([](const OpenFile& open_file) { close(open_file.descriptor); });
}

Status PosixTreeOps::SyncFolderOpen(int folder) {
    const OpenFile* open_folder = open_files_.Find(folder);
    if (!open_folder)
        return SystemError(EBADF, Msg::kCannotFlushToDisk, ShownNumber(folder));
    if (fsync(open_folder->descriptor) != 0)
        return SystemError(errno, Msg::kCannotFlushToDisk, Shown(open_folder->path));
    return Status::Ok();
}

Status PosixTreeOps::SyncFileSystemOpen(int handle) {
    const OpenFile* open_file = open_files_.Find(handle);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotFlushToDisk, ShownNumber(handle));
    if (syncfs(open_file->descriptor) != 0)
        return SystemError(errno, Msg::kCannotFlushToDisk, Shown(open_file->path));
    return Status::Ok();
}

// The run lock is the kernel's advisory lock on the folder or file itself:
// it goes with the descriptor, so a run that dies leaves no lock behind.
Result<bool> PosixTreeOps::TryLock(int handle) {
    const OpenFile* open_file = open_files_.Find(handle);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotLock, ShownNumber(handle));
    if (flock(open_file->descriptor, LOCK_EX | LOCK_NB) == 0)
        return true;
    if (errno == EWOULDBLOCK)
        return false;
    return SystemError(errno, Msg::kCannotLock, Shown(open_file->path));
}

// A read lease is granted only while no descriptor anywhere has the file
// open for writing. It is given back at once, so a writer opening the file
// later is held up for no more than that instant; if one comes in it, the
// break is told by SIGURG, which is ignored unless handled (the default
// SIGIO would end the program).
Result<bool> PosixTreeOps::HeldForWriting(int file) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotRead, ShownNumber(file));
    const int fd = open_file->descriptor;
    if (fcntl(fd, F_SETSIG, SIGURG) != 0)
        return SystemError(errno, Msg::kCannotRead, Shown(open_file->path));
    if (fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        (void)fcntl(fd, F_SETLEASE, F_UNLCK);
        return false;
    }
    // No lease where the file system has none (EINVAL) or for another
    // account's file without CAP_LEASE (EACCES): the caller's other guard
    // (size and time) stands alone.
    return errno == EAGAIN;
}

Result<bool> PosixTreeOps::CopiesUpOnWrite(int handle) {
    constexpr decltype(statfs::f_type) kOverlayMagic = 0x794C7630;  // OVERLAYFS_SUPER_MAGIC
    const OpenFile* open_file = open_files_.Find(handle);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotInspect, ShownNumber(handle));
    struct statfs about;
    if (fstatfs(open_file->descriptor, &about) != 0)
        return SystemError(errno, Msg::kCannotInspect, Shown(open_file->path));
    return about.f_type == kOverlayMagic;
}

}  // namespace velmora
