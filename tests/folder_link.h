#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace velmora {

// Whether the entry is a link (Windows: a reparse point), not following it.
inline bool IsLink(const std::filesystem::path& path) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(path.wstring().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
#else
    return std::filesystem::is_symlink(std::filesystem::symlink_status(path));
#endif
}

#ifdef _WIN32
// Makes a symbolic link to a folder, or removes an entry (a link or a whole
// tree, never following a link): under Wine a Unix one, through the
// system's own ln and rm (Wine's CreateSymbolicLinkW makes nothing, a Unix
// program it starts cannot be waited for, and the C++ library takes a Unix
// link for the folder it leads to); on Windows where the account may make
// them.
inline bool FolderLink(const std::filesystem::path& target, const std::filesystem::path& link,
                       bool make) {
    namespace fs = std::filesystem;
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unix_name = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (!unix_name)
        return make ? CreateSymbolicLinkW(link.wstring().c_str(), target.wstring().c_str(),
                                          SYMBOLIC_LINK_FLAG_DIRECTORY | 2) &&
                          fs::is_symlink(link)
                    : (fs::remove_all(link), true);
    auto unix_form = [&](const fs::path& path) {
        char* const name = unix_name(path.wstring().c_str());
        const std::string kept = name ? name : "";
        HeapFree(GetProcessHeap(), 0, name);
        return "\"" + kept + "\"";
    };
    const std::string command = make ? "ln -s " + unix_form(target) + " " +
                                           unix_form(link.parent_path()) + "/" +
                                           link.filename().string()
                                     : "rm -rf " + unix_form(link);
    std::wstring wide(command.begin(), command.end());
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(CreateProcessW(make ? L"Z:\\bin\\ln" : L"Z:\\bin\\rm", wide.data(), nullptr,
                               nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    bool done = false;
    for (int tries = 0; !done && tries < 100; ++tries, Sleep(50))
        done = (GetFileAttributesW(link.wstring().c_str()) != INVALID_FILE_ATTRIBUTES) == make;
    EXPECT_TRUE(done) << command;  // under Wine a link can always be made
    return done;
}

#else
// Makes a symbolic link to a folder, or removes an entry (a link or a whole
// tree, never following a link).
inline bool FolderLink(const std::filesystem::path& target, const std::filesystem::path& link,
                       bool make) {
    std::error_code failed;
    if (make)
        std::filesystem::create_directory_symlink(target, link, failed);
    else
        std::filesystem::remove_all(link, failed);
    EXPECT_FALSE(failed) << link;
    return !failed;
}
#endif

}  // namespace velmora
