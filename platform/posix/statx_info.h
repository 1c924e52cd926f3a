#pragma once

#include <fcntl.h>
#include <sys/stat.h>

namespace velmora {

// The fields of a statx answer in the form the rest of the layer reads.
struct stat StatOf(const struct statx& sx);

// True when the entry is the root of a mount (another file system, or a
// bind mount of a folder or of a single file, even from the same device).
// folder is the answer for the folder that lists the entry, asked with
// STATX_MNT_ID.
bool IsMountRoot(const struct statx& entry, const struct statx& folder);

}  // namespace velmora
