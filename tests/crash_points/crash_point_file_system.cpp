#include "tests/crash_points/crash_point_file_system.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace velmora {

CrashPointFileSystem::CrashPointFileSystem() {
    if (const char* kill_at = std::getenv("VELMORA_KILL_AT"))
        kill_at_ = std::atol(kill_at);
    if (const char* file = std::getenv("VELMORA_POINTS_FILE"))
        points_file_ = file;
    signal_ = SIGKILL;
    if (const char* signal = std::getenv("VELMORA_KILL_SIGNAL"))
        signal_ = std::atoi(signal);
}

CrashPointFileSystem::~CrashPointFileSystem() {
    if (!points_file_.empty())
        std::ofstream(points_file_) << passed_ << "\n";
}

template <typename T>
T CrashPointFileSystem::Point(T result) {
    ++passed_;
    if (passed_ == kill_at_) {
        if (!points_file_.empty())
            std::ofstream(points_file_) << passed_ << "\n";
        kill(getpid(), signal_);
    }
    return result;
}

Status CrashPointFileSystem::DeleteFile(const std::string& path) {
    return Point(PosixFileSystem::DeleteFile(path));
}
Status CrashPointFileSystem::SetAttrAt(int folder, const std::string& name, int attributes,
                                       const EntryInfo* expected) {
    return Point(PosixFileSystem::SetAttrAt(folder, name, attributes, expected));
}
Status CrashPointFileSystem::SetAttrOpen(int handle, int attributes) {
    return Point(PosixFileSystem::SetAttrOpen(handle, attributes));
}
Result<int> CrashPointFileSystem::OpenAt(int folder, const std::string& name, OpenMode mode) {
    if (mode == OpenMode::kRead)
        return PosixFileSystem::OpenAt(folder, name, mode);
    return Point(PosixFileSystem::OpenAt(folder, name, mode));
}
Status CrashPointFileSystem::MakeFolderAt(int folder, const std::string& name) {
    return Point(PosixFileSystem::MakeFolderAt(folder, name));
}
Result<bool> CrashPointFileSystem::DeleteFileAt(int folder, const std::string& name,
                                                const EntryInfo& expected) {
    return Point(PosixFileSystem::DeleteFileAt(folder, name, expected));
}
Result<bool> CrashPointFileSystem::RemoveFolderAt(int folder, const std::string& name,
                                                  const EntryInfo& expected) {
    return Point(PosixFileSystem::RemoveFolderAt(folder, name, expected));
}
Status CrashPointFileSystem::RenameAt(int folder, const std::string& from, const std::string& to) {
    return Point(PosixFileSystem::RenameAt(folder, from, to));
}
Status CrashPointFileSystem::SyncFolderOpen(int folder) {
    return Point(PosixFileSystem::SyncFolderOpen(folder));
}
Status CrashPointFileSystem::SyncFileSystemOpen(int handle) {
    return Point(PosixFileSystem::SyncFileSystemOpen(handle));
}
Status CrashPointFileSystem::Write(int file, std::int64_t offset, const std::uint8_t* data,
                                   std::size_t length) {
    return Point(PosixFileSystem::Write(file, offset, data, length));
}
Status CrashPointFileSystem::Flush(int file) {
    return Point(PosixFileSystem::Flush(file));
}

}  // namespace velmora
