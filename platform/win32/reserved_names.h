#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Why Windows cannot create an entry of this name, as the end of a sentence
// naming what it refuses ("" when it can): a name ending in a dot or a
// space, a character it forbids (< > : " / \ | ? * and the control
// characters), or a device's name, alone or before any extension and in any
// case: CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-COM9 and LPT0-LPT9, the
// last two also with a superscript 1, 2 or 3 for the digit.
std::string WhyWindowsRefusesName(std::wstring_view name);

}  // namespace velmora
