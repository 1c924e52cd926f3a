#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/result.h"

namespace velmora {

// Well-formed UTF-8: no overlong forms, no surrogates, nothing past
// U+10FFFF, no sequence cut short.
bool IsValidUtf8(std::string_view text);

// The length of the well-formed character at the start of `text` (as
// IsValidUtf8 reads it) and its code point in `code`, or 0 when the bytes
// there are not one.
std::size_t Utf8CharacterAt(std::string_view text, char32_t& code);

// A UTF-8 text (a name, a path) as it can appear in a message (Windows-1252):
// the characters Windows-1252 has as its codes, any other as a marked
// character (kMarkedCharacter, shown as itself), but for the invisible ones
// that reorder text and the C1 controls ("?"); control characters and bytes
// that are not UTF-8 as \xNN.
std::string ShownUtf8(std::string_view path);

// A text as a JSON string, quotes included: UTF-8 kept as it is; the quote,
// the backslash, control characters (C0, DEL, C1) and the invisible ones
// that reorder text escaped; each byte that is not UTF-8 (a Linux name may
// hold any) as the lone surrogate U+DC80 + byte, as Python's
// "surrogateescape" reads it.
std::string JsonString(std::string_view text);

// A sealed container's password (UTF-8 as typed) prepared and enforced as
// RFC 8265's OpaqueString profile asks, so that the same password typed on
// any keyboard or system gives the same bytes: every non-ASCII space
// (Unicode's category Zs) becomes U+0020, and the text is put in NFC
// (utf8proc). Refused, with the user's message: text that is not UTF-8, an
// empty password, and control characters (Cc) or code points Unicode does
// not assign (Cn; a later Unicode could normalise them otherwise).
Result<std::string> OpaqueStringPassword(std::string_view utf8);

}  // namespace velmora
