#include "container/sealed/sodium_library.h"

#include <sodium.h>

#include "base/messages.h"

namespace velmora {

Status EnsureSodium() {
    // sodium_init is safe to call from several threads; 1 means it had
    // been done already.
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        return Error{Text(Msg::kCryptoUnavailable)};
    return Status::Ok();
}

}  // namespace velmora
