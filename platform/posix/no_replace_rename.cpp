#include "platform/posix/posix_tree_ops.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace velmora {
namespace {

bool SameEntry(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino &&
           (a.st_mode & S_IFMT) == (b.st_mode & S_IFMT);
}

// Whether `to` still names the placeholder made (and, for a file, still
// empty): checked right before the rename over it.
bool StillPlaceholder(int to_dir, const char* to, const struct stat& made) {
    struct stat now;
    return fstatat(to_dir, to, &now, AT_SYMLINK_NOFOLLOW) == 0 && SameEntry(now, made) &&
           (S_ISDIR(now.st_mode) || now.st_size == 0);
}

// Removes the placeholder, only while `to` still names it.
void RemovePlaceholder(int to_dir, const char* to, const struct stat& made) {
    if (StillPlaceholder(to_dir, to, made))
        (void)unlinkat(to_dir, to, S_ISDIR(made.st_mode) ? AT_REMOVEDIR : 0);
}

// Takes `to` with an entry of the same kind as `from` that fails to be made
// when the name exists (mkdirat, or O_CREAT | O_EXCL, which never follows a
// link): from then on the name is this call's. Returns 0 or errno.
int MakePlaceholder(bool folder, int to_dir, const char* to, struct stat* made) {
    if (folder) {
        if (mkdirat(to_dir, to, 0700) != 0)
            return errno;
    } else {
        const int fd =
            openat(to_dir, to, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            return errno;
        close(fd);
    }
    if (fstatat(to_dir, to, made, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    return 0;
}

// The names a folder holds, sorted; false when it cannot be listed.
bool NamesIn(int dir, const char* name, std::vector<std::string>& names) {
    const int fd = openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR* listing = fd < 0 ? nullptr : fdopendir(fd);
    if (!listing) {
        if (fd >= 0)
            close(fd);
        return false;
    }
    while (const dirent* entry = readdir(listing))
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    closedir(listing);
    std::sort(names.begin(), names.end());
    return true;
}

int RenameOverPlaceholder(int from_dir, const char* from, int to_dir, const char* to) {
    struct stat source;
    if (fstatat(from_dir, from, &source, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    const bool folder = S_ISDIR(source.st_mode);
    // fusefat loses what a folder holds when it renames it: a folder must
    // hold the same names once renamed, or the rename is an I/O error (what
    // was published is not trusted, and nothing is deleted on its account).
    std::vector<std::string> held;
    if (folder && !NamesIn(from_dir, from, held))
        return errno;
    const auto kept = [&] {
        std::vector<std::string> now;
        return !folder || (NamesIn(to_dir, to, now) && now == held) ? 0 : EIO;
    };
    struct stat made;
    if (const int failed = MakePlaceholder(folder, to_dir, to, &made); failed != 0)
        return failed;
    // A plain rename replaces what `to` holds; it is given only the
    // placeholder this call made, empty, as checked the instant before.
    if (!StillPlaceholder(to_dir, to, made))
        return EEXIST;
    if (renameat(from_dir, from, to_dir, to) == 0)
        return kept();
    const int failed = errno;
    RemovePlaceholder(to_dir, to, made);
    // Some file systems (fusefat) never let a folder replace another. Once
    // the placeholder is gone, a plain rename of a folder can replace no
    // file and no folder that holds anything: at worst an empty folder
    // another program made in that instant (where replacing is allowed).
    if (!folder || (failed != EPERM && failed != EACCES && failed != ENOTEMPTY && failed != EEXIST))
        return failed;
    // fusefat, the one seen refusing so, also loses what a renamed folder
    // holds: a folder that holds anything is not renamed there at all.
    if (!held.empty())
        return ENOSYS;
    if (renameat(from_dir, from, to_dir, to) == 0)
        return kept();
    return errno == ENOTEMPTY ? EEXIST : errno;
}

}  // namespace

int RenameNoReplace(int from_dir, const char* from, int to_dir, const char* to) {
    if (renameat2(from_dir, from, to_dir, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    return RenameOverPlaceholder(from_dir, from, to_dir, to);
}

}  // namespace velmora
