#include "tests/crash_points/crash_point_file_system.h"

#include <signal.h>
#include <unistd.h>

#include <time.h>

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
    if (const char* at = std::getenv("VELMORA_SIGNAL_AT")) {
        const std::string named = at;
        signal_name_ = named.substr(0, named.find(':'));
        signal_at_ = std::atol(named.substr(named.find(':') + 1).c_str());
    }
    if (const char* file = std::getenv("VELMORA_AFTER_FILE"))
        after_file_ = file;
}

void CrashPointFileSystem::Named(const std::string& name) {
    if (signalled_ && !after_file_.empty())
        std::ofstream(after_file_, std::ios::app) << name << "\n";
    if (name != signal_name_ || ++calls_[name] != signal_at_)
        return;
    signalled_ = true;
    if (!after_file_.empty()) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::ofstream(after_file_) << now.tv_sec << "." << now.tv_nsec / 100000000 << "\n";
    }
    kill(getpid(), signal_);
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

Status CrashPointFileSystem::SetAttrAt(int folder, const std::string& name, int attributes,
                                       const EntryInfo* expected) {
    return Point(PosixFileSystem::SetAttrAt(folder, name, attributes, expected));
}
Status CrashPointFileSystem::SetAttrOpen(int handle, int attributes) {
    return Point(PosixFileSystem::SetAttrOpen(handle, attributes));
}
Result<int> CrashPointFileSystem::OpenAt(int folder, const std::string& name, OpenMode mode) {
    Named(mode == OpenMode::kRead        ? "OpenAt"
          : mode == OpenMode::kCreateNew ? "Create"
                                         : "OpenToWrite");
    if (mode == OpenMode::kRead)
        return PosixFileSystem::OpenAt(folder, name, mode);
    return Point(PosixFileSystem::OpenAt(folder, name, mode));
}
Status CrashPointFileSystem::MakeFolderAt(int folder, const std::string& name) {
    Named("MakeFolderAt");
    return Point(PosixFileSystem::MakeFolderAt(folder, name));
}
Result<bool> CrashPointFileSystem::DeleteFileAt(int folder, const std::string& name,
                                                const EntryInfo& expected) {
    Named("DeleteFileAt");
    return Point(PosixFileSystem::DeleteFileAt(folder, name, expected));
}
Result<bool> CrashPointFileSystem::RemoveFolderAt(int folder, const std::string& name,
                                                  const EntryInfo& expected) {
    return Point(PosixFileSystem::RemoveFolderAt(folder, name, expected));
}
Status CrashPointFileSystem::RenameAt(int folder, const std::string& from, const std::string& to) {
    Named("RenameAt");
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
    Status written = Point(PosixFileSystem::Write(file, offset, data, length));
    Named("Write");
    return written;
}
Status CrashPointFileSystem::Flush(int file) {
    return Point(PosixFileSystem::Flush(file));
}
Status CrashPointFileSystem::CopyOpen(int from, int to, std::int64_t length) {
    Status copied = Point(PosixFileSystem::CopyOpen(from, to, length));
    Named("CopyOpen");
    return copied;
}

Result<std::vector<DirEntry>> CrashPointFileSystem::ListFolderAt(int folder) {
    Result<std::vector<DirEntry>> listed = PosixFileSystem::ListFolderAt(folder);
    Named("ListFolderAt");
    return listed;
}
Result<std::size_t> CrashPointFileSystem::Read(int file, std::int64_t offset, std::uint8_t* out,
                                               std::size_t length) {
    Result<std::size_t> got = PosixFileSystem::Read(file, offset, out, length);
    Named("Read");
    return got;
}
Result<int> CrashPointFileSystem::ReopenUncached(int file) {
    Result<int> reopened = PosixFileSystem::ReopenUncached(file);
    Named("ReopenUncached");
    return reopened;
}

}  // namespace velmora
