#include "container/staging_folder.h"

#include <errno.h>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "base/messages.h"
#include "container/engine_failure.h"
#include "container/own_file.h"
#include "container/path_helpers.h"
#include "container/restore_source.h"
#include "container/wipe.h"
#include "platform/system_failure.h"

namespace velmora {
namespace {

constexpr int kStagingTries = 100;
constexpr int kLargestCopyNumber = 32767;

std::string Inside(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

// ".velmora-1a2b3c4d", ".velmora-1a2b3c4d-2" ...
NumberedNames StagingNames(const std::string& container_name) {
    return {StagingName(container_name), kStagingTries, "-"};
}

// Bytes of 255 over the whole file; its identity right after, for the
// delete. False when it could not be opened or written.
bool Overwrite(TreeOps& files, int folder, const DirEntry& entry, EntryInfo& overwritten) {
    Result<int> file = files.OpenAt(folder, entry.name, OpenMode::kReadWrite);
    if (!file && RefusalOf(file.error().code) == Refusal::kDenied &&
        files.SetAttrAt(folder, entry.name, 0, &entry.info))
        file = files.OpenAt(folder, entry.name, OpenMode::kReadWrite);
    if (!file)
        return false;
    Result<EntryInfo> identity = files.InspectOpen(file.value());
    bool done = identity && SameEntry(identity.value(), entry.info) && identity->links == 1;
    done = done && OverwriteWith255(files, file.value(), identity->size, false).ok();
    if (done)
        identity = files.InspectOpen(file.value());
    done = done && identity;
    if (done)
        overwritten = identity.value();
    (void)files.Close(file.value());
    return done;
}

}  // namespace

std::string StagingName(const std::string& container_name) {
    // FNV-1a, 32 bits.
    std::uint32_t hash = 2166136261u;
    for (const char c : container_name)
        hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(hash));
    return std::string(".velmora-") + digits;
}

std::string WidestStagingName(const std::string& container_name) {
    return StagingNames(container_name).Name(kStagingTries);
}

std::string StagingFolder::WidestPath() const {
    return Inside(parent_path_, WidestStagingName(container_name_));
}

void StagingFolder::RemoveLeftovers() {
    TreeOps& files = run_.files;
    const NumberedNames names = StagingNames(container_name_);
    for (int n = 1; n <= names.count; ++n) {
        const std::string name = names.Name(n);
        const Result<EntryInfo> found = files.InspectAt(parent_, name);
        if (!found || found->kind != EntryKind::kFolder)
            continue;
        const StagedWipe wiped = WipeStagedFolder(files, parent_, name, found.value(), true);
        if (wiped == StagedWipe::kHeld)
            continue;
        const std::string container =
            files.paths().DisplayPath(Inside(parent_path_, container_name_));
        run_.host.ShowMessage(
            wiped == StagedWipe::kRemoved
                ? Text(Msg::kStagingLeftoverRemoved, {container})
                : Text(Msg::kStagingLeftoverKept,
                       {container, files.paths().DisplayPath(Inside(parent_path_, name))}),
            MessageIcon::kInformation);
    }
}

int StagingFolder::Make(FolderHandles& folders, std::uint32_t id) {
    TreeOps& files = run_.files;
    name_ = OrFail(MakeNumberedFolder(files, parent_, StagingNames(container_name_)));
    made_ = true;
    const int handle = OrFail(files.OpenFolderAt(parent_, name_));
    identity_ = OrFail(files.InspectOpen(handle));
    made_mode_ = identity_.mode & 0777;
    folders.AddOpen(id, handle, identity_, Inside(parent_path_, name_));
    // The user's alone until published; a system without permissions
    // (FAT) keeps it as it can.
    if (Status own = files.SetPermissionsOpen(handle, 0700); !own && !UnsupportedHere(own.error()))
        ThrowFailure(own.error());
    (void)files.TryLock(handle);
    (void)files.SetAttrOpen(handle, kHidden);
    return handle;
}

void StagingFolder::CheckInPlace(const std::string& shown) {
    const Result<EntryInfo> now = run_.files.InspectAt(parent_, name_);
    if (!now || now->kind != EntryKind::kFolder || !SameFolder(now.value(), identity_))
        ThrowFailure(Error{Text(Msg::kStagedTreeChanged, {shown}), kNoLongerTheSame});
}

std::string StagingFolder::Publish(const std::string& root) {
    TreeOps& files = run_.files;
    // The path beside it, "root (2)" ...: its last name is the name taken.
    const Result<std::string> taken =
        FirstFreeName({root, kLargestCopyNumber, " (", ")"}, [&](const std::string& candidate) {
            return files.RenameAt(parent_, name_, Nombre(candidate));
        });
    if (!taken && taken.error().code == EEXIST)
        ThrowFailure(Error{Text(Msg::kTooManyRestoredCopies, {files.paths().DisplayPath(root)})});
    std::string path = OrFail(taken);
    published_ = true;
    OrFail(files.SyncFolderOpen(parent_));
    return path;
}

void DiscardStaged(Run& run, int& writing, FolderHandles& folders,
                   std::optional<StagingFolder>& staging) {
    if (writing >= 0)
        (void)run.files.Close(writing);
    writing = -1;
    folders.CloseAll();
    if (staging)
        (void)staging->Remove();
}

bool StagingFolder::Remove() {
    if (!made_ || published_)
        return true;
    return WipeStagedFolder(run_.files, parent_, name_, identity_, false) == StagedWipe::kRemoved;
}

Status CheckPublishable(TreeOps& files, const std::string& container_path) {
    const std::string parent_path = ParentOf(container_path);
    const Result<int> parent = files.OpenStartingFolder(parent_path.empty() ? "." : parent_path);
    if (!parent)
        return parent.error();
    const std::string first = StagingName(Nombre(container_path)) + ".prueba";
    const std::string second = first + "2";
    // What a killed probe left goes first.
    for (const std::string& name : {first, second})
        if (const Result<EntryInfo> left = files.InspectAt(parent.value(), name);
            left && left->kind == EntryKind::kFolder)
            (void)WipeStagedFolder(files, parent.value(), name, left.value(), true);
    // A folder that holds something (an empty folder: nothing is written,
    // nothing to flush), renamed, then removed by identity.
    const Status made = files.MakeFolderAt(parent.value(), first);
    const Result<int> probe =
        made ? files.OpenFolderAt(parent.value(), first) : Result<int>(made.error());
    if (!probe) {
        (void)files.Close(parent.value());
        return probe.error();
    }
    const Result<EntryInfo> identity = files.InspectOpen(probe.value());
    const Status inner_made = files.MakeFolderAt(probe.value(), "f");
    const Result<EntryInfo> inner =
        inner_made ? files.InspectAt(probe.value(), "f") : Result<EntryInfo>(inner_made.error());
    const Status renamed = !identity ? Status(identity.error())
                           : !inner  ? Status(inner.error())
                                     : files.RenameAt(parent.value(), first, second);
    (void)files.Close(probe.value());
    // Reopened under the name it has now (a system that reaches entries
    // through their folder's path must not be sent to the old one).
    const std::string now_named = renamed ? second : first;
    if (identity && inner) {
        if (const Result<int> reopened = files.OpenFolderAt(parent.value(), now_named); reopened) {
            const Result<EntryInfo> again = files.InspectOpen(reopened.value());
            if (again && SameFolder(again.value(), identity.value()))
                (void)files.RemoveFolderAt(reopened.value(), "f", inner.value());
            (void)files.Close(reopened.value());
        }
    }
    if (identity)
        (void)files.RemoveFolderAt(parent.value(), now_named, identity.value());
    (void)files.Close(parent.value());
    if (!renamed && renamed.error().code == ENOSYS)
        return Error{Text(Msg::kDriveCannotRestore, {files.paths().DisplayPath(container_path)}),
                     kNotRestorableCode};
    return renamed;
}

StagedWipe WipeStagedFolder(TreeOps& files, int parent, const std::string& name,
                            const EntryInfo& expected, bool unlocked_only) {
    const Result<int> root = files.OpenFolderAt(parent, name);
    if (!root)
        return StagedWipe::kLeft;
    const Result<EntryInfo> root_identity = files.InspectOpen(root.value());
    const Result<bool> free = unlocked_only ? files.TryLock(root.value()) : Result<bool>(true);
    if (!root_identity || !SameFolder(root_identity.value(), expected) || !free || !free.value()) {
        (void)files.Close(root.value());
        return free && !free.value() ? StagedWipe::kHeld : StagedWipe::kLeft;
    }
    // A few handles at a time, whatever the depth: each folder is opened
    // again from its parent's when needed, checked to be the one listed.
    FolderHandles folders(files, 16);
    folders.AddOpen(0, root.value(), root_identity.value(), name);
    bool all = true;
    std::vector<std::uint32_t> found;  // parents before their subfolders
    std::vector<std::uint32_t> pending = {0};
    std::uint32_t next_id = 1;
    while (!pending.empty()) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        found.push_back(id);
        const Result<int> folder = folders.Get(id);
        if (!folder) {
            all = false;
            continue;
        }
        (void)files.SetAttrOpen(folder.value(), 0);
        (void)files.SetPermissionsOpen(folder.value(), 0700);
        const Result<std::vector<DirEntry>> listing = files.ListFolderAt(folder.value());
        if (!listing) {
            all = false;
            continue;
        }
        std::vector<std::pair<const DirEntry*, EntryInfo>> overwritten;
        for (const DirEntry& entry : listing.value()) {
            if (entry.kind == EntryKind::kFolder && !entry.info.mount_root) {
                folders.Add(next_id, id, entry.name, entry.info);
                pending.push_back(next_id++);
            } else if (EntryInfo after; entry.kind == EntryKind::kFile &&
                                        Overwrite(files, folder.value(), entry, after)) {
                overwritten.emplace_back(&entry, after);
            } else if (entry.kind == EntryKind::kFile) {
                all = false;  // what could not be overwritten stays
            } else {
                // A link or anything else is only a name here: it goes.
                const Result<EntryInfo> now = files.InspectAt(folder.value(), entry.name);
                const Result<bool> gone =
                    now && now->kind != EntryKind::kFile && now->kind != EntryKind::kFolder
                        ? files.DeleteFileAt(folder.value(), entry.name, now.value())
                        : Result<bool>(false);
                all = all && gone && gone.value();
            }
        }
        // The container is kept: a failed flush still deletes them.
        if (!overwritten.empty())
            (void)files.SyncFileSystemOpen(folder.value());
        for (const auto& [entry, after] : overwritten) {
            const Result<bool> gone = files.DeleteFileAt(folder.value(), entry->name, after);
            all = all && gone && gone.value();
        }
    }
    for (auto it = found.rbegin(); it != found.rend() && *it != 0; ++it) {
        const Result<int> holder = folders.Get(folders.Parent(*it));
        folders.Release(*it);
        const Result<bool> gone =
            holder ? files.RemoveFolderAt(holder.value(), folders.Name(*it), folders.Identity(*it))
                   : Result<bool>(false);
        all = all && gone && gone.value();
    }
    folders.CloseAll();
    const Result<bool> gone = files.RemoveFolderAt(parent, name, root_identity.value());
    return all && gone && gone.value() ? StagedWipe::kRemoved : StagedWipe::kLeft;
}

void KeepDetail(const Status& set, bool& skipped) {
    if (set)
        return;
    if (!UnsupportedHere(set.error()))
        ThrowFailure(set.error());
    skipped = true;
}

}  // namespace velmora
