#include "platform/win32/win32_tree_ops.h"

#include <errno.h>
#include <windows.h>

#include "base/cp1252.h"
#include "base/messages.h"
#include "base/name_text.h"
#include "base/utf8.h"

namespace velmora {
namespace {

const std::wstring kLongPrefix = L"\\\\?\\";
const std::wstring kLongUncPrefix = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

Result<std::wstring> WideOf(std::string_view program_text, NameCoding coding) {
    return coding == NameCoding::kUtf8 ? Utf8ToUtf16(program_text) : Cp1252ToUtf16(program_text);
}

Result<std::wstring> LongWidePath(const std::string& program_path, NameCoding coding) {
    Result<std::wstring> wide = WideOf(program_path, coding);
    if (!wide)
        return coding == NameCoding::kUtf8
                   ? Error{Text(Msg::kNameNotUtf8, {ShownUtf8(program_path)}), EILSEQ}
                   : UnrepresentableName(program_path, 0);
    if (StartsWith(wide.value(), kLongPrefix))
        return wide;
    const DWORD needed = GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return LastWinError(Msg::kCannotResolvePath, program_path);
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide->c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return LastWinError(Msg::kCannotResolvePath, program_path);
    full.resize(length);
    if (StartsWith(full, L"\\\\"))
        return kLongUncPrefix + full.substr(2);
    return kLongPrefix + full;
}

Result<std::string> ProgramPathOf(const std::wstring& wide_path, NameCoding coding) {
    std::wstring path = wide_path;
    if (StartsWith(path, kLongUncPrefix))
        path = L"\\\\" + path.substr(kLongUncPrefix.size());
    else if (StartsWith(path, kLongPrefix))
        path = path.substr(kLongPrefix.size());
    if (coding == NameCoding::kUtf8) {
        std::string utf8 = Utf16ToUtf8(path);
        Result<std::wstring> back = Utf8ToUtf16(utf8);
        if (!back || back.value() != path)
            return Error{Text(Msg::kNameNotUtf8, {Cp1252ForMessage(path)}), EILSEQ};
        return utf8;
    }
    Result<std::string> cp = Utf16ToCp1252(path);
    if (!cp)
        return UnrepresentableName(Cp1252ForMessage(path), 0);
    return cp;
}

}  // namespace velmora
