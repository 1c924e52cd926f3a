// The operations by path of a POSIX system, for the program's edges.
#include "platform/posix/posix_file_system.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/messages.h"
#include "platform/names.h"
#include "platform/posix/posix_tree_ops.h"

namespace velmora {

Result<std::vector<DirEntry>> PosixFileSystem::ListFolder(const std::string& folder) {
    Result<int> handle = OpenStartingFolder(folder);
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

Status PosixFileSystem::MakeFolder(const std::string& path) {
    Result<std::string> native = NativePath(path, coding_);
    if (!native)
        return native.error();
    if (mkdir(native->c_str(), 0777) != 0)
        return SystemError(errno, Msg::kCannotMakeFolder, DisplayPath(path));
    return Status::Ok();
}

void OpenMissingStandardDescriptors() {
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        // open() returns the lowest free descriptor: this one.
        const int opened = open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != descriptor)
            close(opened);
    }
}

}  // namespace velmora
