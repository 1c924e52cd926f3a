#pragma once

#include <optional>
#include <string>

namespace velmora {

// The program's Windows-1252 texts as Windows shows them, and typed text
// taken back. The conversion uses code page 1252 by number, never the
// system's ANSI code page; a character without a Windows-1252 code gives
// nothing.
std::wstring WidenProgramText(const std::string& cp1252);
std::optional<std::string> NarrowToProgramText(const std::wstring& text);

}  // namespace velmora
