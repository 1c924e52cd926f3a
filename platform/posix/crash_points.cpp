#include "platform/posix/crash_points.h"

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

Status CrashPointFileSystem::SetAttr(const std::string& path, int attributes) {
    return Point(PosixFileSystem::SetAttr(path, attributes));
}
Status CrashPointFileSystem::DeleteFile(const std::string& path) {
    return Point(PosixFileSystem::DeleteFile(path));
}
Result<bool> CrashPointFileSystem::DeleteFileIfSame(const std::string& path,
                                                    const EntryInfo& expected) {
    return Point(PosixFileSystem::DeleteFileIfSame(path, expected));
}
Status CrashPointFileSystem::RenameNew(const std::string& from, const std::string& to) {
    return Point(PosixFileSystem::RenameNew(from, to));
}
Status CrashPointFileSystem::MakeFolder(const std::string& path) {
    return Point(PosixFileSystem::MakeFolder(path));
}
Status CrashPointFileSystem::RemoveFolder(const std::string& path) {
    return Point(PosixFileSystem::RemoveFolder(path));
}
Status CrashPointFileSystem::SyncFolder(const std::string& path) {
    return Point(PosixFileSystem::SyncFolder(path));
}
Status CrashPointFileSystem::SyncFileSystem(const std::string& path) {
    return Point(PosixFileSystem::SyncFileSystem(path));
}
Result<int> CrashPointFileSystem::Open(const std::string& path, OpenMode mode) {
    if (mode == OpenMode::kRead)
        return PosixFileSystem::Open(path, mode);
    return Point(PosixFileSystem::Open(path, mode));
}
Status CrashPointFileSystem::Write(int file, std::int64_t offset, const std::uint8_t* data,
                                   std::size_t length) {
    return Point(PosixFileSystem::Write(file, offset, data, length));
}
Status CrashPointFileSystem::Flush(int file) {
    return Point(PosixFileSystem::Flush(file));
}

}  // namespace velmora
