#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "cipher/cipher_tables.h"

namespace velmora {

// The data area's coding. A file of up to 65,536 bytes is coded whole: byte j
// (1-based) is shifted by key[KeyIndexTable(j)]. A larger file is taken in
// full 65,536-byte blocks, coded only at j = 1, 4, 7, ... with j restarting in
// every block, then a last part of size mod 65,536 bytes coded whole, j again
// from 1.

inline constexpr std::size_t kBlockSize = 65536;

// The key's shift for every position of a block, computed once per key, so
// coding a buffer is one byte addition per position: `whole` for whole
// coding, `thirds` with zeros at the positions full blocks leave as they are.
class KeyStream {
  public:
    KeyStream(const CipherTables& tables, const std::string& key);

    const std::uint8_t* whole() const { return whole_.data(); }
    const std::uint8_t* thirds() const { return thirds_.data(); }

  private:
    std::array<std::uint8_t, kBlockSize> whole_{};
    std::array<std::uint8_t, kBlockSize> thirds_{};
};

// How a file of a given size is cut: full_blocks blocks of 65,536 bytes coded
// at every third byte, then a tail coded whole (the whole file when it is no
// larger than one block).
struct CodingPlan {
    std::int64_t full_blocks = 0;
    std::size_t tail = 0;
};
CodingPlan PlanFor(std::int64_t file_size);

// In-place coding of one piece. A whole piece has at most 65,536 bytes; a
// full block has exactly 65,536.
void EncodeWhole(std::uint8_t* data, std::size_t length, const KeyStream& stream);
void DecodeWhole(std::uint8_t* data, std::size_t length, const KeyStream& stream);
void EncodeFullBlock(std::uint8_t* block, const KeyStream& stream);
void DecodeFullBlock(std::uint8_t* block, const KeyStream& stream);

// A whole file held in memory, coded by the rule above.
void EncodeFileData(std::uint8_t* data, std::size_t size, const KeyStream& stream);
void DecodeFileData(std::uint8_t* data, std::size_t size, const KeyStream& stream);

}  // namespace velmora
