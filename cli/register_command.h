#pragma once

#include "platform/file_system.h"

namespace velmora {

// `velmora-cli register`: writes this user's shell integration, as starting
// velmora without an argument does, and prints where it went.
int Register(FileSystem& files);

// `velmora-cli unregister`: removes this user's shell integration and
// prints what was removed.
int Unregister();

}  // namespace velmora
