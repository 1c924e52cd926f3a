#pragma once

#include <string>

#include "platform/file_system.h"

namespace velmora {

// Deletes, through its folder's handle, a file this run created (a partial
// container, a conversion's or a repair's new one), but only while `name`
// still holds that very file: another program's file put there meanwhile
// is never touched.
inline void DeleteOwnFile(FileSystem& files, int folder, const std::string& name,
                          const EntryInfo& created) {
    const Result<EntryInfo> now = files.InspectAt(folder, name);
    if (now && now->device == created.device && now->inode == created.inode)
        (void)files.DeleteFileAt(folder, name, now.value());
}

}  // namespace velmora
