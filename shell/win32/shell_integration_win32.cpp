#include "shell/win32/shell_integration_win32.h"

#include <windows.h>

#include <shlobj.h>

#include "shell/registration.h"
#include "shell/win32/win32_registry.h"

namespace velmora {

void RegisterShellIntegration(const std::function<std::string()>& program_folder,
                              const std::function<void()>& pump_events) {
    Win32Registry registry;
    RegistrationContext context{registry, program_folder, '\\', "velmora.exe", pump_events};
    RegistrarAsociacion(context);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

}  // namespace velmora
