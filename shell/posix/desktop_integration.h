#pragma once

#include <string>

#include "platform/posix/registry_store.h"

namespace velmora {

// Where the per-user desktop files go: $XDG_DATA_HOME and $XDG_CONFIG_HOME,
// or ~/.local/share and ~/.config.
struct DesktopFolders {
    std::string data_home;
    std::string config_home;
    static DesktopFolders FromEnvironment();
};

inline constexpr const char* kMimeType = "application/x-velmora-zol";
inline constexpr const char* kMimeIconName = "application-x-velmora-zol";
inline constexpr const char* kOpenDesktopFile = "velmora-zol.desktop";

// Renders what the registry store holds (the file type with its open command
// and icon, and the folder verb) into what Linux desktops read: a
// shared-mime-info package, the type's icon, a desktop entry that opens
// containers, the default application in mimeapps.list, a Dolphin service
// menu, a Nemo action and a Nautilus script for the folder verb. The
// launchers run small generated wrappers, so the program gets exactly one
// argument: the container's path followed by "/C", or the folder's path (run
// from the folder's parent, so the container lands beside it). Missing
// helper programs are skipped; nothing here stops the program.
void RenderDesktopIntegration(const RegistryStore& registry, const DesktopFolders& folders);

}  // namespace velmora
