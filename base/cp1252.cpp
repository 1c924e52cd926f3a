#include "base/cp1252.h"

#include <array>
#include <cerrno>

#include "base/messages.h"
#include "base/utf8.h"

namespace velmora {
namespace {

constexpr char32_t kNoCharacter = 0xFFFFFFFF;

// 0x80..0x9F, where Windows-1252 differs from Latin-1; 0 marks an undefined
// code. Every other code is the Unicode character of the same number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The character of a code; kNoCharacter for an undefined one.
char32_t CharacterOf(unsigned char code) {
    if (code < 0x80 || code >= 0xA0)
        return code;
    const char16_t c = kHighControls[code - 0x80];
    return c == 0 ? kNoCharacter : c;
}

// The code of a character; -1 when Windows-1252 has none.
int CodeOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] != 0 && kHighControls[i] == c)
            return static_cast<int>(0x80 + i);
    return -1;
}

// The character that starts at text[at], moving `at` past it; kNoCharacter,
// with `at` unmoved, when the UTF-8 there is malformed.
char32_t NextUtf8(std::string_view text, std::size_t& at) {
    char32_t c = 0;
    const std::size_t length = Utf8CharacterAt(text.substr(at), c);
    if (length == 0)
        return kNoCharacter;
    at += length;
    return c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

Error Unrepresentable() {
    return Error{Text(Msg::kUnrepresentableCharacters), EILSEQ};
}

}  // namespace

bool IsUndefinedCp1252(unsigned char code) {
    return CharacterOf(code) == kNoCharacter;
}

Result<std::string> Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char byte : text) {
        const char32_t c = CharacterOf(static_cast<unsigned char>(byte));
        if (c == kNoCharacter)
            return Unrepresentable();
        AppendUtf8(out, c);
    }
    return out;
}

Result<std::string> Utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = NextUtf8(text, at);
        const int code = c == kNoCharacter ? -1 : CodeOf(c);
        if (code < 0)
            return Unrepresentable();
        out.push_back(static_cast<char>(code));
    }
    return out;
}

Result<std::wstring> Cp1252ToUtf16(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (const char byte : text) {
        const char32_t c = CharacterOf(static_cast<unsigned char>(byte));
        if (c == kNoCharacter)
            return Unrepresentable();
        out.push_back(static_cast<wchar_t>(c));
    }
    return out;
}

Result<std::string> Utf16ToCp1252(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (const wchar_t unit : text) {
        const int code = CodeOf(static_cast<char32_t>(unit));
        if (code < 0)
            return Unrepresentable();
        out.push_back(static_cast<char>(code));
    }
    return out;
}

Result<std::wstring> Utf8ToUtf16(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = NextUtf8(text, at);
        if (c == kNoCharacter)
            return Unrepresentable();
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(c));
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char16_t>(text[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            const char32_t low = static_cast<char16_t>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;  // a lone surrogate
        AppendUtf8(out, c);
    }
    return out;
}

namespace {

// The character of a program text at text[at], moving `at` past it: a
// marked character whole, any other code as Windows-1252 has it ("?" when
// it has none).
char32_t ShownCharacterAt(std::string_view text, std::size_t& at) {
    if (text[at] == kMarkedCharacter && at + 1 < text.size()) {
        std::size_t next = at + 1;
        const char32_t marked = NextUtf8(text, next);
        if (marked != kNoCharacter && marked >= 0x100) {
            at = next;
            return marked;
        }
    }
    const char32_t c = CharacterOf(static_cast<unsigned char>(text[at++]));
    return c == kNoCharacter ? U'?' : c;
}

}  // namespace

std::string DisplayUtf8(std::string_view cp1252_text) {
    std::string out;
    out.reserve(cp1252_text.size());
    for (std::size_t at = 0; at < cp1252_text.size();)
        AppendUtf8(out, ShownCharacterAt(cp1252_text, at));
    return out;
}

std::wstring DisplayUtf16(std::string_view cp1252_text) {
    std::wstring out;
    out.reserve(cp1252_text.size());
    for (std::size_t at = 0; at < cp1252_text.size();) {
        const char32_t c = ShownCharacterAt(cp1252_text, at);
        if (c >= 0x10000) {
            out.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(c));
        }
    }
    return out;
}

std::string DisplayCp1252(std::string_view utf8_text) {
    std::string out;
    out.reserve(utf8_text.size());
    for (std::size_t at = 0; at < utf8_text.size();) {
        const char32_t c = NextUtf8(utf8_text, at);
        if (c == kNoCharacter)
            return "?";
        const int code = CodeOf(c);
        out.push_back(code < 0 ? '?' : static_cast<char>(code));
    }
    return out;
}

std::string Cp1252ForMessage(std::wstring_view utf16_text) {
    std::string out;
    out.reserve(utf16_text.size());
    for (const wchar_t unit : utf16_text) {
        const int code = CodeOf(static_cast<char32_t>(unit));
        out.push_back(code < 0 ? '?' : static_cast<char>(code));
    }
    return out;
}

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
