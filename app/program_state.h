#pragma once

#include <optional>
#include <string>

#include "container/engine_state.h"
#include "container/sealed/sealed_header.h"

namespace velmora {

// Everything one run of the program keeps: the engine's shared state (the
// key among it) and what the password dialog checks a password against.
struct ProgramState {
    EngineState engine;
    std::string StoredCheck;
    // The header of the sealed container being opened.
    std::optional<SealedHeader> sealed_header;
    // The password accepted for sealing, as typed (UTF-8), until the seal
    // takes it.
    std::string sealed_password;
    // The folder to seal or the sealed container to open, as messages show
    // it: what the dialog names.
    std::string shown_subject;
    // Sealing: where the container is written, as messages show it; ""
    // when beside the folder.
    std::string shown_container;
};

}  // namespace velmora
