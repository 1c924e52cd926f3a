#include "ui/win32/win32_text.h"

#include "platform/win32/cp1252_utf16.h"

namespace velmora {

std::wstring WidenProgramText(const std::string& cp1252) {
    Result<std::wstring> wide = Cp1252ToUtf16(cp1252);
    if (wide)
        return wide.value();
    // One of the few codes Windows-1252 leaves undefined: shown as "?".
    std::wstring shown;
    for (const char c : cp1252) {
        Result<std::wstring> one = Cp1252ToUtf16(std::string(1, c));
        shown += one ? one.value() : std::wstring(L"?");
    }
    return shown;
}

std::optional<std::string> NarrowToProgramText(const std::wstring& text) {
    Result<std::string> narrow = Utf16ToCp1252(text);
    if (!narrow)
        return std::nullopt;
    return narrow.value();
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace velmora
