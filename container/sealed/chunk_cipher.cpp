#include "container/sealed/chunk_cipher.h"

#include <sodium.h>

#include <algorithm>

#include "container/sealed/chunk_layout.h"
#include "container/sealed/sealed_keys.h"

namespace velmora {

ChunkCipher::ChunkCipher(const SealedKeys& keys, const SealedHeader& header)
    : header_(header),
      associated_(EncodeSealedHeader(header)),
      chunks_(ChunkLayout(header).chunks) {
    std::copy_n(keys.stream_key(), key_.size(), key_.begin());
    associated_.resize(associated_.size() - 2 * kSealedHashBytes);
}

ChunkCipher::~ChunkCipher() {
    sodium_memzero(key_.data(), key_.size());
}

void ChunkCipher::Seal(std::uint64_t n, const std::uint8_t* plaintext, std::size_t length,
                       std::uint8_t* sealed) const {
    std::uint8_t nonce[crypto_aead_xchacha20poly1305_ietf_NPUBBYTES];
    ChunkNonce(header_, n, n + 1 == chunks_, nonce);
    crypto_aead_xchacha20poly1305_ietf_encrypt(sealed, nullptr, plaintext, length,
                                               associated_.data(), associated_.size(), nullptr,
                                               nonce, key_.data());
}

bool ChunkCipher::Open(std::uint64_t n, const std::uint8_t* sealed, std::size_t length,
                       std::uint8_t* plaintext) const {
    std::uint8_t nonce[crypto_aead_xchacha20poly1305_ietf_NPUBBYTES];
    ChunkNonce(header_, n, n + 1 == chunks_, nonce);
    return crypto_aead_xchacha20poly1305_ietf_decrypt(
               plaintext, nullptr, nullptr, sealed, length + kSealedChunkOverhead,
               associated_.data(), associated_.size(), nonce, key_.data()) == 0;
}

}  // namespace velmora
