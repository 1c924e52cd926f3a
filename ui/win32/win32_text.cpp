#include "ui/win32/win32_text.h"

#include <windows.h>

namespace velmora {

namespace {
constexpr UINT kWindows1252 = 1252;
}

std::wstring WidenProgramText(const std::string& cp1252) {
    if (cp1252.empty())
        return {};
    const int size = static_cast<int>(cp1252.size());
    const int length = MultiByteToWideChar(kWindows1252, 0, cp1252.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(kWindows1252, 0, cp1252.data(), size, wide.data(), length);
    return wide;
}

std::optional<std::string> NarrowToProgramText(const std::wstring& text) {
    if (text.empty())
        return std::string();
    const int size = static_cast<int>(text.size());
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(kWindows1252, WC_NO_BEST_FIT_CHARS, text.data(), size,
                                           nullptr, 0, nullptr, &lossy);
    if (lossy || length <= 0)
        return std::nullopt;
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(kWindows1252, WC_NO_BEST_FIT_CHARS, text.data(), size, narrow.data(),
                        length, nullptr, &lossy);
    if (lossy || WidenProgramText(narrow) != text)
        return std::nullopt;
    return narrow;
}

}  // namespace velmora
