#include "container/main_window_actions.h"

namespace velmora {

void PressCancelar(FileSystem& files, EngineState& state, Host& host) {
    if (state.Wiping || state.Restoring) {
        state.CancelRequested = true;
        return;
    }
    files.CloseAll();
    const std::string unfinished = host.Picture1Tag();
    if (!unfinished.empty())
        (void)files.DeleteFile(unfinished);
    host.EndProgram();
}

void CloseMainWindow(FileSystem& files, EngineState& state, Host& host) {
    files.CloseAll();
    state.PasswordKey.clear();
    host.EndProgram();
}

}  // namespace velmora
