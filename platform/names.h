#pragma once

#include <string>
#include <string_view>

#include "base/result.h"

namespace velmora {

// How the program's paths write names. Windows-1252 is the program's own
// text, the legacy kind's names and what the windows show; UTF-8 carries
// every name exactly as the system gives it, whatever its language, as the
// sealed kind keeps them.
enum class NameCoding { kWindows1252, kUtf8 };

// Converts between the program's paths (Windows-1252, or UTF-8 as it is,
// with "\" between components) and the file system's own (UTF-8, "/"). A
// native name that holds "\", or has no form in the program's coding, is
// refused.
//
// Only names stored in a container must have a Windows-1252 form. A folder
// outside the tree (the encoded folder's parent, the container's folder)
// whose native path has none travels in program paths as an anchor: one
// leading component made of the byte 0x81, which Windows-1252 leaves
// undefined (so no name in a tree or a container can hold it), followed by
// the native path with every byte outside printable ASCII, "\" and "%"
// written as %XX. NativePath turns an anchor back into the native path;
// ProgramPath never makes one.
Result<std::string> NativePath(std::string_view program_path,
                               NameCoding coding);
Result<std::string> ProgramPath(std::string_view native_path,
                                NameCoding coding);

// The program's path of a native folder: its plain form when it has one,
// otherwise its anchor.
std::string OutsidePath(std::string_view native_folder,
                        NameCoding coding);

// The number of characters of a program path as the system shows it: an
// anchor counts one per character of its native path.
std::size_t PathCharacters(std::string_view program_path,
                           NameCoding coding);

}  // namespace velmora
