// The Windows tree operations on open files: the table of handles and
// what is done through one (reads, writes, flushes, times, the run lock).
#include <errno.h>
#include <windows.h>

#include <algorithm>

#include "base/messages.h"
#include "platform/names.h"
#include "platform/win32/win32_entries.h"
#include "platform/win32/win32_tree_ops.h"

namespace velmora {
namespace {

// Where a positioned read or write of the byte at offset starts.
OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return where;
}

// The most one call moves of what is left.
DWORD Piece(std::size_t left) {
    return static_cast<DWORD>(std::min<std::size_t>(left, 1u << 30));
}

}  // namespace

Win32TreeOps::~Win32TreeOps() {
    CloseAll();
}

Result<int> Win32TreeOps::OpenPath(const std::string& path, OpenMode mode) {
    Result<std::wstring> wide = LongWidePath(path, Coding());
    if (!wide)
        return wide.error();
    const bool reading = mode == OpenMode::kRead;
    const DWORD access = reading ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const DWORD share = reading ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_DELETE;
    const DWORD disposition = Creates(mode) ? CREATE_NEW : OPEN_EXISTING;
    HANDLE handle = CreateFileW(wide->c_str(), access, share, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return LastWinError(Msg::kCannotOpen, path);
    Result<EntryInfo> info = InfoOfHandle(handle, path);
    if (!info || info->kind != EntryKind::kFile) {
        CloseHandle(handle);
        if (!info)
            return info.error();
        return WinError(ERROR_CANT_ACCESS_FILE, Msg::kCannotOpen, path);
    }
    return open_files_.Add(OpenFile{handle, path, !reading});
}

Result<std::size_t> Win32TreeOps::Read(int file, std::int64_t offset, std::uint8_t* out,
                                          std::size_t length) {
    const auto held = open_files_.Hold();  // the sealed reader's worker reads
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotRead, ShownNumber(file));
    if (open_file->uncached)
        return ReadUncached(*open_file, offset, out, length);
    std::size_t done = 0;
    while (done < length) {
        OVERLAPPED where = At(static_cast<std::uint64_t>(offset) + done);
        DWORD got = 0;
        if (!ReadFile(open_file->handle, out + done, Piece(length - done), &got, &where)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                break;
            return LastWinError(Msg::kCannotRead, open_file->path);
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

Status Win32TreeOps::Write(int file, std::int64_t offset, const std::uint8_t* data,
                              std::size_t length) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotWrite, ShownNumber(file));
    std::size_t done = 0;
    while (done < length) {
        OVERLAPPED where = At(static_cast<std::uint64_t>(offset) + done);
        DWORD put = 0;
        if (!WriteFile(open_file->handle, data + done, Piece(length - done), &put, &where))
            return LastWinError(Msg::kCannotWrite, open_file->path);
        if (put == 0)
            return WinError(ERROR_WRITE_FAULT, Msg::kCannotWrite, open_file->path);
        done += put;
    }
    return Status::Ok();
}

Status Win32TreeOps::Flush(int file) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotFlush, ShownNumber(file));
    if (!FlushFileBuffers(open_file->handle))
        return LastWinError(Msg::kCannotFlushToDisk, open_file->path);
    return Status::Ok();
}

// Reads whole aligned blocks into aligned memory and copies out the part
// asked for: what an unbuffered handle demands.
Result<std::size_t> Win32TreeOps::ReadUncached(const OpenFile& file, std::int64_t offset,
                                                  std::uint8_t* out, std::size_t length) {
    constexpr std::uint64_t kBlock = 4096;
    constexpr std::size_t kBounce = 1 << 20;
    struct Aligned {
        void* memory = VirtualAlloc(nullptr, kBounce, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        ~Aligned() {
            if (memory)
                VirtualFree(memory, 0, MEM_RELEASE);
        }
    } bounce;
    if (!bounce.memory)
        return WinError(ERROR_NOT_ENOUGH_MEMORY, Msg::kCannotRead, file.path);
    auto* buffer = static_cast<std::uint8_t*>(bounce.memory);
    std::size_t done = 0;
    while (done < length) {
        const std::uint64_t wanted = static_cast<std::uint64_t>(offset) + done;
        const std::uint64_t start = wanted - wanted % kBlock;
        const std::size_t skip = static_cast<std::size_t>(wanted - start);
        OVERLAPPED where = At(start);
        DWORD got = 0;
        if (!ReadFile(file.handle, buffer, static_cast<DWORD>(kBounce), &got, &where)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                break;
            return LastWinError(Msg::kCannotRead, file.path);
        }
        if (got <= skip)
            break;
        const std::size_t taken = std::min<std::size_t>(got - skip, length - done);
        std::copy_n(buffer + skip, taken, out + done);
        done += taken;
    }
    return done;
}

Status Win32TreeOps::SetSizeOpen(int file, std::int64_t size) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotWrite, ShownNumber(file));
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    if (!SetFileInformationByHandle(open_file->handle, FileEndOfFileInfo, &end, sizeof end))
        return LastWinError(Msg::kCannotWrite, open_file->path);
    return Status::Ok();
}

Status Win32TreeOps::SetModifiedOpen(int handle, std::int64_t modified_ns) {
    const OpenFile* open_file = open_files_.Find(handle);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotChangeTime, ShownNumber(handle));
    FILE_BASIC_INFO basic{};  // zero: that time stays as it is
    basic.LastWriteTime.QuadPart = FileTimeOf(modified_ns);
    if (!SetFileInformationByHandle(open_file->handle, FileBasicInfo, &basic, sizeof basic))
        return LastWinError(Msg::kCannotChangeTime, open_file->path);
    return Status::Ok();
}

Status Win32TreeOps::SetPermissionsOpen(int, std::uint32_t) {
    return Status::Ok();
}

Result<int> Win32TreeOps::ReopenUncached(int file) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotRead, ShownNumber(file));
    if (!FlushFileBuffers(open_file->handle))
        return LastWinError(Msg::kCannotFlushToDisk, open_file->path);
    HANDLE reopened =
        ReOpenFile(open_file->handle, GENERIC_READ, kShareAll, FILE_FLAG_NO_BUFFERING);
    if (reopened == INVALID_HANDLE_VALUE)
        return LastWinError(Msg::kCannotRead, open_file->path);
    return open_files_.Add(OpenFile{reopened, open_file->path, false, nullptr, true});
}

Result<EntryInfo> Win32TreeOps::InspectOpen(int file) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotInspect, ShownNumber(file));
    return InfoOfHandle(open_file->handle, open_file->path);
}

Status Win32TreeOps::Close(int file) {
    const std::optional<OpenFile> closing = open_files_.Take(file);
    if (!closing)
        return Status::Ok();
    if (closing->lock)
        CloseHandle(closing->lock);
    if (closing->written) {
        // Made durable through its own handle now (the cache is per file),
        // so nothing is reopened later to flush it.
        if (FlushFileBuffers(closing->handle))
            unflushed_.erase(closing->path);
        else
            unflushed_.insert(closing->path);
    }
    if (!CloseHandle(closing->handle))
        return LastWinError(Msg::kCannotClose, closing->path);
    return Status::Ok();
}

void Win32TreeOps::CloseAll() {
    open_files_.TakeAll([](const OpenFile& open_file) {
        if (open_file.lock)
            CloseHandle(open_file.lock);
        CloseHandle(open_file.handle);
    });
}

// NTFS journals a folder's list of names itself; a program has no flush for
// it.
Status Win32TreeOps::SyncFolderOpen(int) {
    return Status::Ok();
}

// Flushing a whole volume needs administrator rights; every file this
// object wrote was flushed instead when it was closed, so no name is opened
// again. Fails when one below the handle's path could not be.
Status Win32TreeOps::SyncFileSystemOpen(int handle) {
    const OpenFile* open_file = open_files_.Find(handle);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotFlushToDisk, ShownNumber(handle));
    const std::string& path = open_file->path;
    const std::string prefix = path.empty() || path.back() == '\\' ? path : path + "\\";
    for (const std::string& written : unflushed_) {
        if (written.compare(0, prefix.size(), prefix) == 0)
            return WinError(ERROR_WRITE_FAULT, Msg::kCannotFlushToDisk, Shown(written));
    }
    return Status::Ok();
}

// The run lock is a named mutex of this session, named after the volume and
// the file index of what is locked: another run on the same folder or
// container finds it; it goes when the handle is closed or the process ends.
Result<bool> Win32TreeOps::TryLock(int handle) {
    OpenFile* open_file = open_files_.Find(handle);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotLock, ShownNumber(handle));
    Result<FileIdentity> identity = IdentityOf(open_file->handle, open_file->path);
    if (!identity)
        return identity.error();
    const std::wstring name = L"Local\\velmora-run-" + std::to_wstring(identity->volume) + L"-" +
                              std::to_wstring(identity->index);
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex == nullptr)
        return LastWinError(Msg::kCannotLock, open_file->path);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    open_file->lock = mutex;
    return true;
}

}  // namespace velmora
