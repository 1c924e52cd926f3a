#include "base/password_text.h"

#include <utf8proc.h>

#include <vector>

#include "base/messages.h"
#include "base/utf8.h"

namespace velmora {
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
