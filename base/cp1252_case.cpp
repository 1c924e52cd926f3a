#include "base/cp1252_case.h"

namespace velmora {

std::uint8_t UpperCp1252(std::uint8_t code) {
    if (code >= 'a' && code <= 'z')
        return code - 0x20;
    if (code >= 0xE0 && code <= 0xFE && code != 0xF7)
        return code - 0x20;
    switch (code) {
        case 0x9A:
            return 0x8A;  // s caron
        case 0x9C:
            return 0x8C;  // oe ligature
        case 0x9E:
            return 0x8E;  // z caron
        case 0xFF:
            return 0x9F;  // y diaeresis
        default:
            return code;
    }
}

std::string ToUpperCp1252(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(UpperCp1252(static_cast<std::uint8_t>(c)));
    return upper;
}

}  // namespace velmora
