#pragma once

#include <cerrno>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "container/host.h"
#include "container/main_window_actions.h"
#include "platform/posix/posix_file_system.h"

namespace velmora {

// Thrown by the test host where the real program would exit.
struct ProgramEnded {};

// The windows as the tests see them: everything recorded, and "Cancelar"
// pressed at a chosen pump.
class TestHost : public Host {
  public:
    TestHost(FileSystem& files, EngineState& state) : files_(&files), state_(&state) {}

    void PumpEvents() override {
        ++pumps;
        if (cancel_at_pump == pumps)
            PressCancelar(*files_, *state_, *this);
        if (on_pump)
            on_pump(pumps);
    }
    void SetCaption(const std::string& caption) override { captions.push_back(caption); }
    void AdvanceProgress(std::int64_t mark) override { marks.push_back(mark); }
    void SetPicture1Tag(const std::string& file_name) override { picture1_tag = file_name; }
    std::string Picture1Tag() const override { return picture1_tag; }
    void ShowMessage(const std::string& text, MessageIcon icon) override {
        messages.push_back(text);
        icons.push_back(icon);
    }
    void OpenFolder(const std::string& path) override { opened.push_back(path); }
    void HideMainWindow() override { hidden = true; }
    void UnloadMainWindow() override { unloaded = true; }
    [[noreturn]] void EndProgram() override {
        files_->CloseAll();
        throw ProgramEnded{};
    }

    int pumps = 0;
    int cancel_at_pump = -1;
    std::function<void(int)> on_pump;
    std::vector<std::string> captions;
    std::vector<std::int64_t> marks;
    std::string picture1_tag;
    std::vector<std::string> messages;
    std::vector<MessageIcon> icons;
    std::vector<std::string> opened;
    bool hidden = false;
    bool unloaded = false;

  private:
    FileSystem* files_;
    EngineState* state_;
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

// The real POSIX file system with a window on it: the sizes of the writes
// to each path, the order of writes, flushes and deletes, failures injected
// by path and operation, and a race run at each flush.
class RecordingFileSystem : public PosixFileSystem {
  public:
    Result<int> Open(const std::string& path, OpenMode mode) override {
        if (auto it = fail.open.find(path); it != fail.open.end())
            return Error{"fallo inyectado al abrir", it->second};
        Result<int> file = PosixFileSystem::Open(path, mode);
        if (file)
            paths_[file.value()] = path;
        return file;
    }
    Result<std::size_t> Read(int file, std::int64_t offset, std::uint8_t* out,
                             std::size_t length) override {
        Result<std::size_t> read = PosixFileSystem::Read(file, offset, out, length);
        if (read)
            bytes_read[paths_[file]] += read.value();
        return read;
    }
    Status Write(int file, std::int64_t offset, const std::uint8_t* data,
                 std::size_t length) override {
        const std::string& path = paths_[file];
        writes[path].push_back(length);
        log.push_back("write " + path);
        if (fail.write_errno != 0 && path.find(fail.write_path) != std::string::npos)
            return Error{"fallo inyectado al escribir", fail.write_errno};
        return PosixFileSystem::Write(file, offset, data, length);
    }
    Status Flush(int file) override {
        if (fail.flush)
            return Error{"fallo inyectado al asegurar", EIO};
        return PosixFileSystem::Flush(file);
    }
    Status SyncFileSystem(const std::string& path) override {
        log.push_back("sync");
        if (fail.on_sync)
            fail.on_sync();
        if (fail.sync)
            return Error{"fallo inyectado al asegurar", EIO};
        return PosixFileSystem::SyncFileSystem(path);
    }
    Result<bool> DeleteFileIfSame(const std::string& path, const EntryInfo& expected) override {
        log.push_back("delete " + path);
        return PosixFileSystem::DeleteFileIfSame(path, expected);
    }
    Status RenameNew(const std::string& from, const std::string& to) override {
        if (fail.rename)
            return Error{"fallo inyectado al renombrar", EIO};
        return PosixFileSystem::RenameNew(from, to);
    }

    struct Faults {
        std::map<std::string, int> open;  // path -> errno
        std::string write_path;           // writes to paths holding it fail
        int write_errno = 0;
        bool flush = false;
        bool sync = false;
        bool rename = false;
        std::function<void()> on_sync;  // runs at each flush of the file system
    } fail;
    std::map<std::string, std::vector<std::size_t>> writes;
    std::vector<std::string> log;  // writes, file-system flushes and deletes, in order
    std::map<std::string, std::size_t> bytes_read;

  private:
    std::map<int, std::string> paths_;
};

}  // namespace velmora
