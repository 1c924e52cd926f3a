#pragma once

#include <functional>
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

// True when a per-user file is not needed because one of the system's data
// folders provides it: a file there under the same relative path (for the
// open wrapper: the desktop entry that runs it; for a Nautilus script: the
// package's Nautilus extension, which offers both verbs). Files that have
// no system-wide place (the registry store, the folder verbs' wrappers) are
// never provided.
bool ProvidedSystemWide(const std::string& relative_path, const DesktopFolders& folders);

// Runs update-mime-database or update-desktop-database on the per-user
// folder that holds relative_path, when it is one of theirs.
void RefreshCacheOf(const std::string& relative_path, const DesktopFolders& folders);

// Runs a helper program found on PATH with its output discarded and waits
// for it. False when it could not be started or did not exit with 0.
bool RunQuietly(const std::vector<std::string>& argv);

// What a start without an argument does on Linux before the instructions
// window: the registration into the per-user registry store, then its
// rendering for the desktop. program_folder answers with the running
// program's folder as the user writes it ("/opt/velmora/bin").
void RegisterShellIntegration(RegistryStore& store,
                              const std::function<std::string()>& program_folder,
                              const std::function<void()>& pump_events,
                              const DesktopFolders& folders);

}  // namespace velmora
