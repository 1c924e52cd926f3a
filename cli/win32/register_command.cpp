#include "cli/register_command.h"

#include "cli/commands.h"
#include "cli/console.h"
#include "shell/win32/shell_integration_win32.h"

namespace velmora {

int Register(FileSystem& files) {
    RegisterShellIntegration(files, [] {});
    WriteOutput("HKEY_CURRENT_USER\\Software\\Classes\n");
    return kExitOk;
}

}  // namespace velmora
