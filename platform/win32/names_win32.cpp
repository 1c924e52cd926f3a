#include <errno.h>

#include <string>

#include "base/cp1252.h"
#include "base/messages.h"
#include "base/name_text.h"
#include "base/utf8.h"
#include "platform/names.h"
#include "platform/win32/win32_tree_ops.h"

// On Windows the native form of a path is UTF-8 with "\" between components
// (what the command line and the console give once widened); the file system
// itself is reached through UTF-16 (see win32_tree_ops.h).
namespace velmora {
namespace {

std::string ForMessage(std::string_view utf8) {
    Result<std::wstring> wide = Utf8ToUtf16(utf8);
    return wide ? Cp1252ForMessage(wide.value()) : std::string("?");
}

}  // namespace

Result<std::string> NativePath(std::string_view program_path, NameCoding coding) {
    if (coding == NameCoding::kUtf8)
        return std::string(program_path);
    return Cp1252ToUtf8(program_path);
}

Result<std::string> ProgramPath(std::string_view native_path, NameCoding coding) {
    if (coding == NameCoding::kUtf8) {
        if (!IsValidUtf8(native_path))
            return Error{Text(Msg::kNameNotUtf8, {ShownUtf8(native_path)}), EILSEQ};
        std::string path(native_path);
        for (char& c : path)
            if (c == '/')
                c = '\\';
        return path;
    }
    Result<std::string> cp = Utf8ToCp1252(native_path);
    if (!cp)
        return UnrepresentableName(ForMessage(native_path), cp.error().code);
    std::string path = std::move(cp.value());
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

namespace {

// The device a name opens, upper case ("" for none). Windows takes the
// part before the first dot, without the spaces that end it.
std::wstring DeviceOf(std::wstring_view name) {
    std::wstring base(name.substr(0, name.find(L'.')));
    while (!base.empty() && base.back() == L' ')
        base.pop_back();
    for (wchar_t& c : base)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (base == device)
            return base;
    const bool port = base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT"));
    const wchar_t digit = port ? base[3] : L'\0';
    if ((digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' ||
        digit == L'\u00B3')
        return base;
    return L"";
}

}  // namespace

std::string WhyWindowsRefusesName(std::wstring_view name) {
    if (name.empty())
        return "";
    if (name.back() == L'.' || name.back() == L' ')
        return Text(Msg::kNameEndsInDotOrSpace);
    for (const wchar_t c : name) {
        if (c < 32)
            return Text(Msg::kControlCharacterWindowsRefuses, {std::to_string(c)});
        if (std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos)
            return Text(Msg::kCharacterWindowsRefuses, {Cp1252ForMessage(std::wstring(1, c))});
    }
    if (const std::wstring device = DeviceOf(name); !device.empty())
        return Text(Msg::kWindowsDeviceName, {Cp1252ForMessage(device)});
    return "";
}

}  // namespace velmora
