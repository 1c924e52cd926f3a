#include "container/folder_handles.h"

#include "base/messages.h"
#include "container/path_helpers.h"

namespace velmora {

void FolderHandles::AddOpen(std::uint32_t id, int handle, const EntryInfo& identity,
                            std::string path) {
    Folder& folder = folders_[id];
    folder.name = std::move(path);
    folder.identity = identity;
    folder.handle = handle;
    folder.pinned = true;
}

void FolderHandles::Add(std::uint32_t id, std::uint32_t parent, std::string name,
                        const EntryInfo& identity) {
    Folder& folder = folders_[id];
    folder.parent = parent;
    folder.name = std::move(name);
    folder.identity = identity;
}

void FolderHandles::Adopt(std::uint32_t id, int handle) {
    Folder& folder = folders_.at(id);
    const bool was_open = folder.handle >= 0;
    if (was_open)
        (void)files_.Close(folder.handle);
    folder.handle = handle;
    Touch(id, folder, !was_open);
}

std::string FolderHandles::PathOf(std::uint32_t id) const {
    const Folder& folder = folders_.at(id);
    if (folder.parent == kNoParent)
        return folder.name;
    return PathOf(folder.parent) + "\\" + folder.name;
}

Result<int> FolderHandles::Get(std::uint32_t id) {
    const auto found = folders_.find(id);
    if (found == folders_.end())
        return Error{Text(Msg::kUnknownFolder), EINVAL};
    if (found->second.handle >= 0) {
        Touch(id, found->second, false);
        return found->second.handle;
    }
    Result<int> parent = Get(found->second.parent);
    if (!parent)
        return parent.error();
    Folder& folder = folders_.at(id);
    Result<int> opened = files_.OpenFolderAt(parent.value(), folder.name);
    if (!opened)
        return opened.error();
    const Result<EntryInfo> now = files_.InspectOpen(opened.value());
    if (!now || !SameFolder(now.value(), folder.identity)) {
        (void)files_.Close(opened.value());
        return Error{Text(Msg::kFolderNoLongerTheSame, {files_.paths().DisplayPath(PathOf(id))}),
                     kNoLongerTheSame};
    }
    folder.handle = opened.value();
    Touch(id, folder, true);
    return folder.handle;
}

void FolderHandles::Touch(std::uint32_t id, Folder& folder, bool just_opened) {
    if (folder.pinned)
        return;
    if (!just_opened)
        recent_.erase(folder.use);
    recent_.push_front(id);
    folder.use = recent_.begin();
    while (recent_.size() > keep_open_) {
        Folder& oldest = folders_.at(recent_.back());
        (void)files_.Close(oldest.handle);
        oldest.handle = -1;
        recent_.pop_back();
    }
}

void FolderHandles::Release(std::uint32_t id) {
    Folder& folder = folders_.at(id);
    if (folder.handle < 0)
        return;
    (void)files_.Close(folder.handle);
    folder.handle = -1;
    if (!folder.pinned)
        recent_.erase(folder.use);
}

void FolderHandles::CloseAll() {
    for (auto& [id, folder] : folders_)
        if (folder.handle >= 0) {
            (void)files_.Close(folder.handle);
            folder.handle = -1;
        }
    recent_.clear();
}

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
