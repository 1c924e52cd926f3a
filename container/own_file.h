#pragma once

#include <functional>
#include <string>

#include "platform/tree_ops.h"

namespace velmora {

// The names a run tries, in turn, for an entry of its own beside a
// container or a folder: `base`, then the base with 2, 3 ... `count`
// written between `before` and `after` ("x.antiguo2", ".velmora-1a2b3c4d-2",
// "Fotos (2)").
inline constexpr int kNumberedNames = 1000;
struct NumberedNames {
    std::string base;
    int count = kNumberedNames;
    std::string before;
    std::string after;

    std::string Name(int n) const {
        return n == 1 ? base : base + before + std::to_string(n) + after;
    }
};

// Gives each name in turn to `take` (create, make, rename to it) until it
// fails otherwise than with EEXIST (the name is taken): the name it took,
// or its failure (all taken: the last EEXIST).
Result<std::string> FirstFreeName(const NumberedNames& names,
                                  const std::function<Status(const std::string&)>& take);

// A file created new by this run, open for writing, and the name it took.
struct NumberedFile {
    int handle = -1;
    std::string name;
};
// Creates a file through `folder`'s handle under the first free name. A
// name found taken is offered to `clear` first; when it removed what held
// it (what a killed run left), the name is tried once more.
Result<NumberedFile> CreateNumberedFile(TreeOps& files, int folder, const NumberedNames& names,
                                        const std::function<bool(const std::string&)>& clear);
// Makes a folder through `folder`'s handle under the first free name.
Result<std::string> MakeNumberedFolder(TreeOps& files, int folder, const NumberedNames& names);
// Renames `from` inside `folder` to the first free name, never replacing.
Result<std::string> RenameToNumbered(TreeOps& files, int folder, const std::string& from,
                                     const NumberedNames& names);

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
