#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "container/sealed/sealed_header.h"

namespace velmora {

class SealedKeys;

// Seals and opens the chunks of one version 2 container, each on its own
// (crypto_aead_xchacha20poly1305_ietf, combined mode): the stream key, the
// nonce of ChunkNonce, and as associated data the header's bytes before its
// key check, so that a chunk opens only under its own header, at its own
// number, and as the last chunk only where it is the last. Safe to use from
// several threads at once. The key copy is wiped when the cipher goes.
class ChunkCipher {
  public:
    ChunkCipher(const SealedKeys& keys, const SealedHeader& header);
    ~ChunkCipher();
    ChunkCipher(const ChunkCipher&) = delete;
    ChunkCipher& operator=(const ChunkCipher&) = delete;

    // `length` plaintext bytes into length + 16 sealed bytes (`sealed` may
    // not overlap `plaintext`).
    void Seal(std::uint64_t n, const std::uint8_t* plaintext, std::size_t length,
              std::uint8_t* sealed) const;
    // `length` plaintext bytes from length + 16 sealed bytes; false, with
    // nothing usable in `plaintext`, when they are not authentic.
    bool Open(std::uint64_t n, const std::uint8_t* sealed, std::size_t length,
              std::uint8_t* plaintext) const;

    std::uint64_t chunks() const { return chunks_; }

  private:
    std::array<std::uint8_t, 32> key_;
    SealedHeader header_;
    SealedHeaderBytes associated_;
    std::uint64_t chunks_;
};

}  // namespace velmora
