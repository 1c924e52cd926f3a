#pragma once

#include <string>
#include <string_view>

#include "base/result.h"

// Names as text: what a name kept in a container may hold, and how a name is
// shown in a message.
namespace velmora {

// Below 32, or 127.
bool IsControlCode(unsigned char code);

// A code a stored name may hold ("\" separating its components): anything
// but a control code, ":", "/" and the codes Windows-1252 leaves undefined.
bool IsStorableNameCode(unsigned char code);

// The text with every control byte (codes below 32, and 127) written as
// \xNN, so that a name shown to the user cannot move the cursor, clear the
// terminal or cut the message short at a NUL. keep_newlines leaves "\n"
// alone, for whole messages whose lines are the program's own.
std::string EscapeControlBytes(std::string_view text, bool keep_newlines = false);

// A stored name for a message: control bytes escaped.
std::string ShownName(std::string_view name);

// The refusal of a name that Windows-1252 cannot hold, shown as `shown`.
Error UnrepresentableName(const std::string& shown, int code);

}  // namespace velmora
