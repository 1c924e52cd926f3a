#pragma once

#include "cipher/cipher_tables.h"
#include "container/engine_state.h"
#include "container/host.h"
#include "platform/clock.h"
#include "platform/tree_ops.h"

namespace velmora {

// What every step of one run works with: the disk, the windows, the
// cipher's tables, the clock, the state the windows share and the options.
struct Run {
    TreeOps& files;
    Host& host;
    const CipherTables& tables;
    Clock& clock;
    EngineState& state;
    const EngineOptions& options;
};

// Returns after about Segundos seconds, pumping events meanwhile.
void Espera(Run& run, float Segundos);

}  // namespace velmora
