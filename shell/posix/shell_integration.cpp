#include "shell/posix/shell_integration.h"

#include "shell/registration.h"

namespace velmora {

void RegisterShellIntegration(RegistryStore& store,
                              const std::function<std::string()>& program_folder,
                              const std::function<void()>& pump_events,
                              const DesktopFolders& folders) {
    RegistrationContext context{store, program_folder, '/', "velmora", pump_events};
    RegistrarAsociacion(context);
    RenderDesktopIntegration(store, folders);
}

}  // namespace velmora
