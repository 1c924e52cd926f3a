#pragma once

#include <string>
#include <string_view>

#include "base/result.h"

namespace velmora {

// Windows-1252 <-> UTF-16 by the code page's own table, whatever the
// system's ANSI code page is, so names and passwords mean the same on every
// Windows machine. The five codes Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) and characters outside it are refused.
Result<std::wstring> Cp1252ToUtf16(std::string_view text);
Result<std::string> Utf16ToCp1252(std::wstring_view text);

// For a message: every character Windows-1252 lacks becomes "?".
std::string Cp1252ForMessage(std::wstring_view text);

// UTF-8 <-> UTF-16; malformed input is refused.
Result<std::wstring> Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::wstring_view text);

}  // namespace velmora
