#pragma once

#include <functional>
#include <string>

#include "platform/posix/registry_store.h"
#include "shell/posix/desktop_integration.h"

namespace velmora {

// What a start without an argument does on Linux before the instructions
// window: the registration into the per-user registry store, then its
// rendering for the desktop. program_folder answers with the running
// program's folder as the user writes it ("/opt/velmora/bin").
void RegisterShellIntegration(RegistryStore& store,
                              const std::function<std::string()>& program_folder,
                              const std::function<void()>& pump_events,
                              const DesktopFolders& folders);

}  // namespace velmora
