#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "container/cancel_token.h"
#include "container/host.h"
#include "container/sealed/sealed_format.h"
#ifdef _WIN32
#include "platform/win32/win32_file_system.h"
#else
#include "platform/posix/posix_file_system.h"
#endif

namespace velmora {

#ifdef _WIN32
using SystemFileSystem = Win32FileSystem;
#else
using SystemFileSystem = PosixFileSystem;
#endif

// The smallest key derivation and chunks (in groups of the default size):
// the tests time the runs, not Argon2, and may open thousands of containers.
inline constexpr SealedParameters kFastParameters{1, 8192, 4096};

// Thrown by the test host where the real program would exit.
struct ProgramEnded {};

// The windows as the tests see them: everything recorded, and "Cancelar"
// pressed at a chosen pump.
class TestHost : public Host {
  public:
    TestHost(FileSystem& files, CancelToken& cancel) : files_(&files), cancel_(&cancel) {}

    void PumpEvents() override {
        ++pumps;
        if (cancel_at_pump == pumps)
            PressCancelar();
        if (on_pump)
            on_pump(pumps);
    }
    // As the main window's "Cancelar" does.
    void PressCancelar() {
        if (cancel_->Request() == CancelToken::Heed::kNone)
            EndProgram();
    }
    void BeginStep(const std::string& caption) override { captions.push_back(caption); }
    void AdvanceProgress(std::int64_t mark) override { marks.push_back(mark); }
    void ShowMessage(const std::string& text, MessageIcon icon) override {
        messages.push_back(text);
        icons.push_back(icon);
    }
    void OpenFolder(const std::string& path) override { opened.push_back(path); }
    void MakeWayForFolder() override { hidden = true; }
    void EndJob() override { unloaded = true; }
    [[noreturn]] void EndProgram() override {
        files_->CloseAll();
        throw ProgramEnded{};
    }
    void SealedJob(SealedMoment moment, const std::string& path) override {
        moments.emplace_back(moment, path);
    }

    int pumps = 0;
    int cancel_at_pump = -1;
    std::function<void(int)> on_pump;
    std::vector<std::string> captions;
    std::vector<std::int64_t> marks;
    std::vector<std::string> messages;
    std::vector<MessageIcon> icons;
    std::vector<std::string> opened;
    bool hidden = false;
    bool unloaded = false;
    std::vector<std::pair<SealedMoment, std::string>> moments;

  private:
    FileSystem* files_;
    CancelToken* cancel_;
};

// A file system whose writes, to any file number, land in `bytes`, counted
// from `start`: after Next, the next container is kept from where the last
// one ended (one writer may serve many). With `fail_from` set, any write
// reaching past that many bytes fails.
class MemoryWrites : public SystemFileSystem {
  public:
    Status Write(int, std::int64_t offset, const std::uint8_t* data, std::size_t length) override {
        const auto end = static_cast<std::size_t>(offset) + length;
        if (end > fail_from)
            return Error{"disco lleno", 28};
        bytes.resize(std::max(bytes.size(), end - start));
        std::copy(data, data + length, bytes.begin() + (static_cast<std::size_t>(offset) - start));
        end_ = std::max(end_, end);
        return Status::Ok();
    }
    void Next() {
        bytes.clear();
        start = end_;
    }

    std::vector<std::uint8_t> bytes;
    std::size_t fail_from = SIZE_MAX;

  private:
    std::size_t start = 0;
    std::size_t end_ = 0;
};

// A clock that moves by `step` seconds at every reading, wrapping at
// midnight.
class SteppingClock : public Clock {
  public:
    SteppingClock(double start, double step) : now_(start), step_(step) {}
    double SecondsSinceMidnight() override {
        const double reading = now_;
        now_ += step_;
        if (now_ >= 86400.0)
            now_ -= 86400.0;
        return reading;
    }

  private:
    double now_;
    double step_;
};

// The real file system of the platform with a window on it: the sizes of the writes
// to each path, the order of writes, flushes and deletes, failures injected
// by path and operation, and a pause before every operation (`before`, told
// the operation and the entry's path) where a test plays another program
// changing the tree at exactly that moment.
class RecordingFileSystem : public SystemFileSystem {
  public:
    Result<int> OpenStartingFile(const std::string& path) override {
        return Opened(path, OpenMode::kRead,
                      [&] { return SystemFileSystem::OpenStartingFile(path); });
    }
    Result<int> OpenAt(int folder, const std::string& name, OpenMode mode) override {
        return Opened(Inside(folder, name), mode,
                      [&] { return SystemFileSystem::OpenAt(folder, name, mode); });
    }
    Result<int> OpenStartingFolder(const std::string& path) override {
        Pause("open folder", path);
        return Named(path, SystemFileSystem::OpenStartingFolder(path));
    }
    Result<int> OpenFolderAt(int folder, const std::string& name) override {
        const std::string path = Inside(folder, name);
        Pause("open folder", path);
        return Named(path, SystemFileSystem::OpenFolderAt(folder, name));
    }
    Result<std::vector<DirEntry>> ListFolderAt(int folder) override {
        Pause("list", paths_[folder]);
        return SystemFileSystem::ListFolderAt(folder);
    }
    Status SetAttrAt(int folder, const std::string& name, int attributes,
                     const EntryInfo* expected) override {
        Pause("set attributes", Inside(folder, name));
        return SystemFileSystem::SetAttrAt(folder, name, attributes, expected);
    }
    Status SetAttrOpen(int handle, int attributes) override {
        Pause("set attributes", paths_[handle]);
        return SystemFileSystem::SetAttrOpen(handle, attributes);
    }
    Result<std::size_t> Read(int file, std::int64_t offset, std::uint8_t* out,
                             std::size_t length) override {
        Result<std::size_t> read = SystemFileSystem::Read(file, offset, out, length);
        std::lock_guard<std::mutex> lock(paths_mutex_);  // the sealed reader's worker reads
        if (read)
            bytes_read[paths_[file]] += read.value();
        return read;
    }
    Status Write(int file, std::int64_t offset, const std::uint8_t* data,
                 std::size_t length) override {
        const std::string& path = paths_[file];
        Pause("write", path);
        writes[path].push_back(length);
        log.push_back("write " + path);
        if (fail.write_errno != 0 && path.find(fail.write_path) != std::string::npos)
            return Error{"fallo inyectado al escribir", fail.write_errno};
        return SystemFileSystem::Write(file, offset, data, length);
    }
    Status Flush(int file) override {
        if (fail.flush)
            return Error{"fallo inyectado al asegurar", EIO};
        return SystemFileSystem::Flush(file);
    }
    Status SyncFileSystemOpen(int handle) override {
        log.push_back("sync");
        Pause("sync", paths_[handle]);
        if (fail.sync)
            return Error{"fallo inyectado al asegurar", EIO};
        return SystemFileSystem::SyncFileSystemOpen(handle);
    }
    Result<bool> DeleteFileAt(int folder, const std::string& name,
                              const EntryInfo& expected) override {
        const std::string path = Inside(folder, name);
        Pause("delete", path);
        log.push_back("delete " + path);
        return SystemFileSystem::DeleteFileAt(folder, name, expected);
    }
    Result<bool> RemoveFolderAt(int folder, const std::string& name,
                                const EntryInfo& expected) override {
        Pause("remove folder", Inside(folder, name));
        return SystemFileSystem::RemoveFolderAt(folder, name, expected);
    }
    Result<int> ReopenUncached(int file) override {
        Pause("read back", paths_[file]);  // a written container, from the disk
        return SystemFileSystem::ReopenUncached(file);
    }
    Status SetPermissionsOpen(int handle, std::uint32_t mode) override {
        if (fail.details_errno != 0)
            return Error{"fallo inyectado en los permisos", fail.details_errno};
        return SystemFileSystem::SetPermissionsOpen(handle, mode);
    }
    Status SetModifiedOpen(int handle, std::int64_t modified_ns) override {
        if (fail.details_errno != 0)
            return Error{"fallo inyectado en la fecha", fail.details_errno};
        return SystemFileSystem::SetModifiedOpen(handle, modified_ns);
    }
    Status RenameAt(int folder, const std::string& from, const std::string& to) override {
        Pause("rename", Inside(folder, from));
        if (fail.rename)
            return Error{"fallo inyectado al renombrar", EIO};
        if (fail.folder_rename_errno != 0)
            if (Result<EntryInfo> found = InspectAt(folder, from);
                found && found->kind == EntryKind::kFolder)
                return Error{"fallo inyectado al renombrar una carpeta", fail.folder_rename_errno};
        return SystemFileSystem::RenameAt(folder, from, to);
    }

    // Attribute values forced by path for the start-up decision, for values
    // a Linux file system cannot hold (15, 47, ...); the directory search
    // still sees the real entry.
    Result<int> GetAttr(const std::string& path) override {
        const auto it = forced_attributes.find(path);
        if (it != forced_attributes.end() && !searching_)
            return it->second;
        return SystemFileSystem::GetAttr(path);
    }
    Result<std::vector<std::string>> Dir(const std::string& path, int mask) override {
        searching_ = true;
        Result<std::vector<std::string>> names = SystemFileSystem::Dir(path, mask);
        searching_ = false;
        return names;
    }
    std::map<std::string, int> forced_attributes;

    // Plays a system that takes names differing only in case for one.
    bool IgnoresCase() const override { return ignores_case; }
    bool ignores_case = false;
    // Plays a file system whose names are shorter (0: the real one's).
    Result<std::size_t> LongestName(const std::string& folder) const override {
        return longest_name != 0 ? Result<std::size_t>(longest_name)
                                 : SystemFileSystem::LongestName(folder);
    }
    std::size_t longest_name = 0;

    struct Faults {
        std::map<std::string, int> open;  // path -> errno
        std::string write_path;           // writes to paths holding it fail
        int write_errno = 0;
        bool flush = false;
        bool sync = false;
        bool rename = false;
        int folder_rename_errno = 0;  // folders cannot be renamed (fusefat: ENOSYS)
        int details_errno = 0;        // permissions and times cannot be set
    } fail;
    // Runs before each operation with its name and the entry's path.
    std::function<void(const std::string& operation, const std::string& path)> before;
    std::map<std::string, std::vector<std::size_t>> writes;
    std::vector<std::string> log;  // writes, file-system flushes and deletes, in order
    std::map<std::string, std::size_t> bytes_read;

  private:
    std::string Inside(int folder, const std::string& name) { return paths_[folder] + "\\" + name; }
    void Pause(const std::string& operation, const std::string& path) {
        if (before)
            before(operation, path);
    }
    Result<int> Named(const std::string& path, Result<int> opened) {
        std::lock_guard<std::mutex> lock(paths_mutex_);
        if (opened)
            paths_[opened.value()] = path;
        return opened;
    }
    template <typename OpenCall>
    Result<int> Opened(const std::string& path, OpenMode mode, const OpenCall& open) {
        Pause(mode == OpenMode::kRead        ? "open"
              : mode == OpenMode::kReadWrite ? "open to write"
                                             : "create",
              path);
        if (auto it = fail.open.find(path); it != fail.open.end())
            return Error{"fallo inyectado al abrir", it->second};
        return Named(path, open());
    }

    bool searching_ = false;
    std::mutex paths_mutex_;
    std::map<int, std::string> paths_;
};

}  // namespace velmora
