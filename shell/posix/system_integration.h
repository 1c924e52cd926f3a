#pragma once

#include <string>
#include <vector>

#include "shell/posix/desktop_integration.h"

namespace velmora {

// The Exec line of a desktop entry that opens containers through the given
// wrapper.
std::string OpenEntryExecLine(const std::string& open_wrapper);

// True when one of the system's data folders holds the desktop entry for
// containers that runs the open wrapper beside the program in
// program_folder: a system-wide installation of that same program then
// provides the file type, its icons, the desktop entry and the folder verb
// for Dolphin and Nemo to every user.
bool ProvidedSystemWide(const std::string& program_folder,
                        const std::vector<std::string>& system_data);

// Removes the per-user files of a registration that the system-wide
// installation provides (file type, icon, desktop entry, open wrapper,
// Dolphin service menu, Nemo action), and refreshes the per-user caches.
void RemoveUserCopies(const DesktopFolders& folders);

}  // namespace velmora
