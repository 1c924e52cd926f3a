#include "base/utf8.h"

#include <algorithm>
#include <cstdint>
#include <utf8proc.h>
#include <vector>

#include "base/cp1252.h"
#include "base/messages.h"

namespace velmora {
namespace {

// The invisible characters that reorder or hide the text that follows
// (bidirectional controls, zero widths, line and paragraph separators): a
// name must not disguise the message it is shown in.
bool Reorders(char32_t code) {
    return (code >= 0x200B && code <= 0x200F) || (code >= 0x2028 && code <= 0x202E) ||
           (code >= 0x2066 && code <= 0x2069) || code == 0xFEFF;
}

}  // namespace

std::size_t Utf8CharacterAt(std::string_view text, char32_t& code) {
    if (text.empty())
        return 0;
    utf8proc_int32_t read = 0;
    const utf8proc_ssize_t length =
        utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                         static_cast<utf8proc_ssize_t>(std::min<std::size_t>(text.size(), 4)), &read);
    if (length <= 0)
        return 0;
    code = static_cast<char32_t>(read);
    return static_cast<std::size_t>(length);
}

bool IsValidUtf8(std::string_view text) {
    while (!text.empty()) {
        char32_t code;
        const std::size_t length = Utf8CharacterAt(text, code);
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
        std::size_t length = Utf8CharacterAt(path, code);
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
        std::size_t length = Utf8CharacterAt(text, code);
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
