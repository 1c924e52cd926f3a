#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

#include "base/result.h"
#include "container/sealed/guarded_memory.h"
#include "container/sealed/sealed_header.h"

namespace velmora {

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
