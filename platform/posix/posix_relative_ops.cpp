// The operations on entries reached through the handle of their folder. No
// call here gives the kernel more than one component: whatever the folders
// above have become since the handle was opened, the entry is looked for in
// that folder only, and a link or another mount found there is refused.
#include <errno.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "base/messages.h"
#include "platform/names.h"
#include "platform/posix/posix_tree_ops.h"

namespace velmora {
namespace {

// A descriptor's own entry in /proc: the kernel's way to the very inode the
// descriptor holds, for the calls that have no descriptor form.
std::string HandlePath(int descriptor) {
    return "/proc/self/fd/" + std::to_string(descriptor);
}

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd;
    explicit Descriptor(int descriptor) : fd(descriptor) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0)
            close(fd);
    }
    int release() {
        const int kept = fd;
        fd = -1;
        return kept;
    }
};

}  // namespace

Result<PosixTreeOps::Inside> PosixTreeOps::Resolve(int folder, const std::string& name,
                                                         Msg action) const {
    const OpenFile* open_folder = open_files_.Find(folder);
    const std::string shown =
        open_folder ? Shown(open_folder->path + "\\" + name) : ShownNumber(folder);
    if (!open_folder)
        return SystemError(EBADF, action, shown);
    if (name.empty() || name == "." || name == ".." || name.find('\\') != std::string::npos)
        return SystemError(EINVAL, action, shown);
    Result<std::string> native = NativePath(name, Coding());
    if (!native)
        return native.error();
    return Inside{open_folder->descriptor, std::move(native).value(), shown};
}

int PosixTreeOps::OpenBeneath(int folder, const std::string& name, int flags,
                                 mode_t mode) const {
    struct open_how how {};
    how.flags = static_cast<std::uint64_t>(flags);
    how.mode = (flags & O_CREAT) ? mode : 0;
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_XDEV | RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    const long fd = syscall(SYS_openat2, folder, name.c_str(), &how, sizeof how);
    if (fd >= 0 || errno != ENOSYS)
        return static_cast<int>(fd);
    // Kernels before 5.6: the name is one component and O_NOFOLLOW keeps a
    // link from being followed; a mount is told by its mount id.
    const int opened = openat(folder, name.c_str(), flags | O_NOFOLLOW, mode);
    if (opened < 0)
        return opened;
    struct statx inner;
    struct statx outer;
    if (statx(opened, "", AT_EMPTY_PATH, STATX_MNT_ID, &inner) == 0 &&
        statx(folder, "", AT_EMPTY_PATH, STATX_MNT_ID, &outer) == 0 &&
        (inner.stx_mask & outer.stx_mask & STATX_MNT_ID) != 0 &&
        inner.stx_mnt_id != outer.stx_mnt_id) {
        close(opened);
        errno = EXDEV;
        return -1;
    }
    return opened;
}

Result<int> PosixTreeOps::OpenStartingFolder(const std::string& path) {
    Result<std::string> native = NativePath(path.empty() ? "." : path, Coding());
    if (!native)
        return native.error();
    const int fd = open(native->c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return SystemError(errno, Msg::kCannotOpenFolder, Shown(path));
    return open_files_.Add(OpenFile{fd, path});
}

Result<int> PosixTreeOps::OpenFolderAt(int folder, const std::string& name) {
    Result<Inside> inside = Resolve(folder, name, Msg::kCannotOpenFolder);
    if (!inside)
        return inside.error();
    const int fd =
        OpenBeneath(inside->folder, inside->name, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0)
        return SystemError(errno, Msg::kCannotOpenFolder, inside->shown);
    return open_files_.Add(OpenFile{fd, open_files_.Find(folder)->path + "\\" + name});
}

Result<EntryInfo> PosixTreeOps::InspectAt(int folder, const std::string& name) {
    Result<Inside> inside = Resolve(folder, name, Msg::kCannotInspect);
    if (!inside)
        return inside.error();
    struct statx self;
    struct statx sx;
    if (statx(inside->folder, "", AT_EMPTY_PATH, STATX_MNT_ID, &self) != 0 ||
        statx(inside->folder, inside->name.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
              kStatxWanted, &sx) != 0)
        return SystemError(errno, Msg::kCannotInspect, inside->shown);
    return InfoOf(sx, &self);
}

Result<int> PosixTreeOps::GetAttrAt(int folder, const std::string& name) {
    Result<Inside> inside = Resolve(folder, name, Msg::kCannotReadAttributes);
    if (!inside)
        return inside.error();
    struct stat st;
    if (fstatat(inside->folder, inside->name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return SystemError(errno, Msg::kCannotReadAttributes, inside->shown);
    return DosAttributesOf(st, AttributeTarget{inside->name, inside->folder}, name);
}

Status PosixTreeOps::SetAttrAt(int folder, const std::string& name, int attributes,
                                  const EntryInfo* expected) {
    const Msg action = Msg::kCannotChangeAttributes;
    Result<Inside> inside = Resolve(folder, name, action);
    if (!inside)
        return inside.error();
    // A descriptor of the entry itself (never of a link's target) carries
    // the change to the inode that was checked.
    Descriptor entry(openat(inside->folder, inside->name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat st;
    if (entry.fd < 0 || fstat(entry.fd, &st) != 0)
        return SystemError(errno, action, inside->shown);
    if (expected && (static_cast<std::uint64_t>(st.st_dev) != expected->device ||
                     static_cast<std::uint64_t>(st.st_ino) != expected->inode))
        return SystemError(kNoLongerTheSame, action, inside->shown);
    return WriteDosAttributesThrough(AttributeTarget{HandlePath(entry.fd)}, st, inside->shown,
                                     attributes);
}

Result<int> PosixTreeOps::GetAttrOpen(int handle, const std::string& name) {
    const OpenFile* open_file = open_files_.Find(handle);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotReadAttributes, ShownNumber(handle));
    struct stat st;
    if (fstat(open_file->descriptor, &st) != 0)
        return SystemError(errno, Msg::kCannotReadAttributes, Shown(open_file->path));
    return DosAttributesOf(st, AttributeTarget{"", open_file->descriptor}, name);
}

Result<int> PosixTreeOps::GetAttrOfMadeFile(int /*handle*/, const std::string& name,
                                            std::uint32_t mode) {
    return DosAttributesOfNewFile(static_cast<mode_t>(mode), name);
}

Status PosixTreeOps::SetAttrOpen(int handle, int attributes) {
    const OpenFile* open_file = open_files_.Find(handle);
    if (!open_file)
        return SystemError(EBADF, Msg::kCannotChangeAttributes, ShownNumber(handle));
    struct stat st;
    if (fstat(open_file->descriptor, &st) != 0)
        return SystemError(errno, Msg::kCannotChangeAttributes, Shown(open_file->path));
    return WriteDosAttributesThrough(AttributeTarget{"", open_file->descriptor}, st,
                                     Shown(open_file->path), attributes);
}

Result<int> PosixTreeOps::OpenAt(int folder, const std::string& name, OpenMode mode) {
    Result<Inside> inside = Resolve(folder, name, Msg::kCannotOpen);
    if (!inside)
        return inside.error();
    Descriptor fd(OpenBeneath(inside->folder, inside->name, OpenFlags(mode), CreatedMode(mode)));
    if (fd.fd < 0)
        return SystemError(errno, Msg::kCannotOpen, inside->shown);
    struct stat st;
    if (!Creates(mode) && (fstat(fd.fd, &st) != 0 || !S_ISREG(st.st_mode)))
        return Error{Text(Msg::kNotARegularFile, {inside->shown}), EINVAL};
    return open_files_.Add(OpenFile{fd.release(), open_files_.Find(folder)->path + "\\" + name});
}

Status PosixTreeOps::MakeFolderAt(int folder, const std::string& name) {
    Result<Inside> inside = Resolve(folder, name, Msg::kCannotMakeFolder);
    if (!inside)
        return inside.error();
    if (mkdirat(inside->folder, inside->name.c_str(), 0777) != 0)
        return SystemError(errno, Msg::kCannotMakeFolder, inside->shown);
    return Status::Ok();
}

Result<bool> PosixTreeOps::DeleteFileAt(int folder, const std::string& name,
                                           const EntryInfo& expected) {
    Result<Inside> inside = Resolve(folder, name, Msg::kCannotDeleteFile);
    if (!inside)
        return inside.error();
    struct stat st;
    if (fstatat(inside->folder, inside->name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return SystemError(errno, Msg::kCannotDeleteFile, inside->shown);
    if (!SameUntouchedFile(InfoOf(st), expected))
        return false;
    if (unlinkat(inside->folder, inside->name.c_str(), 0) != 0)
        return SystemError(errno, Msg::kCannotDeleteFile, inside->shown);
    return true;
}

Result<bool> PosixTreeOps::RemoveFolderAt(int folder, const std::string& name,
                                             const EntryInfo& expected) {
    Result<Inside> inside = Resolve(folder, name, Msg::kCannotRemoveFolder);
    if (!inside)
        return inside.error();
    struct statx sx;
    if (statx(inside->folder, inside->name.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
              kStatxWanted, &sx) != 0)
        return SystemError(errno, Msg::kCannotRemoveFolder, inside->shown);
    if (!SameFolder(InfoOf(sx), expected))
        return false;
    if (unlinkat(inside->folder, inside->name.c_str(), AT_REMOVEDIR) != 0)
        return SystemError(errno, Msg::kCannotRemoveFolder, inside->shown);
    return true;
}

Status PosixTreeOps::RenameAt(int folder, const std::string& from, const std::string& to) {
    Result<Inside> source = Resolve(folder, from, Msg::kCannotRename);
    if (!source)
        return source.error();
    Result<Inside> target = Resolve(folder, to, Msg::kCannotGiveName);
    if (!target)
        return target.error();
    if (const int failed = RenameNoReplace(source->folder, source->name.c_str(), target->folder,
                                           target->name.c_str());
        failed != 0)
        return SystemError(failed, Msg::kCannotGiveName, target->shown);
    return Status::Ok();
}

}  // namespace velmora
