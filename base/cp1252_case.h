#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// Upper case of one Windows-1252 code: a-z, the accented small letters
// (0xE0-0xFE except the division sign 0xF7), and the four letters outside
// that range (s/z with caron, oe ligature, y with diaeresis). Every other
// code, sharp s, micro sign, the ordinal indicators and undefined codes
// included, is returned unchanged.
std::uint8_t UpperCp1252(std::uint8_t code);

// The whole text upper-cased code by code.
std::string ToUpperCp1252(std::string_view text);

}  // namespace velmora
