#pragma once

#include <string>
#include <vector>

namespace velmora {

// The part of a path after its last "\": the whole text when there is none,
// "" when the path ends in "\".
std::string Nombre(const std::string& Archivito);

// Nuevo[i] = Arrays[i] up to and including its last "\" ("" when it has
// none), for i = 0 .. count - 1.
void recortar(const std::vector<std::string>& Arrays, std::vector<std::string>& Nuevo,
              std::size_t count);

// The text without spaces (code 32) at either end.
std::string TrimSpaces(const std::string& text);

// The folder that holds a path ("" for a bare name).
std::string ParentOf(const std::string& path);

}  // namespace velmora
