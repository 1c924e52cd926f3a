#include "container/own_file.h"

#include <errno.h>

namespace velmora {

Result<std::string> FirstFreeName(const NumberedNames& names,
                                  const std::function<Status(const std::string&)>& take) {
    Status taken = Error{"", EEXIST};
    for (int n = 1; n <= names.count; ++n) {
        const std::string name = names.Name(n);
        taken = take(name);
        if (taken)
            return name;
        if (taken.error().code != EEXIST)
            break;
    }
    return taken.error();
}

Result<NumberedFile> CreateNumberedFile(TreeOps& files, int folder, const NumberedNames& names,
                                        const std::function<bool(const std::string&)>& clear) {
    int handle = -1;
    const Result<std::string> name = FirstFreeName(names, [&](const std::string& candidate) {
        Result<int> created = files.OpenAt(folder, candidate, OpenMode::kCreateNew);
        if (!created && created.error().code == EEXIST && clear(candidate))
            created = files.OpenAt(folder, candidate, OpenMode::kCreateNew);
        if (!created)
            return Status(created.error());
        handle = created.value();
        return Status::Ok();
    });
    if (!name)
        return name.error();
    return NumberedFile{handle, name.value()};
}

Result<std::string> MakeNumberedFolder(TreeOps& files, int folder, const NumberedNames& names) {
    return FirstFreeName(
        names, [&](const std::string& candidate) { return files.MakeFolderAt(folder, candidate); });
}

Result<std::string> RenameToNumbered(TreeOps& files, int folder, const std::string& from,
                                     const NumberedNames& names) {
    return FirstFreeName(names, [&](const std::string& candidate) {
        return files.RenameAt(folder, from, candidate);
    });
}

}  // namespace velmora
