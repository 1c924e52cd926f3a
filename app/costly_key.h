#pragma once

#include <string>

#include "container/sealed/sealed_format.h"

namespace velmora {

// About how many seconds deriving a key with these limits takes: the
// default's measured cost (3 passes over 256 MiB, 0.73 to 0.87 s) scaled by
// passes times memory; at least 1.
long EstimatedDerivationSeconds(const SealedParameters& parameters);

// What a header asking for a costly derivation (SealedKeyDerivationCostly)
// asks, said before anything is derived: the memory in MiB, the passes and
// about how long it would take (Windows-1252).
std::string CostlyKeyText(const SealedParameters& parameters);

}  // namespace velmora
