#include "cipher/cipher_tables.h"

#include "base/cp1252.h"
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

namespace {

int CodeOf(char c) {
    return static_cast<unsigned char>(c);
}

}  // namespace

std::vector<std::string> KeysFromCheckValue(std::string_view check) {
    if (check.size() != kKeyLength)
        return {};
    int alternating = 0;
    for (std::size_t i = 0; i < kKeyLength; ++i)
        alternating += i % 2 == 0 ? CodeOf(check[i]) : -CodeOf(check[i]);
    alternating = (alternating % 256 + 256) % 256;
    if (alternating % 2 != 0)
        return {};
    std::vector<std::string> keys;
    for (const int first : {alternating / 2, alternating / 2 + 128}) {
        std::string key(kKeyLength, '\0');
        key[0] = static_cast<char>(first);
        // Character i of the check value (1-based) gives the key character
        // it was shifted by, from the key character it shifted.
        for (std::size_t i = 1; i < kKeyLength; ++i)
            key[KeyPosition(i, kKeyLength) - 1] =
                static_cast<char>(CodeOf(check[i - 1]) - CodeOf(key[i - 1]));
        keys.push_back(std::move(key));
    }
    return keys;
}

}  // namespace velmora
