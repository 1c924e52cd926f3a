#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace velmora {

// A digest of a byte stream given in pieces: what the pack computes over
// the plaintext it read from the originals, to compare with the same digest
// over what it reads back from the container. Poly1305 (crypto_onetimeauth)
// under a key drawn at random once per run of the program: a universal hash
// whose outcome no file, however made, can aim at without the key, at
// several times BLAKE2b's speed. Digests compare only within one run.
using PlaintextDigest = std::array<std::uint8_t, 16>;

class PlaintextHash {
  public:
    PlaintextHash();
    ~PlaintextHash();
    PlaintextHash(PlaintextHash&&) noexcept;
    PlaintextHash& operator=(PlaintextHash&&) noexcept;

    void Update(const std::uint8_t* data, std::size_t length);
    // The digest of everything given; the hash cannot be updated after it.
    PlaintextDigest Final();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace velmora
