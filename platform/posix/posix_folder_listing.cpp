// The lists of an open folder's entries: the whole listing (each entry
// inspected and its attributes read through the folder's descriptor) and
// the brief one (what the folder's list of names holds, nothing asked per
// entry).
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "base/messages.h"
#include "platform/name_order.h"
#include "platform/names.h"
#include "platform/posix/posix_tree_ops.h"

namespace velmora {
namespace {

using Listing = std::unique_ptr<DIR, int (*)(DIR*)>;

// The listing reads through its own descriptor of the same folder.
Result<Listing> OpenListing(int descriptor, const std::string& shown) {
    const int reading = openat(descriptor, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (reading < 0)
        return SystemError(errno, Msg::kCannotReadFolder, shown);
    Listing dir(fdopendir(reading), closedir);
    if (!dir) {
        const int failed = errno;
        close(reading);
        return SystemError(failed, Msg::kCannotReadFolder, shown);
    }
    return dir;
}

EntryKind KindOf(unsigned char type) {
    switch (type) {
        case DT_REG: return EntryKind::kFile;
        case DT_DIR: return EntryKind::kFolder;
        case DT_LNK: return EntryKind::kSymlink;
        default: return EntryKind::kOther;
    }
}

// Calls `each` with every entry's name (as the program writes it) and its
// item, "." and ".." left out; stops at the first failure.
template <typename Each>
Status EveryItem(DIR* dir, NameCoding coding, const std::string& shown, Each each) {
    errno = 0;
    while (const dirent* item = readdir(dir)) {
        const std::string_view native_name = item->d_name;
        if (native_name != "." && native_name != "..") {
            Result<std::string> name = ProgramPath(native_name, coding);
            if (!name)
                return name.error();
            if (Status done = each(std::move(name).value(), *item); !done)
                return done;
        }
        errno = 0;
    }
    if (errno != 0)
        return SystemError(errno, Msg::kCannotReadFolder, shown);
    return Status::Ok();
}

}  // namespace

Result<std::vector<DirEntry>> PosixTreeOps::ListFolderAt(int folder) {
    return ListAt(folder, true);
}

Result<std::vector<DirEntry>> PosixTreeOps::ListNamesAt(int folder) {
    return ListAt(folder, false);
}

Result<std::vector<DirEntry>> PosixTreeOps::ListAt(int folder, bool inspected) {
    const OpenFile* open_folder = open_files_.Find(folder);
    if (!open_folder)
        return SystemError(EBADF, Msg::kCannotReadFolder, ShownNumber(folder));
    const std::string shown = Shown(open_folder->path);
    Result<Listing> dir = OpenListing(open_folder->descriptor, shown);
    if (!dir)
        return dir.error();
    const int reading = dirfd(dir->get());
    struct statx self;
    if (inspected && statx(reading, "", AT_EMPTY_PATH, STATX_MNT_ID, &self) != 0)
        return SystemError(errno, Msg::kCannotReadFolder, shown);

    std::vector<DirEntry> entries;
    const Status listed =
        EveryItem(dir->get(), Coding(), shown, [&](std::string name, const dirent& item) {
            DirEntry entry{std::move(name), KindOf(item.d_type)};
            entry.info.kind = entry.kind;
            entry.info.inode = item.d_ino;
            if (inspected) {
                struct statx sx;
                if (statx(reading, item.d_name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                          kStatxWanted, &sx) != 0)
                    return Status(SystemError(errno, Msg::kCannotRead, shown + "/" + entry.name));
                entry.info = InfoOf(sx, &self);
                entry.kind = entry.info.kind;
                entry.attributes =
                    DosAttributesOf(StatOf(sx), AttributeTarget{item.d_name, reading}, entry.name);
            }
            entries.push_back(std::move(entry));
            return Status::Ok();
        });
    if (!listed)
        return listed.error();
    if (inspected)
        SortByName(entries);
    return entries;
}

}  // namespace velmora
