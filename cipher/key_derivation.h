#pragma once

#include <string>

#include "base/result.h"

namespace velmora {

inline constexpr std::size_t kKeyLength = 15;

// Turns a typed password (Windows-1252 codes, at least one character) into the
// 15-character key: upper-cased, repeated end to end to 15 characters, and
// each character raised by its 1-based position. A password that would need a
// code above 255 somewhere (only the division sign at positions 9 to 15 can)
// is refused rather than wrapped.
Result<std::string> DeriveKey(const std::string& password);

}  // namespace velmora
