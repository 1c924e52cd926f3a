#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "container/sealed/sealed_format.h"

namespace velmora {

// BLAKE2b-256 of a byte stream given in pieces (crypto_generichash): what
// the pack computes over the plaintext it read from the originals, to
// compare with the same hash over what it reads back from the container.
using PlaintextDigest = std::array<std::uint8_t, kSealedHashBytes>;

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
