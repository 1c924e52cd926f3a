#pragma once

#include <functional>

#include "container/host.h"

namespace velmora {

// Runs work that takes a while without the windows' help (the key's
// derivation) on a thread of its own, letting the windows' events run
// meanwhile: they keep repainting, and "Cancelar" and the close box keep
// working (they end the program, work and all).
void RunWhilePumping(Host& host, const std::function<void()>& work);

}  // namespace velmora
