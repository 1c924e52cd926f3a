#include "container/sealed/plaintext_hash.h"

#include <sodium.h>

#include <cassert>
#include <mutex>

#include "container/sealed/sealed_keys.h"

namespace velmora {
namespace {

static_assert(sizeof(PlaintextDigest) == crypto_onetimeauth_BYTES);

// The run's key, drawn once.
const unsigned char* RunKey() {
    static unsigned char key[crypto_onetimeauth_KEYBYTES];
    static std::once_flag drawn;
    std::call_once(drawn, [] {
        // Without libsodium's initialisation randombytes still reads the
        // system's random source; its outcome changes nothing here.
        (void)EnsureSodium();
        crypto_onetimeauth_keygen(key);
    });
    return key;
}

}  // namespace

struct PlaintextHash::State {
    crypto_onetimeauth_state poly1305;
    bool finished = false;
};

PlaintextHash::PlaintextHash() : state_(std::make_unique<State>()) {
    crypto_onetimeauth_init(&state_->poly1305, RunKey());
}

PlaintextHash::~PlaintextHash() = default;
PlaintextHash::PlaintextHash(PlaintextHash&&) noexcept = default;
PlaintextHash& PlaintextHash::operator=(PlaintextHash&&) noexcept = default;

void PlaintextHash::Update(const std::uint8_t* data, std::size_t length) {
    assert(!state_->finished);
    crypto_onetimeauth_update(&state_->poly1305, data, length);
}

PlaintextDigest PlaintextHash::Final() {
    assert(!state_->finished);
    state_->finished = true;
    PlaintextDigest digest;
    crypto_onetimeauth_final(&state_->poly1305, digest.data());
    return digest;
}

}  // namespace velmora
