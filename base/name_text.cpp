#include "base/name_text.h"

#include "base/cp1252.h"
#include "base/messages.h"

namespace velmora {

bool IsControlCode(unsigned char code) {
    return code < 32 || code == 127;
}

bool IsStorableNameCode(unsigned char code) {
    return !IsControlCode(code) && code != ':' && code != '/' && !IsUndefinedCp1252(code);
}

std::string EscapeControlBytes(std::string_view text, bool keep_newlines) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (!IsControlCode(code) || (keep_newlines && c == '\n')) {
            shown.push_back(c);
            continue;
        }
        shown += "\\x";
        shown.push_back(kHex[code >> 4]);
        shown.push_back(kHex[code & 15]);
    }
    return shown;
}

std::string ShownName(std::string_view name) {
    return EscapeControlBytes(name);
}

Error UnrepresentableName(const std::string& shown, int code) {
    return Error{Text(Msg::kUnrepresentableName, {shown}), code};
}

}  // namespace velmora
