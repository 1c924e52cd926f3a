#include "shell/win32/open_in_shell.h"

#include <windows.h>

#include <shellapi.h>

#include "base/cp1252.h"

namespace velmora {

bool OpenInShell(const std::string& target) {
    Result<std::wstring> wide = Cp1252ToUtf16(target);
    if (!wide)
        return false;
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", wide->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace velmora
