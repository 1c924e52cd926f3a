#pragma once

#include <string_view>

namespace velmora {

// The order of every listing: names compared by their Windows-1252 upper
// case, byte by byte; names equal that way are ordered by their raw bytes.
bool NameLess(std::string_view a, std::string_view b);

}  // namespace velmora
