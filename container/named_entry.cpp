#include "container/named_entry.h"

#include "container/path_helpers.h"

namespace velmora {

Result<int> OpenFolderHolding(TreeOps& files, const std::string& path) {
    std::string parent = ParentOf(path);
    if (!parent.empty() && parent.back() == ':')
        parent += '\\';
    return files.OpenStartingFolder(parent.empty() ? "." : parent);
}

Result<EntryInfo> InspectNamed(TreeOps& files, const std::string& path) {
    const Result<int> folder = OpenFolderHolding(files, path);
    if (!folder)
        return folder.error();
    Result<EntryInfo> info = files.InspectAt(folder.value(), Nombre(path));
    (void)files.Close(folder.value());
    return info;
}

}  // namespace velmora
