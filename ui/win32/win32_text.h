#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace velmora {

// The program's Windows-1252 texts as Windows shows them, and typed text
// taken back, through the same table as file names (never the system's ANSI
// code page). Typed text with a character Windows-1252 cannot hold gives
// nothing.
std::wstring WidenProgramText(const std::string& cp1252);
std::optional<std::string> NarrowToProgramText(const std::wstring& text);

// The text of a window or control.
std::wstring WindowText(HWND window);

}  // namespace velmora
