#pragma once

#include <functional>

#include "platform/file_system.h"

namespace velmora {

// What a start without an argument does on Windows before the instructions
// window: the registration into the registry (see Win32Registry), then the
// shell is told that associations changed so Explorer shows the new icon.
void RegisterShellIntegration(FileSystem& files, const std::function<void()>& pump_events);

}  // namespace velmora
