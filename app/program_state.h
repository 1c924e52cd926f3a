#pragma once

#include <memory>
#include <optional>
#include <string>

#include "container/cancel_token.h"
#include "container/sealed/sealed_header.h"

namespace velmora {

class SealedKeys;

// Everything one run of the program keeps: what the password dialog
// decided, what it checks a password against, and the cancel token.
struct ProgramState {
    // The legacy key the dialog accepted; "" while none is.
    std::string key;
    // The keys of the sealed container being opened, once the dialog has
    // checked its password against it.
    std::shared_ptr<const SealedKeys> sealed_keys;
    // "Cancelar", set by the main window, read by the run going on.
    CancelToken cancel;
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
