#pragma once

namespace velmora {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed, so that
// no file the program opens later takes one of them and receives what is
// meant for standard output or standard error. Call it before anything is
// opened.
void OpenMissingStandardDescriptors();

}  // namespace velmora
