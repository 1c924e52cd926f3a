#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "base/cp1252.h"
#include "base/messages.h"
#include "base/name_text.h"
#include "base/utf8.h"
#include "platform/name_order.h"
#include "platform/names.h"
#include "platform/posix/dos_attributes.h"
#include "platform/posix/no_replace_rename.h"
#include "platform/posix/statx_info.h"
#include "platform/posix/system_error.h"

namespace velmora {
int PosixFileSystem::OpenFlags(OpenMode mode) {
    // A pipe or a device must not block the open: it is refused once open.
    // (Regular files ignore O_NONBLOCK.)
    const int common = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    switch (mode) {
        case OpenMode::kRead:
            return common | O_RDONLY;
        case OpenMode::kReadWrite:
            return common | O_RDWR;
        case OpenMode::kCreateNew:
            return common | O_RDWR | O_CREAT | O_EXCL;
    }
    return common | O_RDONLY;
}

PosixFileSystem::~PosixFileSystem() {
    CloseAll();
}

Result<std::string> PosixFileSystem::NativeForm(const std::string& path) const {
    return NativePath(path, coding_);
}

std::string PosixFileSystem::DisplayPath(const std::string& path) const {
    std::string shown = path;
    Result<std::string> native = NativePath(path, coding_);
    if (native && native.value() != shown)
        shown = ShownUtf8(native.value());
    std::replace(shown.begin(), shown.end(), '\\', '/');
    return EscapeControlBytes(shown);
}

Result<std::vector<DirEntry>> PosixFileSystem::ListFolder(const std::string& folder) {
    Result<int> handle = OpenFolder(folder);
    if (!handle)
        return handle.error();
    Result<std::vector<DirEntry>> entries = ListFolderAt(handle.value());
    (void)Close(handle.value());
    return entries;
}

Result<int> PosixFileSystem::GetAttr(const std::string& path) {
    Result<std::string> native = NativePath(path, coding_);
    if (!native)
        return native.error();
    return ReadDosAttributes(native.value(), DisplayPath(path), OwnName(path));
}

Status PosixFileSystem::SetAttr(const std::string& path, int attributes) {
    Result<std::string> native = NativePath(path, coding_);
    if (!native)
        return native.error();
    return WriteDosAttributes(native.value(), DisplayPath(path), attributes);
}

Result<EntryInfo> PosixFileSystem::Inspect(const std::string& path) {
    Result<std::string> native = NativePath(path, coding_);
    if (!native)
        return native.error();
    struct stat st;
    if (lstat(native->c_str(), &st) != 0)
        return SystemError(errno, Msg::kCannotInspect, DisplayPath(path));
    return InfoOf(st);
}

Status PosixFileSystem::DeleteFile(const std::string& path) {
    Result<std::string> native = NativePath(path, coding_);
    if (!native)
        return native.error();
    if (unlink(native->c_str()) != 0)
        return SystemError(errno, Msg::kCannotDeleteFile, DisplayPath(path));
    return Status::Ok();
}

Result<bool> PosixFileSystem::DeleteFileIfSame(const std::string& path, const EntryInfo& expected) {
    const auto slash = path.find_last_of('\\');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    Result<std::string> native_folder = NativePath(folder.empty() ? "\\" : folder, coding_);
    Result<std::string> name = NativePath(path.substr(slash + 1), coding_);
    if (!native_folder)
        return native_folder.error();
    if (!name)
        return name.error();
    const int dir = open(native_folder->c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0)
        return SystemError(errno, Msg::kCannotDeleteFile, DisplayPath(path));
    struct stat st;
    int result = fstatat(dir, name->c_str(), &st, AT_SYMLINK_NOFOLLOW);
    bool same = false;
    if (result == 0) {
        same = static_cast<std::uint64_t>(st.st_dev) == expected.device &&
               static_cast<std::uint64_t>(st.st_ino) == expected.inode;
        if (same)
            result = unlinkat(dir, name->c_str(), 0);
    }
    const int err = errno;
    close(dir);
    if (result != 0)
        return SystemError(err, Msg::kCannotDeleteFile, DisplayPath(path));
    return same;
}

Status PosixFileSystem::RenameNew(const std::string& from, const std::string& to) {
    Result<std::string> native_from = NativePath(from, coding_);
    Result<std::string> native_to = NativePath(to, coding_);
    if (!native_from)
        return native_from.error();
    if (!native_to)
        return native_to.error();
    if (const int failed =
            RenameNoReplace(AT_FDCWD, native_from->c_str(), AT_FDCWD, native_to->c_str());
        failed != 0)
        return SystemError(failed, Msg::kCannotGiveName, DisplayPath(to));
    return Status::Ok();
}

Status PosixFileSystem::MakeFolder(const std::string& path) {
    Result<std::string> native = NativePath(path, coding_);
    if (!native)
        return native.error();
    if (mkdir(native->c_str(), 0777) != 0)
        return SystemError(errno, Msg::kCannotMakeFolder, DisplayPath(path));
    return Status::Ok();
}

Status PosixFileSystem::RemoveFolder(const std::string& path) {
    Result<std::string> native = NativePath(path, coding_);
    if (!native)
        return native.error();
    if (rmdir(native->c_str()) != 0)
        return SystemError(errno, Msg::kCannotRemoveFolder, DisplayPath(path));
    return Status::Ok();
}

Status PosixFileSystem::SyncFolder(const std::string& path) {
    return SyncThrough(path, O_DIRECTORY, fsync);
}

Status PosixFileSystem::SyncFileSystem(const std::string& path) {
    return SyncThrough(path, 0, syncfs);
}

Status PosixFileSystem::SyncThrough(const std::string& path, int open_flags, int (*sync)(int)) {
    Result<std::string> native = NativePath(path.empty() ? "." : path, coding_);
    if (!native)
        return native.error();
    const int fd = open(native->c_str(), O_RDONLY | O_CLOEXEC | open_flags);
    if (fd < 0)
        return SystemError(errno, Msg::kCannotFlushToDisk, DisplayPath(path));
    const int result = sync(fd);
    const int err = errno;
    close(fd);
    if (result != 0)
        return SystemError(err, Msg::kCannotFlushToDisk, DisplayPath(path));
    return Status::Ok();
}

Result<int> PosixFileSystem::Open(const std::string& path, OpenMode mode) {
    Result<std::string> native = NativePath(path, coding_);
    if (!native)
        return native.error();
    const int fd = open(native->c_str(), OpenFlags(mode), 0666);
    if (fd < 0)
        return SystemError(errno, Msg::kCannotOpen, DisplayPath(path));
    struct stat st;
    if (mode != OpenMode::kCreateNew && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        close(fd);
        return Error{Text(Msg::kNotARegularFile, {DisplayPath(path)}), EINVAL};
    }
    return open_files_.Add(OpenFile{fd, path});
}

Result<std::size_t> PosixFileSystem::Read(int file, std::int64_t offset, std::uint8_t* out,
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
            return SystemError(errno, Msg::kCannotRead, DisplayPath(open_file->path));
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

Status PosixFileSystem::Write(int file, std::int64_t offset, const std::uint8_t* data,
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
                               DisplayPath(open_file->path));
        done += static_cast<std::size_t>(n);
    }
    return Status::Ok();
}

Status PosixFileSystem::Flush(int file) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotFlush, ShownNumber(file));
    if (fdatasync(open_file->descriptor) != 0)
        return SystemError(errno, Msg::kCannotFlushToDisk, DisplayPath(open_file->path));
    return Status::Ok();
}

Status PosixFileSystem::SetSizeOpen(int file, std::int64_t size) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotWrite, ShownNumber(file));
    if (ftruncate(open_file->descriptor, static_cast<off_t>(size)) != 0)
        return SystemError(errno, Msg::kCannotWrite, DisplayPath(open_file->path));
    return Status::Ok();
}

Status PosixFileSystem::SetModifiedOpen(int handle, std::int64_t modified_ns) {
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
        return SystemError(errno, Msg::kCannotChangeTime, DisplayPath(open_file->path));
    return Status::Ok();
}

Status PosixFileSystem::SetPermissionsOpen(int handle, std::uint32_t mode) {
    const OpenFile* open_file = open_files_.Find(handle);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotChangePermissions, ShownNumber(handle));
    if (fchmod(open_file->descriptor, static_cast<mode_t>(mode & 0777)) != 0)
        return SystemError(errno, Msg::kCannotChangePermissions, DisplayPath(open_file->path));
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

std::uint32_t PosixFileSystem::RestoredModeMask() const {
    return geteuid() == 0 ? 0u : static_cast<std::uint32_t>(kUmaskAtStartUp);
}

// The file's pages leave the cache once they are on disk; the next reads
// fetch them from the disk again.
Result<int> PosixFileSystem::ReopenUncached(int file) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotRead, ShownNumber(file));
    if (fdatasync(open_file->descriptor) != 0)
        return SystemError(errno, Msg::kCannotFlushToDisk, DisplayPath(open_file->path));
    if (const int advised = posix_fadvise(open_file->descriptor, 0, 0, POSIX_FADV_DONTNEED);
        advised != 0)
        return SystemError(advised, Msg::kCannotRead, DisplayPath(open_file->path));
    const int copy = fcntl(open_file->descriptor, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        return SystemError(errno, Msg::kCannotRead, DisplayPath(open_file->path));
    std::string path = open_file->path;
    return open_files_.Add(OpenFile{copy, std::move(path)});
}

Result<EntryInfo> PosixFileSystem::InspectOpen(int file) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotInspect, ShownNumber(file));
    struct statx sx;
    if (statx(open_file->descriptor, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_MNT_ID, &sx) != 0)
        return SystemError(errno, Msg::kCannotInspect, DisplayPath(open_file->path));
    return InfoOf(sx);
}

Status PosixFileSystem::Close(int file) {
    const std::optional<OpenFile> closing = open_files_.Take(file);
    if (!closing)
        return Status::Ok();
    if (close(closing->descriptor) != 0)
        return SystemError(errno, Msg::kCannotClose, DisplayPath(closing->path));
    return Status::Ok();
}

void PosixFileSystem::CloseAll() {
    open_files_.TakeAll([](const OpenFile& open_file) { close(open_file.descriptor); });
}

Result<std::string> PosixFileSystem::CurrentFolder() const {
    char buffer[PATH_MAX];
    if (getcwd(buffer, sizeof buffer) == nullptr)
        return SystemError(errno, Msg::kCannotFindCurrentFolder, ".");
    return OutsidePath(buffer, coding_);
}

Result<std::string> PosixFileSystem::ProgramFolder() const {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n < 0)
        return SystemError(errno, Msg::kCannotFindProgramFolder, "/proc/self/exe");
    std::string exe(buffer, static_cast<std::size_t>(n));
    const auto slash = exe.find_last_of('/');
    std::string folder = slash == 0 ? "/" : exe.substr(0, slash);
    return ProgramPath(folder, coding_);
}

}  // namespace velmora
