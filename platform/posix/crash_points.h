#pragma once

#include <string>

#include "platform/posix/posix_file_system.h"

namespace velmora {

// The POSIX file system with numbered crash points, for the crash-injection
// harness only (a separate test build of velmora-cli uses it). Every
// operation that changes what is on disk counts as one point; with
// VELMORA_KILL_AT=N in the environment the process kills itself (SIGKILL)
// right after the Nth, or sends itself the signal VELMORA_KILL_SIGNAL (a
// number) instead. VELMORA_POINTS_FILE, when set, receives the number of
// points the run passed, so the harness knows how many there are.
class CrashPointFileSystem : public PosixFileSystem {
  public:
    CrashPointFileSystem();
    ~CrashPointFileSystem() override;

    Status SetAttr(const std::string& path, int attributes) override;
    Status DeleteFile(const std::string& path) override;
    Result<bool> DeleteFileIfSame(const std::string& path, const EntryInfo& expected) override;
    Status RenameNew(const std::string& from, const std::string& to) override;
    Status MakeFolder(const std::string& path) override;
    Status RemoveFolder(const std::string& path) override;
    Status SyncFolder(const std::string& path) override;
    Status SyncFileSystem(const std::string& path) override;
    Result<int> Open(const std::string& path, OpenMode mode) override;
    Status Write(int file, std::int64_t offset, const std::uint8_t* data,
                 std::size_t length) override;
    Status Flush(int file) override;

  private:
    template <typename T>
    T Point(T result);

    long kill_at_ = 0;
    int signal_ = 0;
    long passed_ = 0;
    std::string points_file_;
};

}  // namespace velmora
