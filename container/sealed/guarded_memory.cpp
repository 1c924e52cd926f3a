#include "container/sealed/guarded_memory.h"

#include <sodium.h>

namespace velmora {

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
