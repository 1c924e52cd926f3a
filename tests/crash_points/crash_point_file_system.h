#pragma once

#include <map>
#include <string>

#include "platform/posix/posix_file_system.h"

namespace velmora {

// The POSIX file system with numbered crash points, for the crash-injection
// harness only (tests/crash_points builds velmora-cli on it). Every
// operation that changes what is on disk counts as one point; with
// VELMORA_KILL_AT=N in the environment the process kills itself (SIGKILL)
// right after the Nth, or sends itself the signal VELMORA_KILL_SIGNAL (a
// number) instead. VELMORA_POINTS_FILE, when set, receives the number of
// points the run passed, so the harness knows how many there are.
// VELMORA_SIGNAL_AT=NAME:N sends VELMORA_KILL_SIGNAL right after the Nth
// call of the operation NAME (disk-changing or not: ListFolderAt, Read,
// ReopenUncached...), and VELMORA_AFTER_FILE then receives the time it was
// sent (seconds since 1970) and the name of every operation called after.
class CrashPointFileSystem : public PosixFileSystem {
  public:
    CrashPointFileSystem();
    ~CrashPointFileSystem() override;

    Status SetAttrAt(int folder, const std::string& name, int attributes,
                     const EntryInfo* expected = nullptr) override;
    Status SetAttrOpen(int handle, int attributes) override;
    Result<int> OpenAt(int folder, const std::string& name, OpenMode mode) override;
    Status MakeFolderAt(int folder, const std::string& name) override;
    Result<bool> DeleteFileAt(int folder, const std::string& name,
                              const EntryInfo& expected) override;
    Result<bool> RemoveFolderAt(int folder, const std::string& name,
                                const EntryInfo& expected) override;
    Status RenameAt(int folder, const std::string& from, const std::string& to) override;
    Status SyncFolderOpen(int folder) override;
    Status SyncFileSystemOpen(int handle) override;
    Status Write(int file, std::int64_t offset, const std::uint8_t* data,
                 std::size_t length) override;
    Status Flush(int file) override;
    Status CopyOpen(int from, int to, std::int64_t length) override;
    Result<std::vector<DirEntry>> ListFolderAt(int folder) override;
    Result<std::size_t> Read(int file, std::int64_t offset, std::uint8_t* out,
                             std::size_t length) override;
    Result<int> ReopenUncached(int file) override;

  private:
    template <typename T>
    T Point(T result);
    // Counts a call of the operation `name`, signalling at the one asked for.
    void Named(const std::string& name);

    long kill_at_ = 0;
    int signal_ = 0;
    long passed_ = 0;
    std::string points_file_;
    std::string signal_name_;
    long signal_at_ = 0;
    std::map<std::string, long> calls_;
    bool signalled_ = false;
    std::string after_file_;
};

}  // namespace velmora
