#include "shell/win32/open_in_shell.h"

#include <windows.h>

#include <shellapi.h>

#include "base/cp1252.h"

namespace velmora {

namespace {

bool OpenWide(const Result<std::wstring>& wide) {
    if (!wide)
        return false;
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", wide->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace

bool OpenInShell(const std::string& target) {
    return OpenWide(Cp1252ToUtf16(target));
}

bool OpenNativeInShell(const std::string& utf8_target) {
    return OpenWide(Utf8ToUtf16(utf8_target));
}

bool OpenWith(const std::string& program, const std::string& document) {
    Result<std::wstring> wide_program = Cp1252ToUtf16(program);
    Result<std::wstring> wide_document = Cp1252ToUtf16(document);
    if (!wide_program || !wide_document)
        return false;
    const std::wstring quoted = L"\"" + wide_document.value() + L"\"";
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", wide_program->c_str(), quoted.c_str(),
                                           nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace velmora
