#pragma once

#include "base/result.h"

namespace velmora {

// Initialises libsodium once (it picks the fastest implementations and
// seeds its random source); every later call only returns the outcome.
Status EnsureSodium();

}  // namespace velmora
