#pragma once

#include <string>
#include <vector>

namespace velmora {

// One file of the Linux desktop integration: where it goes, relative to a
// data folder ($XDG_DATA_HOME, or a system data folder such as /usr/share),
// its bytes, and whether it is executable.
struct DesktopFile {
    std::string path;
    std::string content;
    bool executable = false;
};

using DesktopFiles = std::vector<DesktopFile>;

}  // namespace velmora
