
#include "cli/commands.h"
#include "cli/console.h"
#include "shell/win32/shell_integration_win32.h"

namespace velmora {

int Register(FileSystem& files) {
    RegisterShellIntegration(
        [&files] {
            Result<std::string> folder = files.ProgramFolder();
            return folder ? files.DisplayPath(folder.value()) : std::string();
        },
        [] {});
    WriteOutput("HKEY_CURRENT_USER\\Software\\Classes\n");
    return kExitOk;
}

int Unregister() {
    for (const std::string& removed : UnregisterShellIntegration())
        WriteOutput("HKEY_CURRENT_USER\\" + removed + "\n");
    return kExitOk;
}

}  // namespace velmora
