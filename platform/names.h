#pragma once

#include <string>
#include <string_view>

#include "base/result.h"

namespace velmora {

// Windows-1252 <-> UTF-8. A text that has no form in the other encoding is
// an error (the caller names the path).
Result<std::string> Cp1252ToUtf8(std::string_view text);
Result<std::string> Utf8ToCp1252(std::string_view text);

// For showing a program text to the user: never fails; a code with no form
// becomes "?".
std::string DisplayUtf8(std::string_view cp1252_text);

// Converts between the program's paths (Windows-1252, "\" between
// components) and the file system's own (UTF-8, "/"). A native name that
// holds "\" or has no Windows-1252 form is refused.
Result<std::string> NativePath(std::string_view program_path);
Result<std::string> ProgramPath(std::string_view native_path);

}  // namespace velmora
