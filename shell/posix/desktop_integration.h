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
// The legacy folder verb's icon (an open padlock): the package draws it in
// every hicolor size, a registration takes it from velmora-legacy.ico.
inline constexpr const char* kLegacyVerbIconName = "velmora-legacy";
// The file type's description in English, the desktop files' default; the
// registered title is its Spanish translation.
inline constexpr const char* kEnglishTypeTitle = "Folder encrypted by Velmora";
inline constexpr const char* kOpenDesktopFile = "velmora-zol.desktop";
inline constexpr const char* kMimePackageFile = "velmora.xml";
// The wrapper a double-click on a container runs: beside the program when it
// is installed system-wide, in $XDG_DATA_HOME/velmora for a per-user
// registration (with the folder verbs' wrappers).
inline constexpr const char* kOpenWrapper = "velmora-open";
// The package's Nautilus extension (nautilus-python reads the extensions
// folder of every system data folder); beside it no Nautilus script is
// written, so Nautilus never shows a verb twice.
inline constexpr const char* kNautilusExtensionPath = "nautilus-python/extensions/velmora.py";

// Renders what the registry store holds (the file type with its open command
// and icon, and the folder verbs) into what Linux desktops read: a
// shared-mime-info package, the type's icon, a desktop entry that opens
// containers and the default application in mimeapps.list, and for each
// folder verb a Dolphin service menu action, a Nemo action, a file-manager
// action, a Thunar "Enviar a" entry and a Nautilus script. The launchers run
// small generated wrappers, so the program gets exactly one argument: the
// container's path followed by "/C", or the verb's prefix and the folder's
// path (run from the folder's parent, so the container lands beside it).
// A file that a system data folder already holds under the same name (the
// Debian package's) is not written per user, and a per-user copy left by
// an earlier registration is removed: the system's file wins, and no file
// manager shows a verb twice; Nautilus scripts give way to the package's
// Nautilus extension. Missing helper programs are skipped; nothing here
// stops the program.
void RenderDesktopIntegration(const RegistryStore& registry, const DesktopFolders& folders);

// Removes this user's registration: the registry store and the wrappers
// ($XDG_DATA_HOME/velmora), every desktop file a registration writes, and
// the type's lines in mimeapps.list; the caches are refreshed. Returns what
// was removed.
std::vector<std::string> RemoveDesktopIntegration(const DesktopFolders& folders);

}  // namespace velmora
