#pragma once

#include <string>

#include "container/engine_state.h"

namespace velmora {

// Everything one run of the program keeps: the engine's shared state (the
// key among it) and the check value of the container being opened.
struct ProgramState {
    EngineState engine;
    std::string StoredCheck;
};

}  // namespace velmora
