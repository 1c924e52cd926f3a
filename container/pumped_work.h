#pragma once

#include <functional>
#include <future>

#include "container/host.h"

namespace velmora {

// Runs work that takes a while without the windows' help (the key's
// derivation) on a thread of its own, letting the windows' events run
// meanwhile: they keep repainting, and "Cancelar" and the close box keep
// working (they end the program, work and all).
void RunWhilePumping(Host& host, const std::function<void()>& work);

// The same for a window that is not the main one (the password dialog):
// `pump` lets its pending events run.
void RunWhilePumping(const std::function<void()>& pump, const std::function<void()>& work);

// Lets the windows' events run until work started earlier on a thread of
// its own has ended.
void PumpUntilDone(Host& host, const std::future<void>& done);

}  // namespace velmora
