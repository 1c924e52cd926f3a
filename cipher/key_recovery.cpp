#include "cipher/key_recovery.h"

#include "cipher/cipher_tables.h"
#include "cipher/key_derivation.h"

namespace velmora {
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
