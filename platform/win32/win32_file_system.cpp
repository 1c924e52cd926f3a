// The operations by path of Windows, for the program's edges.
#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include "base/messages.h"
#include "platform/name_order.h"
#include "platform/names.h"
#include "platform/win32/win32_entries.h"
#include "platform/win32/win32_tree_ops.h"

namespace velmora {

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

Status Win32FileSystem::MakeFolder(const std::string& path) {
    Result<std::wstring> wide = LongWidePath(path, coding_);
    if (!wide)
        return wide.error();
    if (!CreateDirectoryW(wide->c_str(), nullptr))
        return LastWinError(Msg::kCannotMakeFolder, path);
    return Status::Ok();
}

}  // namespace velmora
