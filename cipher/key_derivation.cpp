#include "cipher/key_derivation.h"

#include "base/cp1252_case.h"
#include "base/messages.h"

namespace velmora {

Result<std::string> DeriveKey(const std::string& password) {
    if (password.empty())
        return Error{Text(Msg::kWrongPassword)};
    const std::string upper = ToUpperCp1252(password);
    std::string key;
    key.reserve(kKeyLength);
    while (key.size() < kKeyLength)
        key += upper;
    key.resize(kKeyLength);
    for (std::size_t i = 0; i < kKeyLength; ++i) {
        const int code = static_cast<unsigned char>(key[i]) + static_cast<int>(i + 1);
        if (code > 255) {
            return Error{Text(Msg::kCharacterDoesNotFitKey, {std::string(1, key[i])})};
        }
        key[i] = static_cast<char>(code);
    }
    return key;
}

}  // namespace velmora
