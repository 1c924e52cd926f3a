#include "platform/posix/posix_tree_ops.h"

#include <errno.h>
#include <sys/stat.h>
#include <sys/xattr.h>

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

// The bits stored in user.DOSATTRIB, or -1 when it is absent or not of the
// "0x" text form (Samba's binary form, for one, is treated as absent).
int StoredBits(const std::string& native_path, bool follow) {
    char value[64];
    const ssize_t length =
        follow ? getxattr(native_path.c_str(), kXattrName, value, sizeof value - 1)
               : lgetxattr(native_path.c_str(), kXattrName, value, sizeof value - 1);
    if (length < 2)
        return -1;
    value[length] = '\0';
    if (value[0] != '0' || (value[1] != 'x' && value[1] != 'X'))
        return -1;
    return static_cast<int>(std::strtoul(value + 2, nullptr, 16)) & kXattrBits;
}

// Writes the attributes to the entry at path, whose lstat is st and which is
// no link: chmod and setxattr reach the entry itself.
Status WriteAttributes(const std::string& path, const struct stat& st,
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
    if ((st.st_mode & S_IWUSR) == 0 && chmod(path.c_str(), writable & 07777) != 0 &&
        !Unsupported(errno))
        return SystemError(errno, Msg::kCannotChangeAttributes, shown_path);

    char value[16];
    std::snprintf(value, sizeof value, "0x%x", attributes & kXattrBits);
    const bool xattr_failed =
        setxattr(path.c_str(), kXattrName, value, std::char_traits<char>::length(value), 0) != 0;
    const int xattr_error = errno;

    const mode_t current = (st.st_mode & S_IWUSR) == 0 ? writable : st.st_mode;
    if (final_mode != current && chmod(path.c_str(), final_mode & 07777) != 0 &&
        (!Unsupported(errno) || (attributes & kReadOnly) != 0))
        return SystemError(errno, Msg::kCannotChangeAttributes, shown_path);
    if (xattr_failed && !Unsupported(xattr_error))
        return SystemError(xattr_error, Msg::kCannotChangeAttributes, shown_path);
    return Status::Ok();
}

}  // namespace

int DosAttributesOf(const struct stat& st, const std::string& native_path, const std::string& name,
                    bool follow) {
    const bool folder = S_ISDIR(st.st_mode);
    int attributes = folder ? kFolder : 0;
    if ((st.st_mode & S_IWUSR) == 0)
        attributes |= kReadOnly;
    const int stored = StoredBits(native_path, follow);
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

Result<int> ReadDosAttributes(const std::string& native_path, const std::string& shown_path,
                              const std::string& name) {
    struct stat st;
    if (lstat(native_path.c_str(), &st) != 0)
        return SystemError(errno, Msg::kCannotReadAttributes, shown_path);
    return DosAttributesOf(st, native_path, name);
}

Status WriteDosAttributes(const std::string& native_path, const std::string& shown_path,
                          int attributes) {
    struct stat st;
    if (lstat(native_path.c_str(), &st) != 0)
        return SystemError(errno, Msg::kCannotChangeAttributes, shown_path);
    if (S_ISLNK(st.st_mode))
        return SystemError(ELOOP, Msg::kCannotChangeAttributes, shown_path);
    return WriteAttributes(native_path, st, shown_path, attributes);
}

Status WriteDosAttributesThrough(const std::string& handle_path, const struct stat& st,
                                 const std::string& shown_path, int attributes) {
    if (S_ISLNK(st.st_mode))
        return SystemError(ELOOP, Msg::kCannotChangeAttributes, shown_path);
    return WriteAttributes(handle_path, st, shown_path, attributes);
}

}  // namespace velmora
