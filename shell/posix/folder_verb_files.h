#pragma once

#include <string>
#include <vector>

#include "shell/posix/desktop_file.h"
#include "shell/posix/folder_verbs.h"

namespace velmora {

// The per-user files of the folder verbs, relative to $XDG_DATA_HOME
// (data_home): for each verb a wrapper under velmora/ that runs the program
// in the folder's parent with the verb's argument, a Nemo action, a
// freedesktop.org file-manager action (PCManFM-Qt, Caja ...), a Thunar
// "Enviar a" entry, a Nautilus script and, for a verb whose icon is not the
// type's padlock, that icon drawn from its .ico file beside the program;
// and one Dolphin service menu with an action per verb. Menus offer the verbs for one selected
// local folder only. A Nemo action is hidden while one of the same name lies in a system data
// folder: Nemo would show both, and the system-wide one wins.
DesktopFiles FolderVerbFiles(const std::vector<FolderVerb>& verbs, const std::string& data_home,
                             const std::vector<std::string>& system_data);

}  // namespace velmora
