#include "container/sealed/sealed_header.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/messages.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed/sealed_format.h"
#include "container/sealed/sealed_keys.h"

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
static_assert(kSealedPlaintextLengthAt + 8 + 2 * kSealedHashBytes == kSealedHeaderBytes2);
static_assert(kSealedChunkOverhead == crypto_aead_xchacha20poly1305_ietf_ABYTES);

std::size_t HeaderBytes(std::uint8_t version) {
    return version == kSealedVersion1 ? kSealedHeaderBytes : kSealedHeaderBytes2;
}

// Over every byte before the checksum, the last 32 of either version.
std::array<std::uint8_t, kSealedHashBytes> Checksum(const std::uint8_t* bytes, std::size_t size) {
    std::array<std::uint8_t, kSealedHashBytes> sum;
    crypto_generichash(sum.data(), sum.size(), bytes, size - kSealedHashBytes, nullptr, 0);
    return sum;
}

bool KdfLimitsInRange(const SealedParameters& parameters) {
    return parameters.opslimit >= kSealedOpsLimitMin && parameters.opslimit <= kSealedOpsLimitMax &&
           parameters.memlimit >= kSealedMemLimitMin && parameters.memlimit <= kSealedMemLimitMax;
}

bool ChunkSizeInRange(const SealedParameters& parameters, std::uint8_t version) {
    const std::uint32_t most =
        version == kSealedVersion1 ? kSealedChunkSizeMax : kSealedChunkSizeMax2;
    return parameters.chunk_size >= kSealedChunkSizeMin && parameters.chunk_size <= most;
}

bool GroupInRange(const SealedParameters& parameters) {
    return parameters.group_data >= 1 && parameters.group_data <= kSealedGroupDataMax &&
           parameters.group_parity >= 1 && parameters.group_parity <= kSealedGroupParityMax &&
           std::uint64_t{parameters.group_data + parameters.group_parity} *
                   (parameters.chunk_size + kSealedChunkOverhead) <=
               kSealedGroupBytesMax;
}

// The lengths must fit the index's smallest form and the slots a file can
// count.
bool LengthsInRange(const SealedHeader& header) {
    return header.index_length >= 8 && header.index_length <= header.plaintext_length &&
           header.plaintext_length <= (std::uint64_t{1} << 56);
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
    randombytes_buf(header.nonce_prefix.data(), header.nonce_prefix.size());
    return header;
}

bool SealedParametersInRange(const SealedParameters& parameters, std::uint8_t version) {
    return KdfLimitsInRange(parameters) && ChunkSizeInRange(parameters, version) &&
           (version == kSealedVersion1 || GroupInRange(parameters));
}

bool SealedKeyDerivationCostly(const SealedParameters& parameters) {
    const double asked = double(parameters.opslimit) * double(parameters.memlimit);
    const double usual = double(kSealedDefaultOpsLimit) * double(kSealedDefaultMemLimit);
    return asked > usual * kSealedCostlyFactor;
}

SealedHeaderBytes EncodeSealedHeader(const SealedHeader& header) {
    SealedHeaderBytes bytes(HeaderBytes(header.version));
    std::copy(kSealedMagic.begin(), kSealedMagic.end(), bytes.begin());
    bytes[kSealedVersionAt] = header.version;
    bytes[kSealedKdfAt] = header.kdf;
    PutLittleEndian(&bytes[kSealedOpsLimitAt], header.parameters.opslimit);
    PutLittleEndian(&bytes[kSealedMemLimitAt], header.parameters.memlimit);
    std::copy(header.salt.begin(), header.salt.end(), &bytes[kSealedSaltAt]);
    PutLittleEndian(&bytes[kSealedChunkSizeAt], header.parameters.chunk_size);
    if (header.version == kSealedVersion1) {
        std::copy(header.stream_header.begin(), header.stream_header.end(),
                  &bytes[kSealedStreamHeaderAt]);
    } else {
        std::copy(header.nonce_prefix.begin(), header.nonce_prefix.end(),
                  &bytes[kSealedNoncePrefixAt]);
        bytes[kSealedGroupDataAt] = static_cast<std::uint8_t>(header.parameters.group_data);
        bytes[kSealedGroupParityAt] = static_cast<std::uint8_t>(header.parameters.group_parity);
        PutLittleEndian(&bytes[kSealedIndexLengthAt], header.index_length);
        PutLittleEndian(&bytes[kSealedPlaintextLengthAt], header.plaintext_length);
    }
    const std::size_t key_check_at = bytes.size() - 2 * kSealedHashBytes;
    std::copy(header.key_check.begin(), header.key_check.end(), &bytes[key_check_at]);
    const auto sum = Checksum(bytes.data(), bytes.size());
    std::copy(sum.begin(), sum.end(), &bytes[bytes.size() - kSealedHashBytes]);
    return bytes;
}

Result<SealedHeader> DecodeSealedHeader(const std::uint8_t* bytes, std::size_t length) {
    if (length < kSealedMagic.size() ||
        !std::equal(kSealedMagic.begin(), kSealedMagic.end(), bytes))
        return NotSealedError();
    if (length <= kSealedVersionAt)
        return DamagedError(Text(Msg::kSealedShorterThanHeader));
    SealedHeader header;
    header.version = bytes[kSealedVersionAt];
    if (header.version != kSealedVersion1 && header.version != kSealedVersion2)
        return DamagedError(Text(Msg::kSealedUnknownVersion, {std::to_string(header.version)}));
    const std::size_t size = HeaderBytes(header.version);
    if (length < size)
        return DamagedError(Text(Msg::kSealedShorterThanHeader));
    const auto sum = Checksum(bytes, size);
    if (std::memcmp(sum.data(), &bytes[size - kSealedHashBytes], sum.size()) != 0)
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
    if (!ChunkSizeInRange(header.parameters, header.version))
        return DamagedError(
            Text(Msg::kSealedChunkSizeOutOfRange, {std::to_string(header.parameters.chunk_size)}));
    std::copy_n(&bytes[kSealedSaltAt], header.salt.size(), header.salt.begin());
    if (header.version == kSealedVersion1) {
        std::copy_n(&bytes[kSealedStreamHeaderAt], header.stream_header.size(),
                    header.stream_header.begin());
    } else {
        std::copy_n(&bytes[kSealedNoncePrefixAt], header.nonce_prefix.size(),
                    header.nonce_prefix.begin());
        header.parameters.group_data = bytes[kSealedGroupDataAt];
        header.parameters.group_parity = bytes[kSealedGroupParityAt];
        header.index_length = GetLittleEndian<std::uint64_t>(&bytes[kSealedIndexLengthAt]);
        header.plaintext_length = GetLittleEndian<std::uint64_t>(&bytes[kSealedPlaintextLengthAt]);
        if (!GroupInRange(header.parameters) || !LengthsInRange(header))
            return DamagedError(Text(Msg::kSealedGeometryOutOfRange));
    }
    std::copy_n(&bytes[size - 2 * kSealedHashBytes], header.key_check.size(),
                header.key_check.begin());
    return header;
}

namespace {

Result<SealedHeader> ReadHeaderAt(ByteSource& source, std::int64_t at) {
    std::array<std::uint8_t, kSealedHeaderBytesMax> bytes;
    const auto length = static_cast<std::size_t>(
        std::clamp<std::int64_t>(source.Size() - at, 0, static_cast<std::int64_t>(bytes.size())));
    const std::size_t magic = std::min(length, kSealedMagic.size());
    if (Status read = source.ReadAt(at, bytes.data(), magic); !read)
        return read.error();
    if (magic < kSealedMagic.size() ||
        !std::equal(kSealedMagic.begin(), kSealedMagic.end(), bytes.begin()))
        return NotSealedError();
    if (Status read = source.ReadAt(at + magic, bytes.data() + magic, length - magic); !read)
        return read.error();
    return DecodeSealedHeader(bytes.data(), length);
}

}  // namespace

// The magic first: a container of another kind costs only its 8 bytes (and
// the 8 where a version 2 header's copy would begin).
Result<SealedHeader> ReadSealedHeader(ByteSource& source) {
    Result<SealedHeader> first = ReadHeaderAt(source, 0);
    if (first || FaultOf(first.error()) == SealedFault::kOther)
        return first;
    const std::int64_t copy_at = source.Size() - static_cast<std::int64_t>(kSealedHeaderBytes2);
    if (copy_at <= 0)
        return first;
    Result<SealedHeader> copy = ReadHeaderAt(source, copy_at);
    if (copy && copy->version == kSealedVersion2)
        return copy;
    return first;
}

}  // namespace velmora
