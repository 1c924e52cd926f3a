#include "container/sealed/sealed_header.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/messages.h"
#include "container/sealed/little_endian.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed/sodium_library.h"

namespace velmora {
namespace {

static_assert(kSealedSaltBytes == crypto_pwhash_SALTBYTES);
static_assert(kSealedStreamHeaderBytes == crypto_secretstream_xchacha20poly1305_HEADERBYTES);
static_assert(kSealedMessageOverhead == crypto_secretstream_xchacha20poly1305_ABYTES);
static_assert(kSealedOpsLimitMin == crypto_pwhash_OPSLIMIT_MIN);
static_assert(kSealedMemLimitMin == crypto_pwhash_MEMLIMIT_MIN);
static_assert(kSealedDefaultOpsLimit == crypto_pwhash_OPSLIMIT_MODERATE);
static_assert(kSealedDefaultMemLimit == crypto_pwhash_MEMLIMIT_MODERATE);
static_assert(kSealedMemLimitMax <= crypto_pwhash_MEMLIMIT_MAX);
static_assert(kSealedChunkSizeMax + kSealedMessageOverhead <=
              crypto_secretstream_xchacha20poly1305_MESSAGEBYTES_MAX);
static_assert(kSealedChecksumAt + kSealedHashBytes == kSealedHeaderBytes);

std::array<std::uint8_t, kSealedHashBytes> Checksum(const std::uint8_t* bytes) {
    std::array<std::uint8_t, kSealedHashBytes> sum;
    crypto_generichash(sum.data(), sum.size(), bytes, kSealedChecksumAt, nullptr, 0);
    return sum;
}

bool KdfLimitsInRange(const SealedParameters& parameters) {
    return parameters.opslimit >= kSealedOpsLimitMin && parameters.opslimit <= kSealedOpsLimitMax &&
           parameters.memlimit >= kSealedMemLimitMin && parameters.memlimit <= kSealedMemLimitMax;
}

bool ChunkSizeInRange(const SealedParameters& parameters) {
    return parameters.chunk_size >= kSealedChunkSizeMin &&
           parameters.chunk_size <= kSealedChunkSizeMax;
}

}  // namespace

Result<SealedHeader> NewSealedHeader(const SealedParameters& parameters) {
    if (!SealedParametersInRange(parameters))
        return Error{Text(Msg::kSealedParametersOutOfRange)};
    if (Status ready = EnsureSodium(); !ready)
        return ready.error();
    SealedHeader header;
    header.parameters = parameters;
    randombytes_buf(header.salt.data(), header.salt.size());
    return header;
}

bool SealedParametersInRange(const SealedParameters& parameters) {
    return KdfLimitsInRange(parameters) && ChunkSizeInRange(parameters);
}

SealedHeaderBytes EncodeSealedHeader(const SealedHeader& header) {
    SealedHeaderBytes bytes{};
    std::copy(kSealedMagic.begin(), kSealedMagic.end(), bytes.begin());
    bytes[kSealedVersionAt] = header.version;
    bytes[kSealedKdfAt] = header.kdf;
    PutLittleEndian(&bytes[kSealedOpsLimitAt], header.parameters.opslimit);
    PutLittleEndian(&bytes[kSealedMemLimitAt], header.parameters.memlimit);
    std::copy(header.salt.begin(), header.salt.end(), &bytes[kSealedSaltAt]);
    PutLittleEndian(&bytes[kSealedChunkSizeAt], header.parameters.chunk_size);
    std::copy(header.stream_header.begin(), header.stream_header.end(),
              &bytes[kSealedStreamHeaderAt]);
    std::copy(header.key_check.begin(), header.key_check.end(), &bytes[kSealedKeyCheckAt]);
    const auto sum = Checksum(bytes.data());
    std::copy(sum.begin(), sum.end(), &bytes[kSealedChecksumAt]);
    return bytes;
}

Result<SealedHeader> DecodeSealedHeader(const std::uint8_t* bytes, std::size_t length) {
    if (length < kSealedMagic.size() ||
        !std::equal(kSealedMagic.begin(), kSealedMagic.end(), bytes))
        return NotSealedError();
    if (length < kSealedHeaderBytes)
        return DamagedError(Text(Msg::kSealedShorterThanHeader));
    SealedHeader header;
    header.version = bytes[kSealedVersionAt];
    if (header.version != kSealedVersion)
        return DamagedError(Text(Msg::kSealedUnknownVersion, {std::to_string(header.version)}));
    const auto sum = Checksum(bytes);
    if (std::memcmp(sum.data(), &bytes[kSealedChecksumAt], sum.size()) != 0)
        return DamagedError(Text(Msg::kSealedHeaderChecksum));
    header.kdf = bytes[kSealedKdfAt];
    if (header.kdf != kSealedKdfArgon2id13)
        return DamagedError(Text(Msg::kSealedUnknownKdf, {std::to_string(header.kdf)}));
    header.parameters.opslimit = GetLittleEndian<std::uint32_t>(&bytes[kSealedOpsLimitAt]);
    header.parameters.memlimit = GetLittleEndian<std::uint64_t>(&bytes[kSealedMemLimitAt]);
    header.parameters.chunk_size = GetLittleEndian<std::uint32_t>(&bytes[kSealedChunkSizeAt]);
    if (!KdfLimitsInRange(header.parameters))
        return DamagedError(
            Text(Msg::kSealedLimitsOutOfRange, {std::to_string(header.parameters.opslimit),
                                                std::to_string(header.parameters.memlimit)}));
    if (!ChunkSizeInRange(header.parameters))
        return DamagedError(
            Text(Msg::kSealedChunkSizeOutOfRange, {std::to_string(header.parameters.chunk_size)}));
    std::copy_n(&bytes[kSealedSaltAt], header.salt.size(), header.salt.begin());
    std::copy_n(&bytes[kSealedStreamHeaderAt], header.stream_header.size(),
                header.stream_header.begin());
    std::copy_n(&bytes[kSealedKeyCheckAt], header.key_check.size(), header.key_check.begin());
    return header;
}

// The magic first: a container of another kind costs only its 8 bytes.
Result<SealedHeader> ReadSealedHeader(ByteSource& source) {
    SealedHeaderBytes bytes;
    const auto length = static_cast<std::size_t>(
        std::clamp<std::int64_t>(source.Size(), 0, static_cast<std::int64_t>(bytes.size())));
    const std::size_t magic = std::min(length, kSealedMagic.size());
    if (Status read = source.ReadAt(0, bytes.data(), magic); !read)
        return read.error();
    if (magic < kSealedMagic.size() ||
        !std::equal(kSealedMagic.begin(), kSealedMagic.end(), bytes.begin()))
        return NotSealedError();
    if (Status read = source.ReadAt(magic, bytes.data() + magic, length - magic); !read)
        return read.error();
    return DecodeSealedHeader(bytes.data(), length);
}

}  // namespace velmora
