#pragma once

#include <cstdint>
#include <vector>

namespace velmora {

// A parity code's blocks, each held in a vector, and their starts as the
// code's calls take them.
using Blocks = std::vector<std::vector<std::uint8_t>>;

inline std::vector<std::uint8_t*> Pointers(Blocks& blocks) {
    std::vector<std::uint8_t*> pointers;
    for (auto& block : blocks)
        pointers.push_back(block.data());
    return pointers;
}

}  // namespace velmora
