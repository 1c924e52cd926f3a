// How the POSIX layer takes the paths a user gives and tells folders apart:
// the kernel's own resolution and the identity of real folders, never the
// texts.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "base/cp1252.h"
#include "base/messages.h"
#include "platform/names.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_tree_ops.h"

namespace velmora {
namespace {

Result<std::string> RealPath(const std::string& native, const std::string& given) {
    std::unique_ptr<char, void (*)(void*)> resolved(realpath(native.c_str(), nullptr), free);
    if (!resolved)
        return SystemError(errno, Msg::kCannotFind, DisplayCp1252(given));
    return std::string(resolved.get());
}

struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0)
            close(fd);
    }
};

}  // namespace

// An entry's last component is taken as it is, not followed (what names a
// link means the link), unless it is "." or ".." or the path ends in "/":
// then the kernel resolves the whole path, and so does this. Every
// component before it is resolved the way the kernel resolves it, so
// "L/../t" with L a link means t beside L's target. The folder that holds
// the entry is used as the system gives it (an anchor when it has no
// Windows-1252 form); only the entry's own name must have one. A folder
// outside the tree is resolved whole, as the kernel does when a file is
// made inside it.
Result<std::string> PosixPathCodec::FromSystemPath(const std::string& given, Given what) {
    if (given.empty())
        return SystemError(ENOENT, Msg::kCannotFind, "");
    if (what == Given::kOutsideFolder) {
        Result<std::string> whole = RealPath(given, given);
        if (!whole)
            return whole.error();
        return OutsidePath(whole.value(), coding_);
    }
    std::string text = given;
    bool follow = false;
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
        follow = true;
    }
    auto slash = text.find_last_of('/');
    std::string last = slash == std::string::npos ? text : text.substr(slash + 1);
    std::string parent;
    if (follow || last == "." || last == ".." || text == "/") {
        Result<std::string> whole = RealPath(text, given);
        if (!whole)
            return whole.error();
        if (whole.value() == "/")
            return ProgramPath("/", coding_);
        slash = whole->find_last_of('/');
        last = whole->substr(slash + 1);
        parent = slash == 0 ? "/" : whole->substr(0, slash);
    } else {
        const std::string folder =
            slash == std::string::npos ? "." : (slash == 0 ? "/" : text.substr(0, slash));
        Result<std::string> real = RealPath(folder, given);
        if (!real)
            return real.error();
        parent = real.value();
    }
    Result<std::string> name = ProgramPath(last, coding_);
    if (!name)
        return name.error();
    std::string path = OutsidePath(parent, coding_);
    if (path.back() != '\\')
        path += '\\';
    return path + name.value();
}

// Walks up from path through ".." until the folder or the root of the
// system is met, comparing device and inode: links, bind mounts and
// different spellings of one folder are all seen through.
Result<bool> PosixPathCodec::IsSameOrInside(const std::string& path,
                                            const std::string& folder) const {
    Result<std::string> native_folder = NativePath(folder, coding_);
    Result<std::string> native_path = NativePath(path, coding_);
    if (!native_folder)
        return native_folder.error();
    if (!native_path)
        return native_path.error();
    struct stat target;
    if (stat(native_folder->c_str(), &target) != 0)
        return SystemError(errno, Msg::kCannotInspect, DisplayPath(folder));
    Descriptor current{open(native_path->c_str(), O_PATH | O_CLOEXEC)};
    if (current.fd < 0)
        return SystemError(errno, Msg::kCannotInspect, DisplayPath(path));
    struct stat here;
    if (fstat(current.fd, &here) != 0)
        return SystemError(errno, Msg::kCannotInspect, DisplayPath(path));
    for (;;) {
        if (here.st_dev == target.st_dev && here.st_ino == target.st_ino)
            return true;
        Descriptor up{openat(current.fd, "..", O_PATH | O_DIRECTORY | O_CLOEXEC)};
        struct stat above;
        if (up.fd < 0 || fstat(up.fd, &above) != 0)
            return SystemError(errno, Msg::kCannotInspect, DisplayPath(path));
        if (above.st_dev == here.st_dev && above.st_ino == here.st_ino)
            return false;  // the root is its own parent
        std::swap(current.fd, up.fd);
        here = above;
    }
}

Result<std::size_t> PosixPathCodec::LongestName(const std::string& folder) const {
    Result<std::string> native = NativePath(folder, coding_);
    if (!native)
        return native.error();
    errno = 0;
    const long longest = pathconf(native->c_str(), _PC_NAME_MAX);
    if (longest < 0 && errno != 0)
        return SystemError(errno, Msg::kCannotInspect, DisplayPath(folder));
    return longest < 0 ? std::size_t{NAME_MAX} : static_cast<std::size_t>(longest);
}

}  // namespace velmora
