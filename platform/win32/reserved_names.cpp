#include "platform/win32/reserved_names.h"

#include "base/cp1252.h"
#include "base/messages.h"

namespace velmora {
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
