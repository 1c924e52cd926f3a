#include "container/staged_restore.h"

#include <errno.h>

#include <algorithm>

#include "base/messages.h"
#include "base/name_text.h"
#include "container/engine_failure.h"
#include "container/path_helpers.h"

namespace velmora {
namespace {

constexpr int kLargestCopyNumber = 32767;
constexpr int kStagingTries = 1000;
constexpr std::uint32_t kRootId = 0;

// "\A\B\" gives "\A\" and "B"; "\A\b" gives "\A\" and "b".
std::pair<std::string, std::string> FolderAndName(const std::string& entry_name, bool folder) {
    const std::size_t end = folder ? entry_name.size() - 1 : entry_name.size();
    const std::size_t slash = entry_name.rfind('\\', end - 1);
    return {entry_name.substr(0, slash + 1), entry_name.substr(slash + 1, end - slash - 1)};
}

std::string Numbered(const std::string& base, int n) {
    return n == 1 ? base : base + " (" + std::to_string(n) + ")";
}

}  // namespace

void StagedRestore::ReadIndex() {
    index_ = OrFail(reader_.ReadIndex());
    const std::string& container = run_.state.FolderPath;
    root_ = container.substr(0, container.size() - 4);
    const std::string widest_root = Numbered(root_, kLargestCopyNumber);
    const std::string parent = ParentOf(root_);
    const std::string widest_staging = (parent.empty() ? "" : parent + "\\") + "." + Nombre(root_) +
                                       ".restaurando (" + std::to_string(kStagingTries) + ")";
    source_.CheckNames(index_.entries,
                       widest_staging.size() > widest_root.size() ? widest_staging : widest_root);
}

void StagedRestore::Restore() {
    run_.host.SetCaption(Text(Msg::kDecodingCaption));
    MakeStagingFolder();
    run_.state.Restoring = true;
    try {
        std::int64_t done = 0;
        for (const DecodedEntry& entry : index_.entries) {
            if (entry.size < 0) {
                MakeFolder(entry);
                run_.host.PumpEvents();
                StopIfCancelled();
            } else {
                MakeFile(entry, done);
            }
            run_.host.CountWork({&entry - index_.entries.data() + 1,
                                 static_cast<std::int64_t>(index_.entries.size()), done,
                                 run_.state.TotalBytes});
        }
        OrFail(reader_.ReadEnd());
        SetFolderDetails();
        OrFail(run_.files.SyncFileSystemOpen(OrFail(folders_.Get(kRootId))));
        GiveName();
    } catch (const EngineFailure&) {
        run_.state.Restoring = false;
        RemoveMade();
        run_.files.CloseAll();
        throw;
    }
    run_.state.Restoring = false;
    if (!run_.options.keep_container)
        source_.DeleteContainer();
    run_.files.CloseAll();
}

// Hidden by its leading dot on POSIX and by its attribute on Windows, and
// locked, so that no other run takes it for a folder to encode.
void StagedRestore::MakeStagingFolder() {
    FileSystem& files = run_.files;
    const std::string base = "." + Nombre(root_) + ".restaurando";
    Status made = Error{""};
    for (int n = 1; n <= kStagingTries; ++n) {
        staging_name_ = Numbered(base, n);
        made = files.MakeFolderAt(source_.folder(), staging_name_);
        if (made || made.error().code != EEXIST)
            break;
    }
    OrFail(made);
    const int handle = OrFail(files.OpenFolderAt(source_.folder(), staging_name_));
    staging_identity_ = OrFail(files.InspectOpen(handle));
    const std::string parent = ParentOf(root_);
    folders_.AddOpen(kRootId, handle, staging_identity_,
                     parent.empty() ? staging_name_ : parent + "\\" + staging_name_);
    folder_ids_["\\"] = kRootId;
    folder_entries_.push_back(nullptr);
    (void)files.TryLock(handle);
    (void)files.SetAttrOpen(handle, kHidden);
}

void StagedRestore::MakeFolder(const DecodedEntry& entry) {
    FileSystem& files = run_.files;
    const auto [folder, name] = FolderAndName(entry.name, true);
    const auto parent = folder_ids_.find(folder);
    if (parent == folder_ids_.end())
        ThrowFailure(Error{Text(Msg::kDamagedMissingFolder, {ShownName(entry.name)})});
    const int parent_handle = OrFail(folders_.Get(parent->second));
    OrFail(files.MakeFolderAt(parent_handle, name));
    const int handle = OrFail(files.OpenFolderAt(parent_handle, name));
    const EntryInfo identity = OrFail(files.InspectOpen(handle));
    const auto id = static_cast<std::uint32_t>(folder_entries_.size());
    folders_.Add(id, parent->second, name, identity);
    folders_.Adopt(id, handle);
    made_.push_back({parent->second, name, identity, true, id});
    folder_ids_[entry.name] = id;
    folder_entries_.push_back(&entry);
}

void StagedRestore::MakeFile(const DecodedEntry& entry, std::int64_t& done) {
    FileSystem& files = run_.files;
    const auto [folder, name] = FolderAndName(entry.name, false);
    const auto parent = folder_ids_.find(folder);
    if (parent == folder_ids_.end())
        ThrowFailure(Error{Text(Msg::kDamagedMissingFolder, {ShownName(entry.name)})});
    const int output =
        OrFail(files.OpenAt(OrFail(folders_.Get(parent->second)), name, OpenMode::kCreateNew));
    writing_ = output;
    made_.push_back({parent->second, name, OrFail(files.InspectOpen(output)), false, 0});
    // Pieces of zeros are not written: the file's size, set last, leaves
    // holes there, and a sparse file comes back sparse.
    std::int64_t written = 0;
    bool holes = false;
    OrFail(reader_.ReadFileData(entry, [&](const std::uint8_t* data, std::size_t length) {
        StopIfCancelled();
        const bool zeros = std::all_of(data, data + length, [](std::uint8_t b) { return b == 0; });
        if (!zeros)
            if (Status wrote = files.Write(output, written, data, length); !wrote)
                return wrote;
        holes = holes || zeros;
        written += static_cast<std::int64_t>(length);
        return Status::Ok();
    }));
    if (holes)
        OrFail(files.SetSizeOpen(output, written));
    OrFail(files.SetPermissionsOpen(output, entry.mode));
    SetAttributes(output, name, entry.attributes);
    OrFail(files.SetModifiedOpen(output, entry.modified_ns));
    writing_ = -1;
    OrFail(files.Close(output));
    done += entry.size;
    run_.host.AdvanceProgress(done * 10 / (run_.state.TotalBytes + 1));
}

// Only attributes the entry does not have already are written, after its
// permissions: where the system keeps none of its own (POSIX), what a name
// or its permissions already say needs no extended attribute.
void StagedRestore::SetAttributes(int handle, const std::string& name, std::uint8_t stored) {
    const int wanted = stored & ~kFolder;
    const Result<int> now = run_.files.GetAttrOpen(handle, name);
    if (now && (now.value() & ~kFolder) == wanted)
        return;
    OrFail(run_.files.SetAttrOpen(handle, wanted));
}

// Innermost folders first, the root last: a folder's own time and
// permissions are set once nothing more is made inside it.
void StagedRestore::SetFolderDetails() {
    FileSystem& files = run_.files;
    auto set = [&](std::uint32_t id, std::uint8_t attributes, std::uint32_t mode,
                   std::int64_t modified_ns) {
        const int handle = OrFail(folders_.Get(id));
        OrFail(files.SetPermissionsOpen(handle, mode));
        SetAttributes(handle, id == kRootId ? Nombre(root_) : folders_.Name(id), attributes);
        OrFail(files.SetModifiedOpen(handle, modified_ns));
    };
    for (std::uint32_t id = static_cast<std::uint32_t>(folder_entries_.size()) - 1; id > kRootId;
         --id) {
        const DecodedEntry& entry = *folder_entries_[id];
        set(id, entry.attributes, entry.mode, entry.modified_ns);
    }
    set(kRootId, index_.folder_attributes, index_.folder_mode, index_.folder_modified_ns);
}

// NAME, or the first of NAME (2), NAME (3) ... that is free: the rename
// never replaces what is there.
void StagedRestore::GiveName() {
    FileSystem& files = run_.files;
    for (int n = 1;; ++n) {
        if (n > kLargestCopyNumber)
            ThrowFailure(Error{Text(Msg::kTooManyRestoredCopies, {files.DisplayPath(root_)})});
        const std::string candidate = Numbered(root_, n);
        const Status renamed = files.RenameAt(source_.folder(), staging_name_, Nombre(candidate));
        if (!renamed && renamed.error().code == EEXIST)
            continue;
        OrFail(renamed);
        run_.state.RestoredPath = candidate + "\\";
        named_ = true;
        break;
    }
    OrFail(files.SyncFolderOpen(source_.folder()));
}

// "Cancelar" pressed since the last look (the reader and the loop let the
// windows' events run): what was made goes, the container stays, and the
// program ends.
void StagedRestore::StopIfCancelled() {
    if (!run_.state.CancelRequested)
        return;
    run_.state.Restoring = false;
    RemoveMade();
    run_.files.CloseAll();
    run_.host.EndProgram();
}

void StagedRestore::RemoveMade() {
    FileSystem& files = run_.files;
    if (named_)
        return;  // the tree is in place: it stays
    if (writing_ >= 0)
        (void)files.Close(writing_);
    writing_ = -1;
    auto writable = [&](std::uint32_t id) {
        if (Result<int> handle = folders_.Get(id); handle) {
            (void)files.SetAttrOpen(handle.value(), 0);
            (void)files.SetPermissionsOpen(handle.value(), 0700);
        }
    };
    writable(kRootId);
    for (const Made& made : made_)
        if (made.is_folder)
            writable(made.id);
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
        const Result<int> folder = folders_.Get(it->folder);
        if (!folder)
            continue;
        if (it->is_folder) {
            folders_.Release(it->id);
            (void)files.RemoveFolderAt(folder.value(), it->name, it->identity);
            continue;
        }
        const Result<EntryInfo> now = files.InspectAt(folder.value(), it->name);
        if (now && now->device == it->identity.device && now->inode == it->identity.inode)
            (void)files.DeleteFileAt(folder.value(), it->name, now.value());
    }
    folders_.Release(kRootId);
    (void)files.RemoveFolderAt(source_.folder(), staging_name_, staging_identity_);
}

}  // namespace velmora
