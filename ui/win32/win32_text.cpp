#include "ui/win32/win32_text.h"

#include "base/cp1252.h"

namespace velmora {

std::wstring WidenProgramText(const std::string& cp1252) {
    return DisplayUtf16(cp1252);
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
