#pragma once

#include "platform/file_system.h"

namespace velmora {

// velmora-cli's arguments, read and carried out on the given file system.
int CliMain(int argc, char** argv, FileSystem& files);

}  // namespace velmora
