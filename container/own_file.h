#pragma once

#include <string>

#include "platform/tree_ops.h"

namespace velmora {

// The names a run tries, in turn, for a file of its own beside a container
// (a conversion's, a repair's): `base`, then base2, base3 ...
inline constexpr int kNumberedNames = 1000;
inline std::string NumberedName(const std::string& base, int n) {
    return n == 1 ? base : base + std::to_string(n);
}

// Deletes, through its folder's handle, a file this run created (a partial
// container, a conversion's or a repair's new one), but only while `name`
// still holds that very file: another program's file put there meanwhile
// is never touched.
inline void DeleteOwnFile(TreeOps& files, int folder, const std::string& name,
                          const EntryInfo& created) {
    const Result<EntryInfo> now = files.InspectAt(folder, name);
    if (now && SameEntry(now.value(), created))
        (void)files.DeleteFileAt(folder, name, now.value());
}

}  // namespace velmora
