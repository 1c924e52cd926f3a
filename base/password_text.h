#pragma once

#include <string>
#include <string_view>

#include "base/result.h"

namespace velmora {

// A sealed container's password (UTF-8 as typed) prepared and enforced as
// RFC 8265's OpaqueString profile asks, so that the same password typed on
// any keyboard or system gives the same bytes: every non-ASCII space
// (Unicode's category Zs) becomes U+0020, and the text is put in NFC
// (utf8proc). Refused, with the user's message: text that is not UTF-8, an
// empty password, and control characters (Cc) or code points Unicode does
// not assign (Cn; a later Unicode could normalise them otherwise).
Result<std::string> OpaqueStringPassword(std::string_view utf8);

}  // namespace velmora
