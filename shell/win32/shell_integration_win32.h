#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velmora {

// What a start without an argument does on Windows before the instructions
// window: the registration into the registry (see Win32Registry), then the
// shell is told that associations changed so Explorer shows the new icon.
// program_folder answers with the running program's folder ("C:\Velmora",
// "D:\" at a drive's root).
void RegisterShellIntegration(const std::function<std::string()>& program_folder,
                              const std::function<void()>& pump_events);

// Removes what the registration wrote for the current user: the program
// identifier, the ".zol" binding (only while it names that identifier) and
// both folder verbs, then the shell is told. Returns the keys removed.
std::vector<std::string> UnregisterShellIntegration();

}  // namespace velmora
