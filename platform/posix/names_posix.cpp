#include <algorithm>
#include <cerrno>
#include <string>
#include <utility>

#include "base/cp1252.h"
#include "base/messages.h"
#include "base/name_text.h"
#include "base/utf8.h"
#include "platform/names.h"

namespace velmora {
namespace {

constexpr char kAnchorMark = '\x81';

bool IsAnchored(std::string_view program_path) {
    return !program_path.empty() && program_path.front() == kAnchorMark;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The native folder an anchor's text (after its mark) stands for.
std::string AnchorFolder(std::string_view text) {
    std::string native;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            native.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 2;
        } else {
            native.push_back(text[i]);
        }
    }
    return native;
}

// Characters, not bytes, of a UTF-8 text: every byte but the continuation
// bytes.
std::size_t Utf8Characters(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

Result<std::string> CheckedUtf8(std::string_view text) {
    if (!IsValidUtf8(text))
        return Error{"", EILSEQ};
    return std::string(text);
}

}  // namespace

std::string OutsidePath(std::string_view native_folder, NameCoding coding) {
    if (Result<std::string> plain = ProgramPath(native_folder, coding))
        return plain.value();
    static const char kHex[] = "0123456789ABCDEF";
    std::string anchor(1, kAnchorMark);
    for (const char c : native_folder) {
        const auto code = static_cast<unsigned char>(c);
        if (code > 32 && code < 127 && c != '\\' && c != '%') {
            anchor.push_back(c);
        } else {
            anchor.push_back('%');
            anchor.push_back(kHex[code >> 4]);
            anchor.push_back(kHex[code & 15]);
        }
    }
    return anchor;
}

std::size_t PathCharacters(std::string_view program_path, NameCoding coding) {
    std::size_t count = 0;
    if (IsAnchored(program_path)) {
        const std::size_t end = std::min(program_path.find('\\'), program_path.size());
        count = Utf8Characters(AnchorFolder(program_path.substr(1, end - 1)));
        program_path.remove_prefix(end);
    }
    return count + (coding == NameCoding::kUtf8 ? Utf8Characters(program_path)
                                                : program_path.size());
}

Result<std::string> NativePath(std::string_view program_path, NameCoding coding) {
    std::string native;
    if (IsAnchored(program_path)) {
        const std::size_t end = std::min(program_path.find('\\'), program_path.size());
        native = AnchorFolder(program_path.substr(1, end - 1));
        program_path.remove_prefix(end);
    }
    Result<std::string> utf8 = coding == NameCoding::kUtf8 ? Result<std::string>(std::string(program_path))
                                                           : Cp1252ToUtf8(program_path);
    if (!utf8)
        return utf8.error();
    for (char& c : utf8.value())
        if (c == '\\')
            c = '/';
    // The anchor is a folder: "/" of its own is not doubled.
    if (!native.empty() && native.back() == '/' && !utf8->empty())
        native.pop_back();
    return native + utf8.value();
}

Result<std::string> ProgramPath(std::string_view native_path, NameCoding coding) {
    Result<std::string> cp = coding == NameCoding::kUtf8 ? CheckedUtf8(native_path)
                                                         : Utf8ToCp1252(native_path);
    if (!cp)
        return coding == NameCoding::kUtf8
                   ? Error{Text(Msg::kNameNotUtf8, {ShownUtf8(native_path)}), cp.error().code}
                   : UnrepresentableName(DisplayCp1252(native_path), cp.error().code);
    std::string path = std::move(cp.value());
    for (char& c : path) {
        if (c == '\\') {
            return Error{Text(Msg::kNameWithBackslash, {DisplayCp1252(native_path)})};
        }
        if (c == '/')
            c = '\\';
    }
    return path;
}

}  // namespace velmora
