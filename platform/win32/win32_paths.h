#pragma once

#include <string>

#include "base/result.h"
#include "platform/name_coding.h"

namespace velmora {

// A program path ("\" between components, in the program's name coding) as
// the wide path the file system is called with: made absolute and
// normalised, then given the "\\?\" prefix so paths longer than MAX_PATH
// work.
Result<std::wstring> LongWidePath(const std::string& program_path, NameCoding coding);

// A wide path from the system as a program path, without any "\\?\"
// prefix. A name that cannot be written exactly in the coding is refused
// (in UTF-8: an unpaired surrogate, which Windows allows in names).
Result<std::string> ProgramPathOf(const std::wstring& wide_path, NameCoding coding);

// The wide form of a program text in the coding.
Result<std::wstring> WideOf(std::string_view program_text, NameCoding coding);

}  // namespace velmora
