// The operations on entries inside an open folder. Each reaches the entry
// by one name relative to the folder's handle (NtCreateFile's root folder),
// never by a path resolved again: whatever the folders above have become,
// the entry is looked for in that folder alone. The name itself is opened (a
// reparse point is opened, never followed, and refused where a folder or a
// file is expected), and identity is checked on the handle acted through.
#include <windows.h>
#undef DeleteFile

#include <cerrno>
#include <cwctype>

#include "base/cp1252.h"
#include "base/messages.h"
#include "base/name_text.h"
#include "platform/name_order.h"
#include "platform/win32/nt_relative.h"
#include "platform/win32/win32_entries.h"
#include "platform/win32/win32_tree_ops.h"

namespace velmora {
namespace {

// Characters a single name never holds: separators, the stream separator
// and the wildcards of a folder search.
constexpr std::string_view kNotInAName = "\\/:*?<>\"";

constexpr ACCESS_MASK kFolderAccess =
    FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;

}  // namespace

Result<Win32TreeOps::Inside> Win32TreeOps::Resolve(int folder, const std::string& name,
                                                         Msg action) const {
    const OpenFile* open_folder = open_files_.Find(folder);
    if (!open_folder)
        return WinError(ERROR_INVALID_HANDLE, action, ShownNumber(folder));
    const std::string& path = open_folder->path;
    std::string shown = path.back() == '\\' ? path + name : path + "\\" + name;
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of(kNotInAName) != std::string::npos)
        return WinError(ERROR_INVALID_NAME, action, Shown(shown));
    Result<std::wstring> wide = WideOf(name, Coding());
    if (!wide)
        return UnrepresentableName(shown, 0);
    return Inside{open_folder->handle, std::move(wide).value(), std::move(shown)};
}

Result<void*> Win32TreeOps::OpenInside(const Inside& inside, const RelativeOpen& how,
                                          Msg action) const {
    HANDLE opened = nullptr;
    if (const DWORD error = OpenRelative(inside.folder, inside.name, how, &opened))
        return WinError(error, action, Shown(inside.shown));
    return static_cast<void*>(opened);
}

// What the handle says, with the attributes the folder lists for the name:
// Wine opens a Unix link to a folder as its target and shows the reparse
// point only in the listing.
Result<EntryInfo> Win32TreeOps::InfoInside(const Inside& inside, void* handle) const {
    std::vector<Found> listed;
    if (const DWORD error = ListRelative(inside.folder, inside.name, &listed))
        return WinError(error, Msg::kCannotInspect, Shown(inside.shown));
    return InfoOfHandle(handle, inside.shown, listed.empty() ? 0 : listed.front().attributes);
}

Win32TreeOps::OpenedInside::~OpenedInside() {
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
}

void* Win32TreeOps::OpenedInside::Take() {
    void* taken = handle;
    handle = INVALID_HANDLE_VALUE;
    return taken;
}

Result<Win32TreeOps::OpenedInside> Win32TreeOps::OpenAndInspect(int folder,
                                                                      const std::string& name,
                                                                      const RelativeOpen& how,
                                                                      Msg action) const {
    Result<Inside> inside = Resolve(folder, name, action);
    if (!inside)
        return inside.error();
    Result<void*> opened = OpenInside(inside.value(), how, action);
    if (!opened)
        return opened.error();
    OpenedInside entry(std::move(inside).value(), opened.value());
    Result<EntryInfo> info = InfoInside(entry.inside, entry.handle);
    if (!info)
        return info.error();
    entry.info = info.value();
    return entry;
}

Result<int> Win32TreeOps::OpenStartingFolder(const std::string& path) {
    std::string folder = path.empty() ? "." : path;
    if (folder.size() == 2 && folder[1] == ':')
        folder += '\\';
    Result<std::wstring> wide = LongWidePath(folder, Coding());
    if (!wide)
        return wide.error();
    HANDLE handle = OpenNoFollow(wide.value(), kFolderAccess);
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

Result<int> Win32TreeOps::OpenFolderAt(int folder, const std::string& name) {
    Result<OpenedInside> opened =
        OpenAndInspect(folder, name, RelativeOpen{kFolderAccess, kShareAll, kNtOpen, kNtFolderOnly},
                       Msg::kCannotOpenFolder);
    if (!opened)
        return opened.error();
    OpenedInside& entry = opened.value();
    if (entry.info.kind != EntryKind::kFolder)
        return WinError(
            entry.info.kind == EntryKind::kSymlink ? ERROR_CANT_RESOLVE_FILENAME : ERROR_DIRECTORY,
            Msg::kCannotOpenFolder, Shown(entry.inside.shown));
    return open_files_.Add(OpenFile{entry.Take(), entry.inside.shown, false});
}

Result<std::vector<DirEntry>> Win32TreeOps::ListFolderAt(int folder) {
    const OpenFile* open_folder = open_files_.Find(folder);
    if (!open_folder)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotReadFolder, ShownNumber(folder));
    std::vector<Found> found;
    if (const DWORD error = ListRelative(open_folder->handle, L"", &found))
        return WinError(error, Msg::kCannotReadFolder, Shown(open_folder->path));
    std::vector<DirEntry> entries;
    for (const Found& item : found) {
        Result<std::string> name = ProgramPathOf(item.name, Coding());
        if (!name)
            return name.error();
        Result<Inside> inside = Resolve(folder, name.value(), Msg::kCannotRead);
        if (!inside)
            return inside.error();
        Result<void*> opened = OpenInside(inside.value(), RelativeOpen{}, Msg::kCannotRead);
        if (!opened)
            return opened.error();
        Handle handle(opened.value());
        Result<DirEntry> entry =
            ListedEntry(std::move(name).value(), handle.value, inside->shown, item.attributes);
        if (!entry)
            return entry.error();
        entries.push_back(std::move(entry).value());
    }
    SortByName(entries);
    return entries;
}

Result<EntryInfo> Win32TreeOps::InspectAt(int folder, const std::string& name) {
    Result<OpenedInside> opened = OpenAndInspect(folder, name, RelativeOpen{}, Msg::kCannotInspect);
    if (!opened)
        return opened.error();
    return opened.value().info;
}

Result<int> Win32TreeOps::GetAttrAt(int folder, const std::string& name) {
    Result<Inside> inside = Resolve(folder, name, Msg::kCannotReadAttributes);
    if (!inside)
        return inside.error();
    std::vector<Found> listed;
    if (const DWORD error = ListRelative(inside->folder, inside->name, &listed))
        return WinError(error, Msg::kCannotReadAttributes, Shown(inside->shown));
    if (listed.empty())
        return WinError(ERROR_FILE_NOT_FOUND, Msg::kCannotReadAttributes,
                        Shown(inside->shown));
    return StoredAttributes(listed.front().attributes);
}

Status Win32TreeOps::SetAttrAt(int folder, const std::string& name, int attributes,
                                  const EntryInfo* expected) {
    const Msg action = Msg::kCannotChangeAttributes;
    Result<OpenedInside> opened = OpenAndInspect(
        folder, name, RelativeOpen{FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES}, action);
    if (!opened)
        return opened.error();
    const OpenedInside& entry = opened.value();
    if (entry.info.kind == EntryKind::kSymlink || (expected && !SameEntry(entry.info, *expected)))
        return WinError(ERROR_FILE_INVALID, action, Shown(entry.inside.shown));
    return SetAttributesOf(entry.handle, attributes, entry.info.kind == EntryKind::kFolder,
                           entry.inside.shown);
}

Result<int> Win32TreeOps::GetAttrOpen(int handle, const std::string&) {
    const OpenFile* open_file = open_files_.Find(handle);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotReadAttributes, ShownNumber(handle));
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(open_file->handle, &information))
        return LastWinError(Msg::kCannotReadAttributes, open_file->path);
    return StoredAttributes(information.dwFileAttributes);
}

Status Win32TreeOps::SetAttributesOf(void* handle, int attributes, bool folder,
                                        const std::string& shown) const {
    FILE_BASIC_INFO basic{};  // zero times: they stay as they are
    const DWORD settable =
        static_cast<DWORD>(attributes & (kReadOnly | kHidden | kSystem | kArchive));
    basic.FileAttributes = settable | (folder ? FILE_ATTRIBUTE_DIRECTORY
                                              : (settable == 0 ? FILE_ATTRIBUTE_NORMAL : 0));
    if (!SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic))
        return LastWinError(Msg::kCannotChangeAttributes, Shown(shown));
    return Status::Ok();
}

Status Win32TreeOps::SetAttrOpen(int handle, int attributes) {
    const OpenFile* open_file = open_files_.Find(handle);
    if (!open_file)
        return WinError(ERROR_INVALID_HANDLE, Msg::kCannotChangeAttributes, ShownNumber(handle));
    BY_HANDLE_FILE_INFORMATION information;
    const bool folder = GetFileInformationByHandle(open_file->handle, &information) &&
                        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // A handle opened without the right to change attributes (a container
    // being read): through a second handle on the same file, never its name.
    Handle changing(ReOpenFile(open_file->handle, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                               kShareAll, folder ? FILE_FLAG_BACKUP_SEMANTICS : 0));
    return SetAttributesOf(changing.ok() ? changing.value : open_file->handle, attributes, folder,
                           open_file->path);
}

Result<int> Win32TreeOps::OpenAt(int folder, const std::string& name, OpenMode mode) {
    const bool reading = mode == OpenMode::kRead;
    const RelativeOpen how{
        reading ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
        reading ? ULONG{FILE_SHARE_READ} : ULONG{FILE_SHARE_READ | FILE_SHARE_DELETE},
        Creates(mode) ? kNtCreate : kNtOpen, kNtFileOnly};
    Result<OpenedInside> opened = OpenAndInspect(folder, name, how, Msg::kCannotOpen);
    if (!opened)
        return opened.error();
    OpenedInside& entry = opened.value();
    if (entry.info.kind != EntryKind::kFile)
        return WinError(ERROR_CANT_ACCESS_FILE, Msg::kCannotOpen, Shown(entry.inside.shown));
    return open_files_.Add(OpenFile{entry.Take(), entry.inside.shown, !reading});
}

Status Win32TreeOps::MakeFolderAt(int folder, const std::string& name) {
    Result<Inside> inside = Resolve(folder, name, Msg::kCannotMakeFolder);
    if (!inside)
        return inside.error();
    Result<void*> made = OpenInside(
        inside.value(), RelativeOpen{FILE_LIST_DIRECTORY, kShareAll, kNtCreate, kNtFolderOnly},
        Msg::kCannotMakeFolder);
    if (!made)
        return made.error();
    CloseHandle(made.value());
    return Status::Ok();
}

// Opens the entry for deletion, asks `keep` whether what the name holds now
// must be left alone (true), and otherwise deletes it through that same
// handle, so the entry checked is the entry deleted.
Result<bool> Win32TreeOps::DeleteInside(int folder, const std::string& name, bool is_folder,
                                           const std::function<bool(const EntryInfo&)>& keep) {
    const Msg action = is_folder ? Msg::kCannotRemoveFolder : Msg::kCannotDeleteFile;
    Result<OpenedInside> opened =
        OpenAndInspect(folder, name,
                       RelativeOpen{DELETE | FILE_READ_ATTRIBUTES, kShareAll, kNtOpen,
                                    is_folder ? kNtFolderOnly : kNtFileOnly},
                       action);
    if (!opened)
        return opened.error();
    const OpenedInside& entry = opened.value();
    if (keep(entry.info))
        return false;
    if (!RecordedPathStillLeadsTo(entry.handle))
        return WinError(ERROR_CANT_RESOLVE_FILENAME, action, Shown(entry.inside.shown));
    if (const DWORD error = DeleteOpen(entry.handle))
        return WinError(error, action, Shown(entry.inside.shown));
    unflushed_.erase(entry.inside.shown);
    return true;
}

Result<bool> Win32TreeOps::DeleteFileAt(int folder, const std::string& name,
                                           const EntryInfo& expected) {
    return DeleteInside(folder, name, false,
                        [&](const EntryInfo& now) { return !SameUntouchedFile(now, expected); });
}

Result<bool> Win32TreeOps::RemoveFolderAt(int folder, const std::string& name,
                                             const EntryInfo& expected) {
    return DeleteInside(folder, name, true,
                        [&](const EntryInfo& now) { return !SameFolder(now, expected); });
}

Status Win32TreeOps::RenameAt(int folder, const std::string& from, const std::string& to) {
    Result<Inside> source = Resolve(folder, from, Msg::kCannotRename);
    if (!source)
        return source.error();
    Result<Inside> target = Resolve(folder, to, Msg::kCannotRename);
    if (!target)
        return target.error();
    Result<void*> opened =
        OpenInside(source.value(), RelativeOpen{DELETE | FILE_READ_ATTRIBUTES}, Msg::kCannotRename);
    if (!opened)
        return opened.error();
    Handle handle(opened.value());
    if (!RecordedPathStillLeadsTo(handle.value) || !RecordedPathStillLeadsTo(target->folder))
        return WinError(ERROR_CANT_RESOLVE_FILENAME, Msg::kCannotRename,
                        Shown(source->shown));
    if (const DWORD error = RenameOpen(handle.value, target->folder, target->name))
        return WinError(error, Msg::kCannotRename, Shown(source->shown));
    if (unflushed_.erase(source->shown) != 0)
        unflushed_.insert(target->shown);
    return Status::Ok();
}

}  // namespace velmora
