#include "container/sealed/plaintext_hash.h"

#include <sodium.h>

#include <cassert>

#include "container/sealed/sodium_library.h"

namespace velmora {

struct PlaintextHash::State {
    crypto_generichash_state blake2b;
    bool finished = false;
};

PlaintextHash::PlaintextHash() : state_(std::make_unique<State>()) {
    // Without libsodium's initialisation the hash is the same, only
    // computed by its portable code: its outcome changes nothing here.
    (void)EnsureSodium();
    crypto_generichash_init(&state_->blake2b, nullptr, 0, kSealedHashBytes);
}

PlaintextHash::~PlaintextHash() = default;
PlaintextHash::PlaintextHash(PlaintextHash&&) noexcept = default;
PlaintextHash& PlaintextHash::operator=(PlaintextHash&&) noexcept = default;

void PlaintextHash::Update(const std::uint8_t* data, std::size_t length) {
    assert(!state_->finished);
    crypto_generichash_update(&state_->blake2b, data, length);
}

PlaintextDigest PlaintextHash::Final() {
    assert(!state_->finished);
    state_->finished = true;
    PlaintextDigest digest;
    crypto_generichash_final(&state_->blake2b, digest.data(), digest.size());
    return digest;
}

}  // namespace velmora
