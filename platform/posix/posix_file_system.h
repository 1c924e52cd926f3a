#pragma once

#include <map>
#include <string>

#include "platform/file_system.h"

namespace velmora {

// The file system of a POSIX system, with the program's paths converted to
// UTF-8 and "/" at the edge.
class PosixFileSystem : public FileSystem {
  public:
    PosixFileSystem() = default;
    ~PosixFileSystem() override;
    PosixFileSystem(const PosixFileSystem&) = delete;
    PosixFileSystem& operator=(const PosixFileSystem&) = delete;

    Result<std::vector<std::string>> Dir(const std::string& path, int mask) override;
    Result<std::vector<DirEntry>> ListFolder(const std::string& folder) override;
    Result<int> GetAttr(const std::string& path) override;
    Status SetAttr(const std::string& path, int attributes) override;
    Result<EntryInfo> Inspect(const std::string& path) override;
    Status DeleteFile(const std::string& path) override;
    Result<bool> DeleteFileIfSame(const std::string& path, const EntryInfo& expected) override;
    Status RenameNew(const std::string& from, const std::string& to) override;
    Status MakeFolder(const std::string& path) override;
    Status RemoveFolder(const std::string& path) override;
    Status SyncFolder(const std::string& path) override;
    Status SyncFileSystem(const std::string& path) override;
    Result<int> Open(const std::string& path, OpenMode mode) override;
    Result<std::size_t> Read(int file, std::int64_t offset, std::uint8_t* out,
                             std::size_t length) override;
    Status Write(int file, std::int64_t offset, const std::uint8_t* data,
                 std::size_t length) override;
    Status Flush(int file) override;
    Result<EntryInfo> InspectOpen(int file) override;
    Status Close(int file) override;
    void CloseAll() override;
    Result<std::string> CurrentFolder() override;
    Result<std::string> ProgramFolder() override;
    std::string DisplayPath(const std::string& path) const override;
    Result<std::string> FromSystemPath(const std::string& given, Given what) override;
    Result<bool> IsSameOrInside(const std::string& path, const std::string& folder) override;
    std::size_t CharacterCount(const std::string& path) const override;
    Result<std::size_t> LongestName(const std::string& folder) override;
    std::size_t NativeNameSize(const std::string& name) const override;

  private:
    struct OpenFile {
        int descriptor;
        std::string path;
    };
    const OpenFile* Find(int file) const;
    // Opens path and applies sync (fsync or syncfs) to it.
    Status SyncThrough(const std::string& path, int open_flags, int (*sync)(int));

    std::map<int, OpenFile> open_files_;
    int next_number_ = 1;
};

// The system's clock, local time.
class SystemClock : public Clock {
  public:
    double SecondsSinceMidnight() override;
};

}  // namespace velmora
