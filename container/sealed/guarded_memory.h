#pragma once

#include <cstddef>
#include <memory>

struct crypto_secretstream_xchacha20poly1305_state;

namespace velmora {

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

}  // namespace velmora
