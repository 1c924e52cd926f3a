#include "container/main_window_actions.h"

#include "container/named_entry.h"
#include "container/path_helpers.h"

namespace velmora {
namespace {

// The unfinished container, deleted through its folder's handle; anything
// but a file under its name is left.
void DeleteUnfinished(TreeOps& files, const std::string& path) {
    const Result<int> folder = OpenFolderHolding(files, path);
    if (!folder)
        return;
    const Result<EntryInfo> file = files.InspectAt(folder.value(), Nombre(path));
    if (file && file->kind == EntryKind::kFile)
        (void)files.DeleteFileAt(folder.value(), Nombre(path), file.value());
    (void)files.Close(folder.value());
}

}  // namespace

void PressCancelar(TreeOps& files, EngineState& state, Host& host) {
    if (state.Wiping || state.Restoring) {
        state.CancelRequested = true;
        return;
    }
    files.CloseAll();
    const std::string unfinished = host.Picture1Tag();
    if (!unfinished.empty())
        DeleteUnfinished(files, unfinished);
    host.EndProgram();
}

void CloseMainWindow(TreeOps& files, EngineState& state, Host& host) {
    files.CloseAll();
    state.PasswordKey.clear();
    host.EndProgram();
}

}  // namespace velmora
