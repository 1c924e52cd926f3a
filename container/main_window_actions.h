#pragma once

#include "container/engine_state.h"
#include "container/host.h"
#include "platform/tree_ops.h"

namespace velmora {

// "Cancelar" on the main window: every error is ignored; every open file is
// closed, the file named by the logo box's tag (an unfinished container) is
// deleted, and the program ends. While the folder is being wiped it only
// asks the wipe to stop at its next safe point, and a staged restore to
// remove what it made (see EngineState::Wiping and Restoring).
void PressCancelar(TreeOps& files, EngineState& state, Host& host);

// The main window being closed (close box, or the unload at the end of
// encoding): every open file is closed, the key forgotten, the program ended.
// An unfinished container stays.
void CloseMainWindow(TreeOps& files, EngineState& state, Host& host);

}  // namespace velmora
