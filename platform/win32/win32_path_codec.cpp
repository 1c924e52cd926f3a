// How Windows writes and shows the program's paths, and how the paths a
// user gives are taken.
#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "base/cp1252.h"
#include "base/messages.h"
#include "base/utf8.h"
#include "platform/names.h"
#include "platform/win32/win32_tree_ops.h"

namespace velmora {

Result<std::string> Win32PathCodec::NativeForm(const std::string& path) const {
    return NativePath(path, coding_);
}

std::string Win32PathCodec::DisplayPath(const std::string& path) const {
    return coding_ == NameCoding::kUtf8 ? ShownUtf8(path) : path;
}

Result<std::string> Win32PathCodec::CurrentFolder() const {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(needed, L'\0');
    const DWORD length = GetCurrentDirectoryW(needed, folder.data());
    if (length == 0 || length >= needed)
        return LastWinError(Msg::kCannotFindCurrentFolder, ".");
    folder.resize(length);
    return ProgramPathOf(folder, coding_);
}

Result<std::string> Win32PathCodec::ProgramFolder() const {
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

// The argument (UTF-8, as the command line gives it once widened) made
// absolute and normalised, without a trailing separator; a drive's root
// keeps its own.
Result<std::string> Win32PathCodec::FromSystemPath(const std::string& given, Given) {
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

Result<std::size_t> Win32PathCodec::NativePathSize(const std::string& path) const {
    Result<std::wstring> wide = WideOf(path, coding_);
    if (!wide)
        return wide.error();
    return wide->size();
}

std::size_t Win32PathCodec::NativeNameSize(const std::string& name) const {
    Result<std::wstring> wide = WideOf(name, coding_);
    return wide ? wide->size() : std::string::npos;
}

std::string Win32PathCodec::UncreatableName(const std::string& component) const {
    // A name the coding cannot hold is refused where it is converted.
    Result<std::wstring> wide = WideOf(component, coding_);
    return wide ? WhyWindowsRefusesName(wide.value()) : "";
}

}  // namespace velmora
