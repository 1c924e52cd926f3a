#pragma once

#include <string>

#include "platform/tree_ops.h"

namespace velmora {

// Opens, as a starting point, the folder that holds path: "" is the current
// folder, "X:" the drive's root folder (not its current folder).
Result<int> OpenFolderHolding(TreeOps& files, const std::string& path);

// What the file system says of the entry path names, not following a link,
// read through the handle of the folder that holds it.
Result<EntryInfo> InspectNamed(TreeOps& files, const std::string& path);

}  // namespace velmora
