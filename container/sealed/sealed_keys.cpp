#include "container/sealed/sealed_keys.h"

#include <sodium.h>

#include <string>

#include "base/messages.h"
#include "base/utf8.h"
#include "container/sealed/sealed_failure.h"

namespace velmora {
namespace {

// The crypto_kdf context and subkey ids: changing any of them changes
// every key, so they belong to the format.
constexpr char kKdfContext[crypto_kdf_CONTEXTBYTES] = {'V', 'e', 'l', 'm', 'o', 'r', 'a', 'S'};
constexpr std::uint64_t kStreamKeyId = 1;
constexpr std::uint64_t kCheckKeyId = 2;

static_assert(kSealedKeyBytes == crypto_kdf_KEYBYTES);
static_assert(kSealedKeyBytes == crypto_secretstream_xchacha20poly1305_KEYBYTES);

Error DerivationFailed(const SealedParameters& parameters) {
    return Error{
        Text(Msg::kSealedKeyDerivationFailed, {std::to_string(parameters.memlimit >> 20)})};
}

}  // namespace

struct SealedKeys::Secret {
    std::uint8_t master[kSealedKeyBytes];
    std::uint8_t stream[kSealedKeyBytes];
    std::uint8_t check[kSealedKeyBytes];
};

Result<SealedKeys> SealedKeys::Derive(std::string_view password,
                                      const std::array<std::uint8_t, kSealedSaltBytes>& salt,
                                      const SealedParameters& parameters) {
    // A container being opened may be the first thing of the run to need
    // the library (its guarded memory aborts the program before it is set
    // up).
    if (Status ready = EnsureSodium(); !ready)
        return ready.error();
    Guarded<Secret> secret = AllocateGuarded<Secret>();
    if (!secret)
        return Error{Text(Msg::kSealedOutOfMemory)};
    if (crypto_pwhash(secret->master, sizeof secret->master, password.data(), password.size(),
                      salt.data(), parameters.opslimit,
                      static_cast<std::size_t>(parameters.memlimit),
                      crypto_pwhash_ALG_ARGON2ID13) != 0)
        return DerivationFailed(parameters);
    crypto_kdf_derive_from_key(secret->stream, sizeof secret->stream, kStreamKeyId, kKdfContext,
                               secret->master);
    crypto_kdf_derive_from_key(secret->check, sizeof secret->check, kCheckKeyId, kKdfContext,
                               secret->master);
    sodium_memzero(secret->master, sizeof secret->master);
    return SealedKeys(std::move(secret));
}

Result<SealedKeys> SealedKeys::Derive(std::string_view password, const SealedHeader& header) {
    if (header.version == kSealedVersion1)
        return Derive(password, header.salt, header.parameters);
    Result<std::string> prepared = OpaqueStringPassword(password);
    if (!prepared)
        return prepared.error();
    Result<SealedKeys> keys = Derive(prepared.value(), header.salt, header.parameters);
    sodium_memzero(prepared->data(), prepared->size());
    return keys;
}

const std::uint8_t* SealedKeys::stream_key() const {
    return secret_->stream;
}

std::array<std::uint8_t, kSealedHashBytes> SealedKeys::KeyCheck(
    const SealedHeaderBytes& header) const {
    std::array<std::uint8_t, kSealedHashBytes> check;
    crypto_generichash(check.data(), check.size(), header.data(),
                       header.size() - 2 * kSealedHashBytes, secret_->check, sizeof secret_->check);
    return check;
}

Status SealedKeys::Unlock(const SealedHeader& header) const {
    const auto check = KeyCheck(EncodeSealedHeader(header));
    if (sodium_memcmp(check.data(), header.key_check.data(), check.size()) != 0)
        return WrongPasswordError();
    return Status::Ok();
}

Status EnsureSodium() {
    // sodium_init is safe to call from several threads; 1 means it had
    // been done already.
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        return Error{Text(Msg::kCryptoUnavailable)};
    return Status::Ok();
}

void SodiumFree::operator()(void* memory) const {
    sodium_free(memory);
}

void* AllocateGuardedBytes(std::size_t size) {
    return sodium_malloc(size);
}

void WipeStreamState::operator()(crypto_secretstream_xchacha20poly1305_state* state) const {
    sodium_memzero(state, sizeof *state);
    delete state;
}

StreamState NewStreamState() {
    return StreamState(new crypto_secretstream_xchacha20poly1305_state);
}

}  // namespace velmora
