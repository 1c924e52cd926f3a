// The operations on entries inside an open folder. Each reaches the entry
// as the folder's path and one component, opened as the name itself (a
// reparse point is opened, never followed, and refused where a folder or a
// file is expected), and checks identity on the handle it acts through.
#include <windows.h>
#undef DeleteFile

#include <cerrno>
#include <cwctype>

#include "base/cp1252.h"
#include "base/messages.h"
#include "platform/win32/reserved_names.h"
#include "platform/win32/win32_entries.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_paths.h"
#include "platform/win32/win_error.h"

namespace velmora {

Result<std::string> Win32FileSystem::PathIn(int folder, const std::string& name) const {
    const OpenFile* open_folder = open_files_.Find(folder);
    if (!open_folder)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotOpen, ShownNumber(folder));
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of("\\/") != std::string::npos)
        return WinError(ERROR_INVALID_NAME, Msg::kCannotOpen, open_folder->path + "\\" + name);
    const std::string& path = open_folder->path;
    return path.back() == '\\' ? path + name : path + "\\" + name;
}

Result<int> Win32FileSystem::OpenFolder(const std::string& path) {
    std::string folder = path.empty() ? "." : path;
    if (folder.size() == 2 && folder[1] == ':')
        folder += '\\';
    Result<std::wstring> wide = LongWidePath(folder, coding_);
    if (!wide)
        return wide.error();
    HANDLE handle = OpenNoFollow(
        wide.value(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
    if (handle == INVALID_HANDLE_VALUE)
        return LastWinError(Msg::kCannotOpenFolder, folder);
    const DWORD listed = GetFileAttributesW(wide->c_str());
    Result<EntryInfo> info =
        InfoOfHandle(handle, folder, listed == INVALID_FILE_ATTRIBUTES ? 0 : listed);
    if (!info || info->kind != EntryKind::kFolder) {
        CloseHandle(handle);
        if (!info)
            return info.error();
        return WinError(ERROR_DIRECTORY, Msg::kCannotOpenFolder, folder);
    }
    return open_files_.Add(OpenFile{handle, folder, false});
}

Result<int> Win32FileSystem::OpenFolderAt(int folder, const std::string& name) {
    Result<std::string> path = PathIn(folder, name);
    if (!path)
        return path.error();
    return OpenFolder(path.value());
}

Result<std::vector<DirEntry>> Win32FileSystem::ListFolderAt(int folder) {
    const OpenFile* open_folder = open_files_.Find(folder);
    if (!open_folder)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotReadFolder, ShownNumber(folder));
    return ListFolder(open_folder->path);
}

Result<EntryInfo> Win32FileSystem::InspectAt(int folder, const std::string& name) {
    Result<std::string> path = PathIn(folder, name);
    if (!path)
        return path.error();
    return Inspect(path.value());
}

Result<int> Win32FileSystem::GetAttrAt(int folder, const std::string& name) {
    Result<std::string> path = PathIn(folder, name);
    if (!path)
        return path.error();
    return GetAttr(path.value());
}

Status Win32FileSystem::SetAttrAt(int folder, const std::string& name, int attributes,
                                  const EntryInfo* expected) {
    Result<std::string> path = PathIn(folder, name);
    if (!path)
        return path.error();
    if (expected) {
        Result<EntryInfo> now = Inspect(path.value());
        if (!now)
            return now.error();
        if (now->device != expected->device || now->inode != expected->inode)
            return WinError(ERROR_FILE_INVALID, Msg::kCannotChangeAttributes, path.value());
    }
    return SetAttr(path.value(), attributes);
}

Result<int> Win32FileSystem::GetAttrOpen(int handle, const std::string&) {
    const OpenFile* open_file = open_files_.Find(handle);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotReadAttributes, ShownNumber(handle));
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(open_file->handle, &information))
        return LastWinError(Msg::kCannotReadAttributes, open_file->path);
    return StoredAttributes(information.dwFileAttributes);
}

Status Win32FileSystem::SetAttrOpen(int handle, int attributes) {
    const OpenFile* open_file = open_files_.Find(handle);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotChangeAttributes, ShownNumber(handle));
    FILE_BASIC_INFO basic{};
    const DWORD settable =
        static_cast<DWORD>(attributes & (kReadOnly | kHidden | kSystem | kArchive));
    BY_HANDLE_FILE_INFORMATION information;
    const bool folder = GetFileInformationByHandle(open_file->handle, &information) &&
                        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    basic.FileAttributes = settable | (folder ? FILE_ATTRIBUTE_DIRECTORY
                                              : (settable == 0 ? FILE_ATTRIBUTE_NORMAL : 0));
    if (SetFileInformationByHandle(open_file->handle, FileBasicInfo, &basic, sizeof basic))
        return Status::Ok();
    // A handle opened without the right to change attributes (a container
    // being read): through its name.
    return SetAttr(open_file->path, attributes);
}

Result<int> Win32FileSystem::OpenAt(int folder, const std::string& name, OpenMode mode) {
    Result<std::string> path = PathIn(folder, name);
    if (!path)
        return path.error();
    return Open(path.value(), mode);
}

Status Win32FileSystem::MakeFolderAt(int folder, const std::string& name) {
    Result<std::string> path = PathIn(folder, name);
    if (!path)
        return path.error();
    return MakeFolder(path.value());
}

Result<bool> Win32FileSystem::DeleteFileAt(int folder, const std::string& name,
                                           const EntryInfo& expected) {
    Result<std::string> path = PathIn(folder, name);
    if (!path)
        return path.error();
    Result<bool> kept = DeleteThroughHandle(path.value(), [&](HANDLE, const EntryInfo& now) {
        return Result<bool>(!SameUntouchedFile(now, expected));
    });
    if (!kept)
        return kept.error();
    return !kept.value();
}

Result<bool> Win32FileSystem::RemoveFolderAt(int folder, const std::string& name,
                                             const EntryInfo& expected) {
    Result<std::string> path = PathIn(folder, name);
    if (!path)
        return path.error();
    Result<bool> kept = DeleteThroughHandle(path.value(), [&](HANDLE, const EntryInfo& now) {
        return Result<bool>(!SameFolder(now, expected));
    });
    if (!kept)
        return kept.error();
    return !kept.value();
}

Status Win32FileSystem::RenameAt(int folder, const std::string& from, const std::string& to) {
    Result<std::string> source = PathIn(folder, from);
    if (!source)
        return source.error();
    Result<std::string> target = PathIn(folder, to);
    if (!target)
        return target.error();
    return RenameNew(source.value(), target.value());
}

Status Win32FileSystem::SyncFolderOpen(int) {
    return Status::Ok();  // as SyncFolder: NTFS journals a folder's names itself
}

Status Win32FileSystem::SyncFileSystemOpen(int handle) {
    const OpenFile* open_file = open_files_.Find(handle);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotFlushToDisk, ShownNumber(handle));
    return SyncFileSystem(open_file->path);
}

// The run lock is a named mutex of this session, named after the volume and
// the file index of what is locked: another run on the same folder or
// container finds it; it goes when the handle is closed or the process ends.
Result<bool> Win32FileSystem::TryLock(int handle) {
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

Result<std::size_t> Win32FileSystem::NativePathSize(const std::string& path) const {
    Result<std::wstring> wide = WideOf(path, coding_);
    if (!wide)
        return wide.error();
    return wide->size();
}

std::size_t Win32FileSystem::NativeNameSize(const std::string& name) const {
    Result<std::wstring> wide = WideOf(name, coding_);
    return wide ? wide->size() : std::string::npos;
}

std::string Win32FileSystem::UncreatableName(const std::string& component) const {
    // A name the coding cannot hold is refused where it is converted.
    Result<std::wstring> wide = WideOf(component, coding_);
    return wide ? WhyWindowsRefusesName(wide.value()) : "";
}

}  // namespace velmora
