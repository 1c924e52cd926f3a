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

std::wstring_view ArgumentText(std::wstring_view command_line) {
    std::size_t at = 0;
    if (!command_line.empty() && command_line[0] == L'"') {
        const std::size_t closing = command_line.find(L'"', 1);
        at = closing == std::wstring_view::npos ? command_line.size() : closing + 1;
    } else {
        at = command_line.find_first_of(L" \t");
        if (at == std::wstring_view::npos)
            at = command_line.size();
    }
    while (at < command_line.size() && (command_line[at] == L' ' || command_line[at] == L'\t'))
        ++at;
    return command_line.substr(at);
}

}  // namespace velmora
