#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
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

// The constants of the sealed kind of container (docs/sealed-format.md).
// The plaintext is the index, then every file's bytes. Version 1: a
// 130-byte header, then one crypto_secretstream_xchacha20poly1305 stream of
// messages of `chunk_size` plaintext bytes each, the last one tagged final.
// Version 2: a 140-byte header, then chunks sealed one by one
// (crypto_aead_xchacha20poly1305_ietf) in slots of equal size, with
// Reed-Solomon parity over groups of them, the index's chunks and the
// header stored again at the end.

inline constexpr std::array<std::uint8_t, 8> kSealedMagic = {0x89, 'V', 'e', 'l',
                                                             'm',  'o', 'r', 'a'};
inline constexpr std::uint8_t kSealedVersion1 = 1;
inline constexpr std::uint8_t kSealedVersion2 = 2;
inline constexpr std::uint8_t kSealedVersion = kSealedVersion2;  // of new containers
inline constexpr std::uint8_t kSealedKdfArgon2id13 = 1;          // crypto_pwhash_ALG_ARGON2ID13

inline constexpr std::size_t kSealedSaltBytes = 16;
inline constexpr std::size_t kSealedStreamHeaderBytes = 24;
inline constexpr std::size_t kSealedHashBytes = 32;  // BLAKE2b-256
inline constexpr std::size_t kSealedKeyBytes = 32;
// Ciphertext bytes a message adds to its plaintext (tag and MAC).
inline constexpr std::size_t kSealedMessageOverhead = 17;
// Version 2: bytes a chunk adds (the MAC), and the nonce's random prefix.
inline constexpr std::size_t kSealedChunkOverhead = 16;
inline constexpr std::size_t kSealedNoncePrefixBytes = 16;

// Where each field of the header starts; integers are little-endian.
inline constexpr std::size_t kSealedVersionAt = 8;
inline constexpr std::size_t kSealedKdfAt = 9;
inline constexpr std::size_t kSealedOpsLimitAt = 10;  // u32
inline constexpr std::size_t kSealedMemLimitAt = 14;  // u64, bytes
inline constexpr std::size_t kSealedSaltAt = 22;
inline constexpr std::size_t kSealedChunkSizeAt = 38;  // u32
// Version 1 from here on.
inline constexpr std::size_t kSealedStreamHeaderAt = 42;
inline constexpr std::size_t kSealedKeyCheckAt = 66;
inline constexpr std::size_t kSealedChecksumAt = 98;
inline constexpr std::size_t kSealedHeaderBytes = 130;
// Version 2 from here on; the key check and the checksum are the last 64
// bytes of either version's header.
inline constexpr std::size_t kSealedNoncePrefixAt = 42;
inline constexpr std::size_t kSealedGroupDataAt = 58;        // u8
inline constexpr std::size_t kSealedGroupParityAt = 59;      // u8
inline constexpr std::size_t kSealedIndexLengthAt = 60;      // u64
inline constexpr std::size_t kSealedPlaintextLengthAt = 68;  // u64
inline constexpr std::size_t kSealedHeaderBytes2 = 140;
inline constexpr std::size_t kSealedHeaderBytesMax = kSealedHeaderBytes2;

// What a reader accepts, checked before anything is allocated or derived.
inline constexpr std::uint32_t kSealedOpsLimitMin = 1;  // crypto_pwhash_OPSLIMIT_MIN
inline constexpr std::uint32_t kSealedOpsLimitMax = 64;
inline constexpr std::uint64_t kSealedMemLimitMin = 8192;  // crypto_pwhash_MEMLIMIT_MIN
inline constexpr std::uint64_t kSealedMemLimitMax = std::uint64_t{1} << 30;
inline constexpr std::uint32_t kSealedChunkSizeMin = 4096;
inline constexpr std::uint32_t kSealedChunkSizeMax = 16u << 20;
// Version 2: a group (its chunks and parity held in memory while sealed and
// opened) stays within 32 MiB.
inline constexpr std::uint32_t kSealedChunkSizeMax2 = 1u << 20;
inline constexpr unsigned kSealedGroupDataMax = 128;
inline constexpr unsigned kSealedGroupParityMax = 16;
inline constexpr std::uint64_t kSealedGroupBytesMax = std::uint64_t{32} << 20;
// A header asking more of the key derivation than this many times the
// default's cost (passes times memory) is refused unless the user agrees.
inline constexpr std::uint64_t kSealedCostlyFactor = 4;

// What a writer uses unless told otherwise: libsodium's "moderate" limits.
inline constexpr std::uint32_t kSealedDefaultOpsLimit = 3;
inline constexpr std::uint64_t kSealedDefaultMemLimit = std::uint64_t{256} << 20;
inline constexpr std::uint32_t kSealedDefaultChunkSize = 65536;
// 64 chunks and 2 parity chunks: 3.1 % more, and any two damaged slots of a
// group (a 64 KiB run, a 4 KiB sector across two slots) rebuilt.
inline constexpr unsigned kSealedDefaultGroupData = 64;
inline constexpr unsigned kSealedDefaultGroupParity = 2;

// The key derivation's limits and the stream's message size of a new
// container.
struct SealedParameters {
    std::uint32_t opslimit = kSealedDefaultOpsLimit;
    std::uint64_t memlimit = kSealedDefaultMemLimit;
    std::uint32_t chunk_size = kSealedDefaultChunkSize;
    unsigned group_data = kSealedDefaultGroupData;      // version 2
    unsigned group_parity = kSealedDefaultGroupParity;  // version 2
};

// Whether a reader of that version accepts them.
bool SealedParametersInRange(const SealedParameters& parameters,
                             std::uint8_t version = kSealedVersion);
// Whether they ask more than kSealedCostlyFactor times the default's cost.
bool SealedKeyDerivationCostly(const SealedParameters& parameters);

}  // namespace velmora
