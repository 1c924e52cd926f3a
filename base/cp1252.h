#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/result.h"

// Windows-1252 is the program's own text on every system: names, paths,
// passwords and messages are held in it. These are its conversions to and
// from the systems' encodings, by the code page's own table (the same on
// every machine, whatever its locale or ANSI code page). UTF-16 texts are
// wide strings of UTF-16 units.
namespace velmora {

// The five codes Windows-1252 gives no character: 0x81, 0x8D, 0x8F, 0x90
// and 0x9D.
bool IsUndefinedCp1252(unsigned char code);

// A text with a code that has no form in the other encoding (an undefined
// code, a character outside Windows-1252, malformed UTF-8) is refused.
Result<std::string> Cp1252ToUtf8(std::string_view text);
Result<std::string> Utf8ToCp1252(std::string_view text);
Result<std::wstring> Cp1252ToUtf16(std::string_view text);
Result<std::string> Utf16ToCp1252(std::wstring_view text);

// UTF-8 <-> UTF-16. Malformed UTF-8 (overlong forms, surrogates, codes
// above U+10FFFF, cut sequences) is refused; a lone surrogate in UTF-16
// becomes U+FFFD.
Result<std::wstring> Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::wstring_view text);

// In a program text, 0x81 (a code Windows-1252 leaves undefined, which no
// name it writes holds) followed by the UTF-8 form of one character from
// U+0100 up stands for that character: how a message names a file whose
// name Windows-1252 cannot write (ShownUtf8). The shown forms below give the
// character back.
inline constexpr char kMarkedCharacter = '\x81';

// For showing a program text: never fails; an undefined code becomes "?".
std::string DisplayUtf8(std::string_view cp1252_text);
std::wstring DisplayUtf16(std::string_view cp1252_text);

// For putting a system's text into a program message: never fails. A
// character Windows-1252 lacks becomes "?" (from UTF-16, one per unit);
// malformed UTF-8 makes the whole text "?".
std::string DisplayCp1252(std::string_view utf8_text);
std::string Cp1252ForMessage(std::wstring_view utf16_text);

// Upper case of one Windows-1252 code: a-z, the accented small letters
// (0xE0-0xFE except the division sign 0xF7), and the four letters outside
// that range (s/z with caron, oe ligature, y with diaeresis). Every other
// code, sharp s, micro sign, the ordinal indicators and undefined codes
// included, is returned unchanged.
std::uint8_t UpperCp1252(std::uint8_t code);

// The whole text upper-cased code by code.
std::string ToUpperCp1252(std::string_view text);

}  // namespace velmora
