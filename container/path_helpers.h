#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The part of a path after its last "\": the whole text when there is none,
// "" when the path ends in "\".
std::string Nombre(const std::string& Archivito);

// The folder part of one path: up to and including its last "\" ("" when
// it has none), as a view into it. A folder entry ("...\") is its own.
std::string_view recortar(std::string_view path);

// The text without spaces (code 32) at either end.
std::string TrimSpaces(const std::string& text);
std::string_view TrimmedSpaces(std::string_view text);

// The folder that holds a path ("" for a bare name).
std::string ParentOf(const std::string& path);

}  // namespace velmora
