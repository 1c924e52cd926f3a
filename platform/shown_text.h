#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The text with every control byte (codes below 32, and 127) written as
// \xNN, so that a name shown to the user cannot move the cursor, clear the
// terminal or cut the message short at a NUL. keep_newlines leaves "\n"
// alone, for whole messages whose lines are the program's own.
std::string EscapeControlBytes(std::string_view text, bool keep_newlines = false);

}  // namespace velmora
