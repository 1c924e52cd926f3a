#pragma once

#include <string>

#include "shell/posix/desktop_integration.h"

namespace velmora {

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

}  // namespace velmora
