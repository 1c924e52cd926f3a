#pragma once

#include <string>
#include <vector>

#include "platform/posix/registry_store.h"

namespace velmora {

// Where the per-user desktop files go: $XDG_DATA_HOME and $XDG_CONFIG_HOME,
// or ~/.local/share and ~/.config; and the system's data folders,
// $XDG_DATA_DIRS or /usr/local/share and /usr/share.
struct DesktopFolders {
    std::string data_home;
    std::string config_home;
    std::vector<std::string> system_data;
    static DesktopFolders FromEnvironment();
};

inline constexpr const char* kMimeType = "application/x-velmora-zol";
inline constexpr const char* kMimeIconName = "application-x-velmora-zol";
inline constexpr const char* kOpenDesktopFile = "velmora-zol.desktop";
inline constexpr const char* kServiceMenuFile = "velmora-encriptar.desktop";
inline constexpr const char* kNemoActionFile = "velmora-encriptar.nemo_action";
inline constexpr const char* kMimePackageFile = "velmora.xml";
// The launch wrappers, beside the program when it is installed system-wide
// and in $XDG_DATA_HOME/velmora for a per-user registration.
inline constexpr const char* kOpenWrapper = "velmora-open";
inline constexpr const char* kEncryptWrapper = "velmora-encriptar";

// Renders what the registry store holds (the file type with its open command
// and icon, and the folder verb) into what Linux desktops read: a
// shared-mime-info package, the type's icon, a desktop entry that opens
// containers, the default application in mimeapps.list, a Dolphin service
// menu, a Nemo action and a Nautilus script for the folder verb. The
// launchers run small generated wrappers, so the program gets exactly one
// argument: the container's path followed by "/C", or the folder's path (run
// from the folder's parent, so the container lands beside it). Missing
// helper programs are skipped; nothing here stops the program.
// Where a system-wide installation already provides all this for the same
// program (the Debian package), only what has no system-wide place is
// written, the Nautilus script and its wrapper, and the per-user copies an
// earlier registration left are removed, so no file manager shows anything
// twice.
void RenderDesktopIntegration(const RegistryStore& registry, const DesktopFolders& folders);

}  // namespace velmora
