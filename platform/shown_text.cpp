#include "platform/shown_text.h"

namespace velmora {

std::string EscapeControlBytes(std::string_view text, bool keep_newlines) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if ((code >= 32 && code != 127) || (keep_newlines && c == '\n')) {
            shown.push_back(c);
            continue;
        }
        shown += "\\x";
        shown.push_back(kHex[code >> 4]);
        shown.push_back(kHex[code & 15]);
    }
    return shown;
}

Error UnrepresentableName(const std::string& shown, int code) {
    return Error{"El nombre \xAB" + shown +
                     "\xBB tiene caracteres que Velmora no puede guardar (fuera de "
                     "Windows-1252).",
                 code};
}

}  // namespace velmora
