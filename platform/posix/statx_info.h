#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/file_system.h"

namespace velmora {

// The fields of a statx answer in the form the rest of the layer reads.
struct stat StatOf(const struct statx& sx);

// True when the entry is the root of a mount (another file system, or a
// bind mount of a folder or of a single file, even from the same device).
// folder is the answer for the folder that lists the entry, asked with
// STATX_MNT_ID.
// What the rest of the program reads of an entry.
EntryInfo InfoOf(const struct stat& st);
// The same with the mount id, and the mount-root mark when folder (the
// answer for the folder that holds the entry) is given.
EntryInfo InfoOf(const struct statx& sx, const struct statx* folder = nullptr);

bool IsMountRoot(const struct statx& entry, const struct statx& folder);

}  // namespace velmora
