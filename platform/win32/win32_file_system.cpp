#include "platform/win32/win32_file_system.h"

#include <errno.h>
#include <windows.h>
#undef DeleteFile

#include <algorithm>

#include "base/cp1252.h"
#include "base/messages.h"
#include "base/utf8.h"
#include "platform/name_order.h"
#include "platform/names.h"
#include "platform/win32/win32_entries.h"
#include "platform/win32/win32_paths.h"
#include "platform/win32/win_error.h"

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

Win32FileSystem::~Win32FileSystem() {
    CloseAll();
}

Result<std::string> Win32FileSystem::NativeForm(const std::string& path) const {
    return NativePath(path, coding_);
}

std::string Win32FileSystem::DisplayPath(const std::string& path) const {
    return coding_ == NameCoding::kUtf8 ? ShownUtf8(path) : path;
}

Result<std::vector<DirEntry>> Win32FileSystem::ListFolder(const std::string& folder) {
    Result<std::wstring> wide = LongWidePath(folder, coding_);
    if (!wide)
        return wide.error();
    const DWORD own = GetFileAttributesW(wide->c_str());
    if (own == INVALID_FILE_ATTRIBUTES)
        return LastWinError(Msg::kCannotReadFolder, folder);
    Result<std::vector<Found>> found = Search(wide.value(), folder);
    if (!found)
        return found.error();
    const std::wstring prefix = WithSeparator(wide.value());
    const std::string shown_prefix = folder.back() == '\\' ? folder : folder + "\\";
    std::vector<DirEntry> entries;
    for (const Found& item : found.value()) {
        if (IsDots(item.name))
            continue;
        Result<std::string> name = ProgramPathOf(item.name, coding_);
        if (!name)
            return name.error();
        const std::string shown = shown_prefix + name.value();
        Handle handle(OpenNoFollow(prefix + item.name, FILE_READ_ATTRIBUTES));
        if (!handle.ok())
            return LastWinError(Msg::kCannotRead, shown);
        Result<DirEntry> entry =
            ListedEntry(std::move(name).value(), handle.value, shown, item.attributes);
        if (!entry)
            return entry.error();
        entries.push_back(std::move(entry).value());
    }
    SortByName(entries);
    return entries;
}

Result<int> Win32FileSystem::GetAttr(const std::string& path) {
    Result<std::wstring> wide = LongWidePath(path, coding_);
    if (!wide)
        return wide.error();
    const DWORD native = GetFileAttributesW(wide->c_str());
    if (native == INVALID_FILE_ATTRIBUTES)
        return LastWinError(Msg::kCannotReadAttributes, path);
    return StoredAttributes(native);
}

Status Win32FileSystem::SetAttr(const std::string& path, int attributes) {
    Result<std::wstring> wide = LongWidePath(path, coding_);
    if (!wide)
        return wide.error();
    const DWORD settable =
        static_cast<DWORD>(attributes & (kReadOnly | kHidden | kSystem | kArchive));
    if (!SetFileAttributesW(wide->c_str(), settable == 0 ? FILE_ATTRIBUTE_NORMAL : settable))
        return LastWinError(Msg::kCannotChangeAttributes, path);
    return Status::Ok();
}

Result<EntryInfo> Win32FileSystem::Inspect(const std::string& path) {
    Result<std::wstring> wide = LongWidePath(path, coding_);
    if (!wide)
        return wide.error();
    Handle handle(OpenNoFollow(wide.value(), FILE_READ_ATTRIBUTES));
    if (!handle.ok())
        return LastWinError(Msg::kCannotInspect, path);
    const DWORD listed = GetFileAttributesW(wide->c_str());
    return InfoOfHandle(handle.value, path, listed == INVALID_FILE_ATTRIBUTES ? 0 : listed);
}

// Opens the name itself for deletion, asks `keep` whether what it names now
// must be left alone (true), and otherwise deletes it through that same
// handle, so the file checked is the file deleted.
Result<bool> Win32FileSystem::DeleteThroughHandle(const std::string& path, const KeepCheck& keep) {
    Result<std::wstring> wide = LongWidePath(path, coding_);
    if (!wide)
        return wide.error();
    Handle handle(OpenNoFollow(wide.value(), DELETE | FILE_READ_ATTRIBUTES));
    if (!handle.ok())
        return LastWinError(Msg::kCannotDeleteFile, path);
    Result<EntryInfo> info = InfoOfHandle(handle.value, path);
    if (!info)
        return info.error();
    Result<bool> kept = keep(handle.value, info.value());
    if (!kept || kept.value())
        return kept;
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (!SetFileInformationByHandle(handle.value, FileDispositionInfo, &disposition,
                                    sizeof disposition))
        return LastWinError(Msg::kCannotDeleteFile, path);
    written_files_.erase(path);
    unflushed_.erase(path);
    return false;
}

Status Win32FileSystem::DeleteFile(const std::string& path) {
    Result<bool> kept = DeleteThroughHandle(path, [&](HANDLE handle, const EntryInfo& info) {
        if (info.kind == EntryKind::kFolder)
            return Result<bool>(WinError(ERROR_ACCESS_DENIED, Msg::kCannotDeleteFile, path));
        const auto written = written_files_.find(path);
        if (written == written_files_.end())
            return Result<bool>(false);
        Result<FileIdentity> now = IdentityOf(handle, path);
        if (!now || !(now.value() == written->second))
            return Result<bool>(Error{Text(Msg::kChangedSinceWritten, {path}), EBUSY});
        return Result<bool>(false);
    });
    if (!kept)
        return kept.error();
    return Status::Ok();
}

Status Win32FileSystem::MakeFolder(const std::string& path) {
    Result<std::wstring> wide = LongWidePath(path, coding_);
    if (!wide)
        return wide.error();
    if (!CreateDirectoryW(wide->c_str(), nullptr))
        return LastWinError(Msg::kCannotMakeFolder, path);
    return Status::Ok();
}

Status Win32FileSystem::RemoveFolder(const std::string& path) {
    Result<std::wstring> wide = LongWidePath(path, coding_);
    if (!wide)
        return wide.error();
    if (!RemoveDirectoryW(wide->c_str()))
        return LastWinError(Msg::kCannotRemoveFolder, path);
    return Status::Ok();
}

// NTFS journals a folder's list of names itself; a program has no flush for
// it.
Status Win32FileSystem::SyncFolder(const std::string&) {
    return Status::Ok();
}

// Flushing a whole volume needs administrator rights; every file this
// object wrote was flushed instead when it was closed. Fails when one below
// path could not be.
Status Win32FileSystem::SyncFileSystem(const std::string& path) {
    const std::string prefix = path.empty() || path.back() == '\\' ? path : path + "\\";
    for (const std::string& written : unflushed_) {
        if (written.compare(0, prefix.size(), prefix) == 0)
            return WinError(ERROR_WRITE_FAULT, Msg::kCannotFlushToDisk, DisplayPath(written));
    }
    return Status::Ok();
}

Result<int> Win32FileSystem::Open(const std::string& path, OpenMode mode) {
    Result<std::wstring> wide = LongWidePath(path, coding_);
    if (!wide)
        return wide.error();
    const bool reading = mode == OpenMode::kRead;
    const DWORD access = reading ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const DWORD share = reading ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_DELETE;
    const DWORD disposition = mode == OpenMode::kCreateNew ? CREATE_NEW : OPEN_EXISTING;
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

Result<std::size_t> Win32FileSystem::Read(int file, std::int64_t offset, std::uint8_t* out,
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

Status Win32FileSystem::Write(int file, std::int64_t offset, const std::uint8_t* data,
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

Status Win32FileSystem::Flush(int file) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotFlush, ShownNumber(file));
    if (!FlushFileBuffers(open_file->handle))
        return LastWinError(Msg::kCannotFlushToDisk, open_file->path);
    return Status::Ok();
}

// Reads whole aligned blocks into aligned memory and copies out the part
// asked for: what an unbuffered handle demands.
Result<std::size_t> Win32FileSystem::ReadUncached(const OpenFile& file, std::int64_t offset,
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

Status Win32FileSystem::SetSizeOpen(int file, std::int64_t size) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotWrite, ShownNumber(file));
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    if (!SetFileInformationByHandle(open_file->handle, FileEndOfFileInfo, &end, sizeof end))
        return LastWinError(Msg::kCannotWrite, open_file->path);
    return Status::Ok();
}

Status Win32FileSystem::SetModifiedOpen(int handle, std::int64_t modified_ns) {
    const OpenFile* open_file = open_files_.Find(handle);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotChangeTime, ShownNumber(handle));
    FILE_BASIC_INFO basic{};  // zero: that time stays as it is
    basic.LastWriteTime.QuadPart = FileTimeOf(modified_ns);
    if (!SetFileInformationByHandle(open_file->handle, FileBasicInfo, &basic, sizeof basic))
        return LastWinError(Msg::kCannotChangeTime, open_file->path);
    return Status::Ok();
}

Status Win32FileSystem::SetPermissionsOpen(int, std::uint32_t) {
    return Status::Ok();
}

Result<int> Win32FileSystem::ReopenUncached(int file) {
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

Result<EntryInfo> Win32FileSystem::InspectOpen(int file) {
    const OpenFile* open_file = open_files_.Find(file);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotInspect, ShownNumber(file));
    return InfoOfHandle(open_file->handle, open_file->path);
}

Status Win32FileSystem::Close(int file) {
    const std::optional<OpenFile> closing = open_files_.Take(file);
    if (!closing)
        return Status::Ok();
    if (closing->lock)
        CloseHandle(closing->lock);
    if (closing->written) {
        Result<FileIdentity> identity = IdentityOf(closing->handle, closing->path);
        if (identity)
            written_files_[closing->path] = identity.value();
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

void Win32FileSystem::CloseAll() {
    open_files_.TakeAll([](const OpenFile& open_file) {
        if (open_file.lock)
            CloseHandle(open_file.lock);
        CloseHandle(open_file.handle);
    });
}

Result<std::string> Win32FileSystem::CurrentFolder() const {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(needed, L'\0');
    const DWORD length = GetCurrentDirectoryW(needed, folder.data());
    if (length == 0 || length >= needed)
        return LastWinError(Msg::kCannotFindCurrentFolder, ".");
    folder.resize(length);
    return ProgramPathOf(folder, coding_);
}

Result<std::string> Win32FileSystem::ProgramFolder() const {
    std::wstring file(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, file.data(), static_cast<DWORD>(file.size()));
        if (length == 0)
            return LastWinError(Msg::kCannotFindProgramFolder, "velmora.exe");
        if (length < file.size()) {
            file.resize(length);
            break;
        }
        file.resize(file.size() * 2);
    }
    Result<std::string> path = ProgramPathOf(file, coding_);
    if (!path)
        return path.error();
    std::string folder = path->substr(0, path->find_last_of('\\'));
    if (folder.size() == 2 && folder[1] == ':')
        folder += '\\';  // a drive's root keeps its separator
    return folder;
}

}  // namespace velmora
