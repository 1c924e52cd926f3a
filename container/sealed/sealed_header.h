#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

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
    std::array<std::uint8_t, kSealedStreamHeaderBytes> stream_header{};  // version 1
    std::array<std::uint8_t, kSealedNoncePrefixBytes> nonce_prefix{};    // version 2
    std::uint64_t index_length = 0;                                      // version 2
    std::uint64_t plaintext_length = 0;                                  // version 2
    std::array<std::uint8_t, kSealedHashBytes> key_check{};
};

// A header's bytes: 130 (version 1) or 140 (version 2), the key check and
// the checksum last.
using SealedHeaderBytes = std::vector<std::uint8_t>;

// The header of a new container (version 2): the parameters, a fresh random
// salt and nonce prefix (the lengths, once known, and the key check come
// when the stream begins). Refuses parameters a reader would not accept.
Result<SealedHeader> NewSealedHeader(const SealedParameters& parameters);

// The header's bytes, its checksum computed over all the bytes before it.
SealedHeaderBytes EncodeSealedHeader(const SealedHeader& header);

// The header in `length` bytes, checked in this order, before anything is
// allocated or derived: the magic (its absence, or fewer than 8 bytes, is
// SealedFault::kNotSealed), then the length, the version, the checksum, the
// key derivation's id and limits and the chunk size (kDamaged).
Result<SealedHeader> DecodeSealedHeader(const std::uint8_t* bytes, std::size_t length);

// The header at the start of a container, as DecodeSealedHeader checks it;
// for version 2, when the first is damaged, its copy at the end.
Result<SealedHeader> ReadSealedHeader(ByteSource& source);

}  // namespace velmora
