#include "platform/posix/posix_tree_ops.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/messages.h"
#include "platform/file_system.h"

namespace velmora {
namespace {

constexpr const char* kXattrName = "user.DOSATTRIB";
constexpr int kXattrBits = kHidden | kSystem | kArchive;

bool Unsupported(int error_number) {
    return error_number == ENOTSUP || error_number == EOPNOTSUPP || error_number == ENOSYS;
}

// The value of user.DOSATTRIB as a call returns it (its length, or -1):
// the bits, or -1 when it is absent or not of the "0x" text form (Samba's
// binary form, for one, is treated as absent).
int StoredBits(char* value, ssize_t length) {
    if (length < 2)
        return -1;
    value[length] = '\0';
    if (value[0] != '0' || (value[1] != 'x' && value[1] != 'X'))
        return -1;
    return static_cast<int>(std::strtoul(value + 2, nullptr, 16)) & kXattrBits;
}

// getxattrat (Linux 6.13): an entry's attribute read through its folder's
// descriptor, without the walk through /proc of the older calls.
struct XattrArgs {
    std::uint64_t value;
    std::uint32_t size;
    std::uint32_t flags;
};
constexpr long kGetXattrAt = 464;  // the same on every architecture
std::atomic<bool> get_xattr_at_missing{false};

ssize_t GetXattrOf(const AttributeTarget& target, char* value, std::size_t size) {
    if (target.descriptor < 0)
        return lgetxattr(target.path.c_str(), kXattrName, value, size);
    if (target.path.empty())
        return fgetxattr(target.descriptor, kXattrName, value, size);
    if (!get_xattr_at_missing.load(std::memory_order_relaxed)) {
        XattrArgs args{reinterpret_cast<std::uintptr_t>(value), static_cast<std::uint32_t>(size),
                       0};
        const long length = syscall(kGetXattrAt, target.descriptor, target.path.c_str(),
                                    AT_SYMLINK_NOFOLLOW, kXattrName, &args, sizeof args);
        // Older kernels, and filters that refuse calls they do not know.
        if (length >= 0 || (errno != ENOSYS && errno != EPERM))
            return length;
        get_xattr_at_missing.store(true, std::memory_order_relaxed);
    }
    const std::string entry =
        "/proc/self/fd/" + std::to_string(target.descriptor) + "/" + target.path;
    return lgetxattr(entry.c_str(), kXattrName, value, size);
}

// The writes reach a path (no link: it was checked) or an open descriptor.
int ChangeMode(const AttributeTarget& target, mode_t mode) {
    return target.descriptor < 0 ? chmod(target.path.c_str(), mode)
                                 : fchmod(target.descriptor, mode);
}

int SetXattrOf(const AttributeTarget& target, const char* value, std::size_t size) {
    return target.descriptor < 0 ? setxattr(target.path.c_str(), kXattrName, value, size, 0)
                                 : fsetxattr(target.descriptor, kXattrName, value, size, 0);
}

// Writes the attributes to the entry, whose lstat is st and which is no
// link.
Status WriteAttributes(const AttributeTarget& target, const struct stat& st,
                       const std::string& shown_path, int attributes) {
    const mode_t writable = st.st_mode | S_IWUSR;
    const mode_t final_mode = (attributes & kReadOnly)
                                  ? (st.st_mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH))
                                  : writable;
    // The extended attribute can only be written while the owner may write,
    // so the permission is opened first and set to its final value last. A
    // file system that keeps no permissions (FAT: ENOSYS) has nothing to
    // open, and nothing to reset where the entry is to become writable; a
    // read-only entry it cannot make fails with that code.
    if ((st.st_mode & S_IWUSR) == 0 && ChangeMode(target, writable & 07777) != 0 &&
        !Unsupported(errno))
        return SystemError(errno, Msg::kCannotChangeAttributes, shown_path);

    char value[16];
    std::snprintf(value, sizeof value, "0x%x", attributes & kXattrBits);
    const bool xattr_failed = SetXattrOf(target, value, std::char_traits<char>::length(value)) != 0;
    const int xattr_error = errno;

    const mode_t current = (st.st_mode & S_IWUSR) == 0 ? writable : st.st_mode;
    if (final_mode != current && ChangeMode(target, final_mode & 07777) != 0 &&
        (!Unsupported(errno) || (attributes & kReadOnly) != 0))
        return SystemError(errno, Msg::kCannotChangeAttributes, shown_path);
    if (xattr_failed && !Unsupported(xattr_error))
        return SystemError(xattr_error, Msg::kCannotChangeAttributes, shown_path);
    return Status::Ok();
}

}  // namespace

namespace {

// `stored`: the bits of user.DOSATTRIB, negative where it has none.
int AttributesFrom(mode_t mode, int stored, const std::string& name) {
    const bool folder = S_ISDIR(mode);
    int attributes = folder ? kFolder : 0;
    if ((mode & S_IWUSR) == 0)
        attributes |= kReadOnly;
    if (stored >= 0) {
        attributes |= stored;
    } else {
        if (!folder)
            attributes |= kArchive;
        if (!name.empty() && name[0] == '.' && name != "." && name != "..")
            attributes |= kHidden;
    }
    if (!folder && attributes == 0)
        attributes = kNormal;
    return attributes;
}

}  // namespace

int DosAttributesOf(const struct stat& st, const AttributeTarget& target, const std::string& name) {
    char value[64];
    return AttributesFrom(st.st_mode, StoredBits(value, GetXattrOf(target, value, sizeof value - 1)),
                          name);
}

int DosAttributesOfNewFile(mode_t mode, const std::string& name) {
    return AttributesFrom(S_IFREG | (mode & 07777), -1, name);
}

Result<int> ReadDosAttributes(const std::string& native_path, const std::string& shown_path,
                              const std::string& name) {
    struct stat st;
    if (lstat(native_path.c_str(), &st) != 0)
        return SystemError(errno, Msg::kCannotReadAttributes, shown_path);
    return DosAttributesOf(st, AttributeTarget{native_path}, name);
}

Status WriteDosAttributes(const std::string& native_path, const std::string& shown_path,
                          int attributes) {
    struct stat st;
    if (lstat(native_path.c_str(), &st) != 0)
        return SystemError(errno, Msg::kCannotChangeAttributes, shown_path);
    if (S_ISLNK(st.st_mode))
        return SystemError(ELOOP, Msg::kCannotChangeAttributes, shown_path);
    return WriteAttributes(AttributeTarget{native_path}, st, shown_path, attributes);
}

Status WriteDosAttributesThrough(const AttributeTarget& handle, const struct stat& st,
                                 const std::string& shown_path, int attributes) {
    if (S_ISLNK(st.st_mode))
        return SystemError(ELOOP, Msg::kCannotChangeAttributes, shown_path);
    return WriteAttributes(handle, st, shown_path, attributes);
}

}  // namespace velmora
