#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>

#include "base/result.h"
#include "container/sealed/sealed_header.h"

struct crypto_secretstream_xchacha20poly1305_state;

namespace velmora {

// Initialises libsodium once (it picks the fastest implementations and
// seeds its random source); every later call only returns the outcome.
Status EnsureSodium();

// Memory for keys: sodium_malloc (fenced by inaccessible pages, kept out of
// swap where the system allows), wiped and freed by sodium_free. Each block
// costs a few system calls, so it holds what is derived once per container.
struct SodiumFree {
    void operator()(void* memory) const;
};
template <typename T>
using Guarded = std::unique_ptr<T, SodiumFree>;

void* AllocateGuardedBytes(std::size_t size);

// Uninitialised room for a T (a plain struct of bytes); null when the
// system refuses the memory.
template <typename T>
Guarded<T> AllocateGuarded() {
    return Guarded<T>(static_cast<T*>(AllocateGuardedBytes(sizeof(T))));
}

// A secretstream state (it holds the stream key) in ordinary heap memory,
// wiped (sodium_memzero) before it is freed: one is made for every
// container written or opened, too often for sodium_malloc's cost.
struct WipeStreamState {
    void operator()(crypto_secretstream_xchacha20poly1305_state* state) const;
};
using StreamState = std::unique_ptr<crypto_secretstream_xchacha20poly1305_state, WipeStreamState>;

StreamState NewStreamState();

// The keys of one sealed container, derived from its password, held in
// guarded memory.
class SealedKeys {
  public:
    // The master key is crypto_pwhash (Argon2id v1.3) of the password's
    // bytes as given with the salt and limits; the stream key and the check
    // key are crypto_kdf subkeys of it. Fails when the system refuses the
    // memory the limits ask for.
    static Result<SealedKeys> Derive(std::string_view password,
                                     const std::array<std::uint8_t, kSealedSaltBytes>& salt,
                                     const SealedParameters& parameters);
    // The keys of the container with this header: version 1 derives from
    // the password's bytes as typed, version 2 from the password prepared
    // as RFC 8265's OpaqueString (NFC).
    static Result<SealedKeys> Derive(std::string_view password, const SealedHeader& header);

    const std::uint8_t* stream_key() const;
    // BLAKE2b-256 keyed with the check key over the header's bytes before
    // its key check.
    std::array<std::uint8_t, kSealedHashBytes> KeyCheck(const SealedHeaderBytes& header) const;
    // Whether these are the keys of the container with this header: the
    // wrong password's error (kWrongPassword) when they are not.
    Status Unlock(const SealedHeader& header) const;

  private:
    struct Secret;
    explicit SealedKeys(Guarded<Secret> secret) : secret_(std::move(secret)) {}
    Guarded<Secret> secret_;
};

}  // namespace velmora
