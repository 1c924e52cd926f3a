#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The program's Windows-1252 texts as Windows shows them, and typed text
// taken back, through the same table as file names (never the system's ANSI
// code page). Typed text with a character Windows-1252 cannot hold gives
// nothing.
std::wstring WidenProgramText(const std::string& cp1252);
std::optional<std::string> NarrowToProgramText(const std::wstring& text);

// The text of a window or control.
std::wstring WindowText(HWND window);

// Everything after the program's own name in the command line Windows gives
// (GetCommandLineW): the name, quoted or not, and the blanks after it are
// skipped; the rest is returned exactly, quotes and blanks included.
std::wstring_view ArgumentText(std::wstring_view command_line);

}  // namespace velmora
