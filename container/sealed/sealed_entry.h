#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velmora {

// One entry of a sealed container's index. Entry 0 is the sealed folder
// itself (a folder with the empty path); every other path is relative to
// it, UTF-8, its components separated by "/", exactly as the file system
// gave the names.
struct SealedEntry {
    std::string path;
    bool folder = false;
    std::uint64_t size = 0;  // 0 for a folder
    std::int64_t mtime_s = 0;
    std::uint32_t mtime_ns = 0;   // below 1,000,000,000
    std::uint8_t attributes = 0;  // DOS attributes
    std::uint16_t mode = 0;       // POSIX permission bits, at most 07777

    bool operator==(const SealedEntry&) const = default;
};

// How an entry is stored: u8 kind, u16 path length, the path's bytes, u64
// size, i64 mtime seconds, u32 mtime nanoseconds, u8 attributes, u16 mode,
// all little-endian.
inline constexpr std::uint8_t kSealedKindFolder = 1;
inline constexpr std::uint8_t kSealedKindFile = 2;
inline constexpr std::size_t kSealedEntryFixedBytes = 1 + 2 + 8 + 8 + 4 + 1 + 2;

// Longer paths or names are refused as absurd: no system makes them.
inline constexpr std::size_t kSealedMaxPathBytes = 32767;
inline constexpr std::size_t kSealedMaxNameBytes = 1024;

}  // namespace velmora
