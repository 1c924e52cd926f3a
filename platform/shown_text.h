#pragma once

#include <string>
#include <string_view>

#include "base/result.h"

namespace velmora {

// The text with every control byte (codes below 32, and 127) written as
// \xNN, so that a name shown to the user cannot move the cursor, clear the
// terminal or cut the message short at a NUL. keep_newlines leaves "\n"
// alone, for whole messages whose lines are the program's own.
std::string EscapeControlBytes(std::string_view text, bool keep_newlines = false);

// The refusal of a name that Windows-1252 cannot hold, shown as `shown`.
Error UnrepresentableName(const std::string& shown, int code);

}  // namespace velmora
