#include "ui/win32/command_line.h"

namespace velmora {

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
