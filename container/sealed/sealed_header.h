#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "base/result.h"
#include "container/byte_source.h"
#include "container/sealed/sealed_format.h"

namespace velmora {

// The header of a sealed container, field by field (docs/sealed-format.md).
struct SealedHeader {
    std::uint8_t version = kSealedVersion;
    std::uint8_t kdf = kSealedKdfArgon2id13;
    SealedParameters parameters;
    std::array<std::uint8_t, kSealedSaltBytes> salt{};
    std::array<std::uint8_t, kSealedStreamHeaderBytes> stream_header{};
    std::array<std::uint8_t, kSealedHashBytes> key_check{};
};

using SealedHeaderBytes = std::array<std::uint8_t, kSealedHeaderBytes>;

// The header of a new container: the parameters and a fresh random salt
// (the stream header and the key check come when the stream begins).
// Refuses parameters a reader would not accept.
Result<SealedHeader> NewSealedHeader(const SealedParameters& parameters);

// The header's bytes, its checksum computed over all the bytes before it.
SealedHeaderBytes EncodeSealedHeader(const SealedHeader& header);

// The header in `length` bytes, checked in this order, before anything is
// allocated or derived: the magic (its absence, or fewer than 8 bytes, is
// SealedFault::kNotSealed), then the length, the version, the checksum, the
// key derivation's id and limits and the chunk size (kDamaged).
Result<SealedHeader> DecodeSealedHeader(const std::uint8_t* bytes, std::size_t length);

// The header at the start of a container, as DecodeSealedHeader checks it.
Result<SealedHeader> ReadSealedHeader(ByteSource& source);

}  // namespace velmora
