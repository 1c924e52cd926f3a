#include "container/restore_source.h"

#include <algorithm>

#include "base/messages.h"
#include "container/engine_failure.h"
#include "base/name_text.h"
#include "container/path_helpers.h"

namespace velmora {

OpenedHeader RestoreSource::Open() {
    // What is restored and what is deleted are the container that was read,
    // whatever its name comes to hold meanwhile. Its lock keeps a second run
    // off it.
    FileSystem& files = run_.files;
    const OpenedHeader header = OrFail(container_.Open(run_.state.FolderPath));
    identity_ = container_.identity();
    if (!OrFail(files.TryLock(container_.file())))
        ThrowFailure(
            Error{Text(Msg::kAlreadyWorkingOn, {files.DisplayPath(run_.state.FolderPath)})});
    return header;
}

void RestoreSource::OpenFolder() {
    const std::string parent = ParentOf(run_.state.FolderPath);
    std::string folder = parent.empty() ? "." : parent;
    if (folder.back() == ':')
        folder += '\\';  // a drive's root folder, not its current folder
    folder_ = OrFail(run_.files.OpenFolder(folder));
    const Result<EntryInfo> named = run_.files.InspectAt(folder_, Nombre(run_.state.FolderPath));
    if (!named || named->device != identity_.device || named->inode != identity_.inode)
        ThrowFailure(
            Error{Text(Msg::kChangedWhileReading, {run_.files.DisplayPath(run_.state.FolderPath)})});
}

bool RestoreSource::Holds(const std::string& name) {
    return run_.files.InspectAt(folder_, name).ok();
}

void RestoreSource::CheckNames(const std::vector<DecodedEntry>& entries,
                               const std::string& widest_root) {
    FileSystem& files = run_.files;
    const std::string parent = ParentOf(run_.state.FolderPath);
    const std::string folder = parent.empty() ? OrFail(files.CurrentFolder()) : parent;
    const std::size_t longest = OrFail(files.LongestName(folder));
    const std::size_t root_size = OrFail(files.NativePathSize(widest_root));
    auto refuse = [&](const DecodedEntry& entry, const std::string& why) {
        ThrowFailure(Error{Text(Msg::kNotRestorableHere, {ShownName(entry.name), why})});
    };
    // A character takes at most three bytes in the system's form: names
    // within a third of the limit need no conversion to be measured.
    for (const DecodedEntry& entry : entries) {
        std::size_t start = 1;
        while (start < entry.name.size()) {
            const std::size_t end = std::min(entry.name.find('\\', start), entry.name.size());
            const std::string component = entry.name.substr(start, end - start);
            if (component.size() * 3 > longest && files.NativeNameSize(component) > longest)
                refuse(entry, Text(Msg::kNamePartTooLong));
            if (const std::string why = files.UncreatableName(component); !why.empty())
                refuse(entry, why);
            start = end + 1;
        }
        if (root_size + entry.name.size() * 3 > files.LongestPath() &&
            root_size + OrFail(files.NativePathSize(entry.name)) > files.LongestPath())
            refuse(entry, Text(Msg::kPathTooLongForSystem));
    }
}

void RestoreSource::DeleteContainer() {
    FileSystem& files = run_.files;
    const int file = container_.file();
    OrFail(container_.CheckNotBeingWritten());
    OrFail(files.SetAttrOpen(file, 0));
    EntryInfo expected = OrFail(files.InspectOpen(file));
    const bool unchanged = expected.device == identity_.device &&
                           expected.inode == identity_.inode && expected.size == identity_.size &&
                           expected.modified_ns == identity_.modified_ns;
    container_.Close();
    const Result<bool> deleted =
        unchanged ? files.DeleteFileAt(folder_, Nombre(run_.state.FolderPath), expected)
                  : Result<bool>(false);
    if (deleted && deleted.value()) {
        (void)files.SyncFolderOpen(folder_);
        return;
    }
    ThrowFailure(Error{deleted ? Text(Msg::kRestoredButContainerChanged,
                                      {files.DisplayPath(run_.state.FolderPath)})
                               : deleted.error().message});
}

}  // namespace velmora
