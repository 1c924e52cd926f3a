// velmora-cli for the crash-injection tests: the same program on the POSIX
// file system with numbered crash points. Never installed.
//
// Every operation that changes what is on disk counts as one point; with
// VELMORA_KILL_AT=N in the environment the process kills itself (SIGKILL)
// right after the Nth, or sends itself the signal VELMORA_KILL_SIGNAL (a
// number) instead. VELMORA_POINTS_FILE, when set, receives the number of
// points the run passed, so the harness knows how many there are.
// VELMORA_SIGNAL_AT=NAME:N sends VELMORA_KILL_SIGNAL right after the Nth
// call of the operation NAME (disk-changing or not: ListFolderAt, Read,
// ReopenUncached...), and VELMORA_AFTER_FILE then receives the time it was
// sent (seconds since 1970) and the name of every operation called after.
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "cli/commands.h"
#include "platform/posix/posix_file_system.h"

namespace velmora {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

class CrashPointFileSystem : public PosixFileSystem {
  public:
    CrashPointFileSystem() {
        kill_at_ = std::atol(Environment("VELMORA_KILL_AT").c_str());
        points_file_ = Environment("VELMORA_POINTS_FILE");
        if (const std::string signal = Environment("VELMORA_KILL_SIGNAL"); !signal.empty())
            signal_ = std::atoi(signal.c_str());
        const std::string named = Environment("VELMORA_SIGNAL_AT");
        signal_name_ = named.substr(0, named.find(':'));
        if (!named.empty())
            signal_at_ = std::atol(named.substr(named.find(':') + 1).c_str());
        after_file_ = Environment("VELMORA_AFTER_FILE");
    }
    ~CrashPointFileSystem() override {
        if (!points_file_.empty())
            std::ofstream(points_file_) << passed_ << "\n";
    }

    Status SetAttrAt(int folder, const std::string& name, int attributes,
                     const EntryInfo* expected = nullptr) override {
        return Point(PosixFileSystem::SetAttrAt(folder, name, attributes, expected));
    }
    Status SetAttrOpen(int handle, int attributes) override {
        return Point(PosixFileSystem::SetAttrOpen(handle, attributes));
    }
    Result<int> OpenAt(int folder, const std::string& name, OpenMode mode) override {
        if (mode == OpenMode::kRead)
            return PosixFileSystem::OpenAt(folder, name, mode);
        Named(Creates(mode) ? "Create" : "OpenToWrite");
        return Point(PosixFileSystem::OpenAt(folder, name, mode));
    }
    Status MakeFolderAt(int folder, const std::string& name) override {
        return Point(PosixFileSystem::MakeFolderAt(folder, name));
    }
    Result<bool> DeleteFileAt(int folder, const std::string& name,
                              const EntryInfo& expected) override {
        return Point(PosixFileSystem::DeleteFileAt(folder, name, expected));
    }
    Result<bool> RemoveFolderAt(int folder, const std::string& name,
                                const EntryInfo& expected) override {
        return Point(PosixFileSystem::RemoveFolderAt(folder, name, expected));
    }
    Status RenameAt(int folder, const std::string& from, const std::string& to) override {
        Named("RenameAt");
        return Point(PosixFileSystem::RenameAt(folder, from, to));
    }
    Status SyncFolderOpen(int folder) override {
        return Point(PosixFileSystem::SyncFolderOpen(folder));
    }
    Status SyncFileSystemOpen(int handle) override {
        return Point(PosixFileSystem::SyncFileSystemOpen(handle));
    }
    Status Write(int file, std::int64_t offset, const std::uint8_t* data,
                 std::size_t length) override {
        return Named("Write", Point(PosixFileSystem::Write(file, offset, data, length)));
    }
    Status Flush(int file) override { return Point(PosixFileSystem::Flush(file)); }
    Status CopyOpen(int from, int to, std::int64_t length) override {
        return Point(PosixFileSystem::CopyOpen(from, to, length));
    }
    Result<std::vector<DirEntry>> ListFolderAt(int folder) override {
        return Named("ListFolderAt", PosixFileSystem::ListFolderAt(folder));
    }
    Result<std::size_t> Read(int file, std::int64_t offset, std::uint8_t* out,
                             std::size_t length) override {
        return Named("Read", PosixFileSystem::Read(file, offset, out, length));
    }
    Result<int> ReopenUncached(int file) override {
        return Named("ReopenUncached", PosixFileSystem::ReopenUncached(file));
    }

  private:
    template <typename T>
    T Point(T result) {
        if (++passed_ == kill_at_) {
            if (!points_file_.empty())
                std::ofstream(points_file_) << passed_ << "\n";
            kill(getpid(), signal_);
        }
        return result;
    }

    // Counts a call of the operation `name` (made before, its result given
    // back), signalling at the one asked for.
    template <typename T>
    T Named(const std::string& name, T result) {
        Named(name);
        return result;
    }
    void Named(const std::string& name) {
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

    long kill_at_ = 0;
    int signal_ = SIGKILL;
    long passed_ = 0;
    std::string points_file_;
    std::string signal_name_;
    long signal_at_ = 0;
    std::map<std::string, long> calls_;
    bool signalled_ = false;
    std::string after_file_;
};

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
    velmora::OpenMissingStandardDescriptors();
    velmora::CrashPointFileSystem files;
    return velmora::CliMain(argc, argv, files);
}
