#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace velmora {

// The constants of the sealed kind of container (docs/sealed-format.md): a
// fixed 130-byte header, then one crypto_secretstream_xchacha20poly1305
// stream of messages of `chunk_size` plaintext bytes each, the last one
// tagged final. The plaintext is the index, then every file's bytes.

inline constexpr std::array<std::uint8_t, 8> kSealedMagic = {0x89, 'V', 'e', 'l',
                                                             'm',  'o', 'r', 'a'};
inline constexpr std::uint8_t kSealedVersion = 1;
inline constexpr std::uint8_t kSealedKdfArgon2id13 = 1;  // crypto_pwhash_ALG_ARGON2ID13

inline constexpr std::size_t kSealedSaltBytes = 16;
inline constexpr std::size_t kSealedStreamHeaderBytes = 24;
inline constexpr std::size_t kSealedHashBytes = 32;  // BLAKE2b-256
inline constexpr std::size_t kSealedKeyBytes = 32;
// Ciphertext bytes a message adds to its plaintext (tag and MAC).
inline constexpr std::size_t kSealedMessageOverhead = 17;

// Where each field of the header starts; integers are little-endian.
inline constexpr std::size_t kSealedVersionAt = 8;
inline constexpr std::size_t kSealedKdfAt = 9;
inline constexpr std::size_t kSealedOpsLimitAt = 10;  // u32
inline constexpr std::size_t kSealedMemLimitAt = 14;  // u64, bytes
inline constexpr std::size_t kSealedSaltAt = 22;
inline constexpr std::size_t kSealedChunkSizeAt = 38;  // u32
inline constexpr std::size_t kSealedStreamHeaderAt = 42;
inline constexpr std::size_t kSealedKeyCheckAt = 66;
inline constexpr std::size_t kSealedChecksumAt = 98;
inline constexpr std::size_t kSealedHeaderBytes = 130;

// What a reader accepts, checked before anything is allocated or derived.
inline constexpr std::uint32_t kSealedOpsLimitMin = 1;  // crypto_pwhash_OPSLIMIT_MIN
inline constexpr std::uint32_t kSealedOpsLimitMax = 64;
inline constexpr std::uint64_t kSealedMemLimitMin = 8192;  // crypto_pwhash_MEMLIMIT_MIN
inline constexpr std::uint64_t kSealedMemLimitMax = std::uint64_t{1} << 30;
inline constexpr std::uint32_t kSealedChunkSizeMin = 4096;
inline constexpr std::uint32_t kSealedChunkSizeMax = 16u << 20;

// What a writer uses unless told otherwise: libsodium's "moderate" limits.
inline constexpr std::uint32_t kSealedDefaultOpsLimit = 3;
inline constexpr std::uint64_t kSealedDefaultMemLimit = std::uint64_t{256} << 20;
inline constexpr std::uint32_t kSealedDefaultChunkSize = 65536;

// The key derivation's limits and the stream's message size of a new
// container.
struct SealedParameters {
    std::uint32_t opslimit = kSealedDefaultOpsLimit;
    std::uint64_t memlimit = kSealedDefaultMemLimit;
    std::uint32_t chunk_size = kSealedDefaultChunkSize;
};

// Whether a reader accepts them.
bool SealedParametersInRange(const SealedParameters& parameters);

}  // namespace velmora
