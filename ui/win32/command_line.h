#pragma once

#include <string_view>

namespace velmora {

// Everything after the program's own name in the command line Windows gives
// (GetCommandLineW): the name, quoted or not, and the blanks after it are
// skipped; the rest is returned exactly, quotes and blanks included.
std::wstring_view ArgumentText(std::wstring_view command_line);

}  // namespace velmora
