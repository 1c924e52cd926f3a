#pragma once

#include <string>

#include "platform/posix/registry_store.h"
#include "shell/posix/desktop_file.h"

namespace velmora {

// The per-user files of the ".zol" file type, relative to $XDG_DATA_HOME
// (data_home): the shared-mime-info package (the type, its icon and generic
// icon, an English comment with the registered Spanish title as its Spanish
// translation, and velmora.hlp as plain text), the padlock icon taken from
// the registered icon file, the wrapper that hands the program a
// container's path followed by "/C", and the hidden desktop entry that runs
// it. Nothing when the store holds no file type.
DesktopFiles FileTypeFiles(const RegistryStore& registry, const std::string& data_home);

}  // namespace velmora
