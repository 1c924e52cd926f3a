#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// The smallest interesting container, with the password "secreto": one empty
// folder "\vacia\" and one file "\a.txt" holding "xyz". Worked out by hand
// from the format's rules (key "TGFVJZV[NM]Qa]b"), not by our own code.
inline std::vector<std::uint8_t> GoldenContainer() {
    auto raw = [](const char* bytes, std::size_t size) { return std::string(bytes, size); };
    auto padded = [](std::string text) { return text.append(64 - text.size(), ' '); };
    const std::string image =
        // header: folder attributes, 2 entries, width code 0, the check value
        raw("\x10\x02\x00\x00\x00\x00", 6) +
        "\x9B\x8D\x9C\xA0\xA4\xB0\xB1\xA9\x9B\xAA\xAE\xB2\xBE\xBF\xB6" +
        // the folder: name, attributes 16 and 16, size -1
        padded("\xA3\xBC\xB7\xAD\xC3\xB7\xB7") + raw("\x10\x10\xFF\xFF\xFF\xFF", 6) +
        // the file: name, attributes 32 and 16, size 3
        padded("\xA3\xA7\x84\xBE\xD2\xCA") + raw("\x20\x10\x03\x00\x00\x00", 6) +
        // its data
        "\xBF\xBF\xD0";
    return std::vector<std::uint8_t>(image.begin(), image.end());
}

}  // namespace velmora
