#pragma once

#include <string>

#include "base/result.h"

namespace velmora {

// A program path (Windows-1252, "\" between components) as the wide path the
// file system is called with: made absolute and normalised, then given the
// "\\?\" prefix so paths longer than MAX_PATH work.
Result<std::wstring> LongWidePath(const std::string& program_path);

// A wide path from the system as a program path, without any "\\?\" prefix.
Result<std::string> ProgramPathOf(const std::wstring& wide_path);

}  // namespace velmora
