#include "container/staged_restore.h"

#include <algorithm>

#include "base/messages.h"
#include "base/name_text.h"
#include "container/engine_failure.h"
#include "container/path_helpers.h"

namespace velmora {
namespace {

constexpr std::uint32_t kRootId = 0;

// "\A\B\" gives "\A\" and "B"; "\A\b" gives "\A\" and "b".
std::pair<std::string, std::string> FolderAndName(const std::string& entry_name, bool folder) {
    const std::size_t end = folder ? entry_name.size() - 1 : entry_name.size();
    const std::size_t slash = entry_name.rfind('\\', end - 1);
    return {entry_name.substr(0, slash + 1), entry_name.substr(slash + 1, end - slash - 1)};
}

}  // namespace

void StagedRestore::ReadIndex() {
    index_ = OrFail(reader_.ReadIndex());
    const std::string& container = run_.state.FolderPath;
    root_ = container.substr(0, container.size() - 4);
    source_.CheckNames(index_.entries);
}

void StagedRestore::Restore() {
    TreeOps& files = run_.files;
    run_.host.BeginStep(Text(Msg::kDecodingCaption));
    staging_.emplace(run_, root_folder_ >= 0 ? root_folder_ : source_.folder(), ParentOf(root_),
                     Nombre(run_.state.FolderPath));
    staging_->RemoveLeftovers();
    stops_on_cancel_.emplace(run_.cancel, CancelToken::Heed::kStepStops);
    try {
        staging_->Make(folders_, kRootId);
        folder_ids_["\\"] = kRootId;
        folder_entries_.push_back(nullptr);
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
        OrFail(files.SyncFileSystemOpen(OrFail(folders_.Get(kRootId))));
        staging_->CheckInPlace(files.paths().DisplayPath(root_));  // the outermost change named
        CheckStagedTree();
        SetFolderDetails();
        staging_->CheckInPlace(files.paths().DisplayPath(root_));
        OrFail(source_.container().CheckNotBeingWritten());
        const std::string restored = staging_->Publish(root_);
        run_.state.RestoredPath = restored + "\\";
        // The root's own permissions only now, through its handle: until its
        // name is given nobody else can enter it, and a kill meanwhile leaves
        // either the staging folder still 0700 or the complete tree.
        SetFolderDetail(kRootId, Nombre(restored), index_.folder_attributes, index_.folder_mode,
                        index_.folder_modified_ns);
        OrFail(files.SyncFileSystemOpen(OrFail(folders_.Get(kRootId))));
    } catch (const EngineFailure&) {
        stops_on_cancel_.reset();
        DiscardStaged(run_, writing_, folders_, staging_);
        files.CloseAll();
        throw;
    }
    stops_on_cancel_.reset();
    source_.Finish(details_skipped_);
}

void StagedRestore::MakeFolder(const DecodedEntry& entry) {
    TreeOps& files = run_.files;
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
    made_.push_back({parent->second, name, identity, true});
    folder_ids_[entry.name] = id;
    folder_entries_.push_back(&entry);
}

// The file is its owner's alone while it is written; it gets its stored
// permissions (less the umask's bits, but for root) once complete, still
// out of other accounts' reach inside the staging folder, unless it has
// them already. What it is (its identity, for the check before the tree
// takes its name, and its permissions) is asked once.
void StagedRestore::MakeFile(const DecodedEntry& entry, std::int64_t& done) {
    TreeOps& files = run_.files;
    const auto [folder, name] = FolderAndName(entry.name, false);
    const auto parent = folder_ids_.find(folder);
    if (parent == folder_ids_.end())
        ThrowFailure(Error{Text(Msg::kDamagedMissingFolder, {ShownName(entry.name)})});
    const int output =
        OrFail(files.OpenAt(OrFail(folders_.Get(parent->second)), name, OpenMode::kCreatePrivate));
    writing_ = output;
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
    const EntryInfo identity = OrFail(files.InspectOpen(output));
    std::uint32_t mode_now = identity.mode & 0777;
    if (const std::uint32_t mode = entry.mode & ~files.RestoredModeMask() & 0777; mode_now != mode) {
        const Status set = files.SetPermissionsOpen(output, mode);
        if (set)
            mode_now = mode;
        SetDetail(set);
    }
    SetAttributes(output, entry.attributes, files.GetAttrOfMadeFile(output, name, mode_now));
    SetDetail(files.SetModifiedOpen(output, entry.modified_ns));
    made_.push_back({parent->second, name, identity, false});
    writing_ = -1;
    OrFail(files.Close(output));
    done += entry.size;
    run_.host.AdvanceProgress(done * 10 / (run_.state.TotalBytes + 1));
}

void StagedRestore::SetDetail(const Status& set) {
    KeepDetail(set, details_skipped_);
}

// Only attributes the entry does not have already are written, after its
// permissions: where the system keeps none of its own (POSIX), what a name
// or its permissions already say needs no extended attribute.
void StagedRestore::SetAttributes(int handle, std::uint8_t stored, const Result<int>& now) {
    const int wanted = stored & ~kFolder;
    if (now && (now.value() & ~kFolder) == wanted)
        return;
    SetDetail(run_.files.SetAttrOpen(handle, wanted));
}

void StagedRestore::SetFolderDetail(std::uint32_t id, const std::string& name,
                                    std::uint8_t attributes, std::uint32_t mode,
                                    std::int64_t modified_ns) {
    TreeOps& files = run_.files;
    const int handle = OrFail(folders_.Get(id));
    SetDetail(files.SetPermissionsOpen(handle, mode & ~files.RestoredModeMask()));
    SetAttributes(handle, attributes, files.GetAttrOpen(handle, name));
    SetDetail(files.SetModifiedOpen(handle, modified_ns));
}

// Innermost folders first: a folder's own time and permissions are set
// once nothing more is made inside it.
void StagedRestore::SetFolderDetails() {
    for (std::uint32_t id = static_cast<std::uint32_t>(folder_entries_.size()) - 1; id > kRootId;
         --id) {
        const DecodedEntry& entry = *folder_entries_[id];
        SetFolderDetail(id, folders_.Name(id), entry.attributes, entry.mode, entry.modified_ns);
    }
}

std::string StagedRestore::EntryName(const Made& made) const {
    const std::string folder = made.folder == kRootId ? "\\" : folder_entries_[made.folder]->name;
    return folder + made.name + (made.is_folder ? "\\" : "");
}

// Every folder made is still under its name in its parent (reached from
// the parent's handle), and each holds exactly the entries made in it, each
// the very one made: a folder swapped for a link or another folder, or an
// entry added, removed or replaced, stops the restore before the tree has a
// name. What the restore itself set (attributes, times, permissions) is not
// read again. A mount over a file is not looked for: only the staging
// folder's own account (or root) can reach its entries, and that account
// could as well write into the file, which no check here could tell.
void StagedRestore::CheckStagedTree() {
    TreeOps& files = run_.files;
    std::vector<std::map<std::string, const Made*>> inside(folder_entries_.size());
    for (const Made& made : made_)
        inside[made.folder][made.name] = &made;
    auto changed = [&](const std::string& entry) {
        ThrowFailure(Error{Text(Msg::kStagedTreeChanged, {ShownName(entry)}), kNoLongerTheSame});
    };
    for (const Made& made : made_) {
        if (!made.is_folder)
            continue;
        const Result<EntryInfo> now = files.InspectAt(OrFail(folders_.Get(made.folder)), made.name);
        if (!now || now->kind != EntryKind::kFolder || !SameFolder(now.value(), made.identity))
            changed(EntryName(made));
    }
    // The list of names tells each entry's kind and inode number where the
    // system keeps them there; an entry it does not show to be the one made
    // (a FUSE system may leave them out) is inspected.
    auto is_made = [&](int folder, const DirEntry& entry, const Made& made) {
        const EntryKind kind = made.is_folder ? EntryKind::kFolder : EntryKind::kFile;
        if (entry.kind == kind && entry.info.inode == made.identity.inode &&
            (entry.info.device == 0 || entry.info.device == made.identity.device))
            return true;
        const Result<EntryInfo> now = files.InspectAt(folder, entry.name);
        return now && now->kind == kind && now->device == made.identity.device &&
               now->inode == made.identity.inode;
    };
    for (std::uint32_t id = 0; id < inside.size(); ++id) {
        const int folder_handle = OrFail(folders_.Get(id));
        const std::vector<DirEntry> listing = OrFail(files.ListNamesAt(folder_handle));
        for (const DirEntry& entry : listing) {
            const auto found = inside[id].find(entry.name);
            const std::string folder = id == kRootId ? "\\" : folder_entries_[id]->name;
            if (found == inside[id].end())
                changed(folder + entry.name);
            if (!is_made(folder_handle, entry, *found->second))
                changed(EntryName(*found->second));
        }
        if (listing.size() != inside[id].size())
            for (const auto& [made_name, made] : inside[id])
                if (std::none_of(listing.begin(), listing.end(),
                                 [&, &name = made_name](const DirEntry& entry) {
                                     return entry.name == name;
                                 }))
                    changed(EntryName(*made));
    }
}

// "Cancelar" pressed since the last look (the reader and the loop let the
// windows' events run): what was made goes, the container stays, and the
// program ends.
void StagedRestore::StopIfCancelled() {
    if (!run_.cancel.requested())
        return;
    stops_on_cancel_.reset();
    DiscardStaged(run_, writing_, folders_, staging_);
    run_.files.CloseAll();
    run_.host.EndProgram();
}

}  // namespace velmora
