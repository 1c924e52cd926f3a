#include "base/utf8.h"

#include <cstdint>
#include <utf8proc.h>
#include <vector>

#include "base/cp1252.h"
#include "base/messages.h"

namespace velmora {
namespace {

// The length of the well-formed character at the start of text and its code
// point, or 0 when the bytes there are not one.
std::size_t CharacterAt(std::string_view text, char32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    // The sequence's length, the lead's bits of the code point, and the
    // least code point that needs that length (shorter forms are overlong).
    std::size_t length = 4;
    code = lead & 0x07;
    char32_t least = 0x10000;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        least = 0x800;
    } else if (lead < 0xF0 || lead > 0xF4) {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

// The invisible characters that reorder or hide the text that follows
// (bidirectional controls, zero widths, line and paragraph separators): a
// name must not disguise the message it is shown in.
bool Reorders(char32_t code) {
    return (code >= 0x200B && code <= 0x200F) || (code >= 0x2028 && code <= 0x202E) ||
           (code >= 0x2066 && code <= 0x2069) || code == 0xFEFF;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    while (!text.empty()) {
        char32_t code;
        const std::size_t length = CharacterAt(text, code);
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

std::string ShownUtf8(std::string_view path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string shown;
    while (!path.empty()) {
        char32_t code = 0;
        std::size_t length = CharacterAt(path, code);
        if (length == 0 || code < 0x20 || code == 0x7F) {
            const auto raw = static_cast<std::uint8_t>(path[0]);
            shown += "\\x";
            shown += kHex[raw >> 4];
            shown += kHex[raw & 15];
            length = 1;
        } else if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            shown += static_cast<char>(code);
        } else if (Result<std::string> own = Utf8ToCp1252(path.substr(0, length)); own) {
            shown += own.value();  // the characters Windows-1252 keeps in 0x80-0x9F
        } else if (code >= 0x100 && !Reorders(code)) {
            shown += kMarkedCharacter;
            shown += path.substr(0, length);
        } else {
            shown += '?';
        }
        path.remove_prefix(length);
    }
    return shown;
}

std::string JsonString(std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    std::string json = "\"";
    const auto escaped = [&](char32_t code) {
        json += "\\u";
        for (int shift = 12; shift >= 0; shift -= 4)
            json += kHex[(code >> shift) & 15];
    };
    while (!text.empty()) {
        char32_t code = 0;
        std::size_t length = CharacterAt(text, code);
        if (length == 0) {
            escaped(0xDC00 + static_cast<std::uint8_t>(text[0]));
            length = 1;
        } else if (code == '"' || code == '\\') {
            json += '\\';
            json += static_cast<char>(code);
        } else if (code == '\n') {
            json += "\\n";
        } else if (code == '\t') {
            json += "\\t";
        } else if (code < 0x20 || (code >= 0x7F && code <= 0x9F) || Reorders(code)) {
            escaped(code);
        } else {
            json += text.substr(0, length);
        }
        text.remove_prefix(length);
    }
    return json + "\"";
}

namespace {

constexpr utf8proc_option_t kNfc =
    static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE);

utf8proc_int32_t SpaceToAsciiSpace(utf8proc_int32_t code, void*) {
    return code > 0x7F && utf8proc_category(code) == UTF8PROC_CATEGORY_ZS ? 0x20 : code;
}

// The text's code points with the spaces mapped, canonically decomposed
// and ordered; room is left after them for the UTF-8 they are encoded to,
// and its terminating NUL. Empty if utf8proc refuses the text.
std::vector<utf8proc_int32_t> Decomposed(std::string_view utf8) {
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(utf8.data());
    const auto size = static_cast<utf8proc_ssize_t>(utf8.size());
    const utf8proc_ssize_t count =
        utf8proc_decompose_custom(bytes, size, nullptr, 0, kNfc, SpaceToAsciiSpace, nullptr);
    if (count <= 0)
        return {};
    std::vector<utf8proc_int32_t> codes(static_cast<std::size_t>(count) + 1);
    if (utf8proc_decompose_custom(bytes, size, codes.data(), count, kNfc, SpaceToAsciiSpace,
                                  nullptr) != count)
        return {};
    return codes;
}

}  // namespace

Result<std::string> OpaqueStringPassword(std::string_view utf8) {
    if (utf8.empty())
        return Error{Text(Msg::kPasswordEmpty)};
    std::vector<utf8proc_int32_t> codes;
    if (IsValidUtf8(utf8))
        codes = Decomposed(utf8);
    if (codes.empty())
        return Error{Text(Msg::kPasswordNotUtf8)};
    const auto count = static_cast<utf8proc_ssize_t>(codes.size() - 1);
    for (utf8proc_ssize_t i = 0; i < count; ++i) {
        const utf8proc_category_t category = utf8proc_category(codes[i]);
        if (category == UTF8PROC_CATEGORY_CC || category == UTF8PROC_CATEGORY_CN)
            return Error{Text(Msg::kPasswordCharactersNotAdmitted)};
    }
    const utf8proc_ssize_t length = utf8proc_reencode(codes.data(), count, kNfc);
    if (length < 0)
        return Error{Text(Msg::kPasswordNotUtf8)};
    return std::string(reinterpret_cast<const char*>(codes.data()),
                       static_cast<std::size_t>(length));
}

}  // namespace velmora
