#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora {

// The sealed format's integers: little-endian, whatever the machine.
template <typename Integer>
void PutLittleEndian(std::uint8_t* at, Integer value) {
    for (std::size_t i = 0; i < sizeof(Integer); ++i)
        at[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
}

template <typename Integer>
void AppendLittleEndian(std::vector<std::uint8_t>& out, Integer value) {
    out.resize(out.size() + sizeof(Integer));
    PutLittleEndian(out.data() + out.size() - sizeof(Integer), value);
}

template <typename Integer>
Integer GetLittleEndian(const std::uint8_t* at) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < sizeof(Integer); ++i)
        value |= static_cast<std::uint64_t>(at[i]) << (8 * i);
    return static_cast<Integer>(value);
}

}  // namespace velmora
