#pragma once

#include <string>
#include <vector>

namespace velmora {

// Runs a helper program found on PATH with its output discarded and waits
// for it. False when it could not be started or did not exit with 0.
bool RunQuietly(const std::vector<std::string>& argv);

}  // namespace velmora
