// The operations that must hold against a name swapped in the meantime: a
// delete that checks, on the handle it deletes through, that the name is
// still the expected file, and a rename that never replaces; and how the
// paths a user gives are taken.
#include <windows.h>
#undef DeleteFile

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "base/messages.h"
#include "platform/names.h"
#include "platform/win32/win32_entries.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_paths.h"
#include "platform/win32/win_error.h"

namespace velmora {

Result<bool> Win32FileSystem::DeleteFileIfSame(const std::string& path, const EntryInfo& expected) {
    Result<bool> kept = DeleteThroughHandle(path, [&](HANDLE, const EntryInfo& now) {
        return Result<bool>(now.kind != EntryKind::kFile || now.device != expected.device ||
                            now.inode != expected.inode);
    });
    if (!kept)
        return kept.error();
    return !kept.value();
}

Status Win32FileSystem::RenameNew(const std::string& from, const std::string& to) {
    Result<std::wstring> wide_from = LongWidePath(from, coding_);
    if (!wide_from)
        return wide_from.error();
    Result<std::wstring> wide_to = LongWidePath(to, coding_);
    if (!wide_to)
        return wide_to.error();
    // Without MOVEFILE_REPLACE_EXISTING an existing target makes it fail.
    if (!MoveFileExW(wide_from->c_str(), wide_to->c_str(), MOVEFILE_WRITE_THROUGH))
        return LastWinError(Msg::kCannotRename, from);
    return Status::Ok();
}

// The argument (UTF-8, as the command line gives it once widened) made
// absolute and normalised, without a trailing separator; a drive's root
// keeps its own.
Result<std::string> Win32FileSystem::FromSystemPath(const std::string& given, Given) {
    if (given.empty())
        return WinError(ERROR_FILE_NOT_FOUND, Msg::kCannotFind, "");
    const std::u8string utf8(given.begin(), given.end());
    std::error_code failed;
    const std::filesystem::path path =
        std::filesystem::absolute(std::filesystem::path(utf8), failed).lexically_normal();
    if (failed)
        return Error{Text(Msg::kCannotFindPath, {given}), ENOENT};
    const std::u8string absolute = path.u8string();
    std::string native(absolute.begin(), absolute.end());
    const std::size_t root = path.root_path().u8string().size();
    while (native.size() > std::max<std::size_t>(root, 1) &&
           (native.back() == '/' || native.back() == '\\'))
        native.pop_back();
    return ProgramPath(native, coding_);
}

}  // namespace velmora
