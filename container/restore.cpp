#include "container/restore.h"

#include <errno.h>

#include <algorithm>
#include <map>
#include <string>
#include <string_view>

#include "base/cp1252.h"
#include "base/messages.h"
#include "base/name_text.h"
#include "container/engine_failure.h"
#include "container/legacy/legacy_kind.h"
#include "container/legacy/stored_names.h"
#include "container/path_helpers.h"

namespace velmora {
namespace {

constexpr int kSettableBits = kReadOnly | kHidden | kSystem | kArchive;

}  // namespace

void Restore::ReadEntries(const ContainerHeader& header) {
    OpenedContainer& container = source_.container();
    reader_ = LegacyKind(run_, run_.state.PasswordKey)
                  .Reader(container.file(), container.source(), header,
                          run_.options.original_case ? StoredNameCase::kAsStored
                                                     : StoredNameCase::kUpper);
    index_ = OrFail(reader_->ReadIndex());
    // Upper-cased names cannot differ only in case; names as stored can.
    if (run_.options.original_case && run_.files.paths().IgnoresCase())
        OrFail(CheckCaseCollisions(index_.entries));
    source_.CheckNames(index_.entries);
}

// The stored byte less the folder bit, kept to the bits that can be set. The
// read-only bit waits until the folder's files are written: on POSIX it
// would keep them from being created.
void Restore::SetFolderAttributes(std::uint32_t folder, std::uint8_t stored) {
    const int attributes = (stored >= kFolder ? stored - kFolder : stored) & kSettableBits;
    SetDetail(run_.files.SetAttrOpen(OrFail(folders_.Get(folder)), attributes & ~kReadOnly));
    if (attributes & kReadOnly)
        read_only_folders_.push_back(folder);
}

void Restore::SetDetail(const Status& set) {
    KeepDetail(set, details_skipped_);
}

// Every restored folder is made through its parent's handle and opened at
// once; its handle is the only way to it from then on, so a folder swapped
// for a link or another folder meanwhile can only make the restore fail,
// never send a file outside the restored root.
void Restore::Crear_carpetas() {
    const std::vector<DecodedEntry>& Nuevo = index_.entries;
    // Each entry's folder part, as a view into its name.
    struct Part {
        std::string_view path;
        std::uint8_t attributes;
    };
    std::vector<Part> parts;
    parts.reserve(Nuevo.size());
    for (const DecodedEntry& entry : Nuevo)
        parts.push_back({TrimmedSpaces(recortar(entry.name)), entry.parent_attributes});
    std::stable_sort(parts.begin(), parts.end(),
                     [](const Part& a, const Part& b) { return a.path.size() < b.path.size(); });

    const std::string& container = run_.state.FolderPath;
    root_ = container.substr(0, container.size() - 4);
    staging_.emplace(run_, source_.folder(), ParentOf(root_), Nombre(container));
    staging_->RemoveLeftovers();
    stops_on_cancel_.emplace(run_.cancel, CancelToken::Heed::kStepStops);
    staging_->Make(folders_, 0);
    auto make = [&](int parent, const std::string& name) {
        OrFail(run_.files.MakeFolderAt(parent, name));
        const int made = OrFail(run_.files.OpenFolderAt(parent, name));
        return std::make_pair(made, OrFail(run_.files.InspectOpen(made)));
    };

    // Each folder once, after its parent. Entries of one folder need not
    // stand together in a container (\A\X, \B\Y, \A\Z), so every folder
    // made is remembered, not only the last.
    std::map<std::string_view, std::uint32_t>& made = restored_folders_;
    made = {{parts.front().path, 0}};
    for (std::size_t k = 1; k < parts.size(); ++k) {
        if (made.count(parts[k].path))
            continue;
        // "\A\B\": its parent part "\A\" and its own name "B".
        const std::string_view part = parts[k].path;
        const std::size_t name_start = part.find_last_of('\\', part.size() - 2) + 1;
        const auto parent = made.find(part.substr(0, name_start));
        if (parent == made.end())
            ThrowFailure(Error{Text(Msg::kDamagedMissingFolder, {ShownName(std::string(part))})});
        const std::string name(part.substr(name_start, part.size() - 1 - name_start));
        const auto id = static_cast<std::uint32_t>(made.size());
        const int parent_handle = OrFail(folders_.Get(parent->second));
        const auto [handle, identity] = make(parent_handle, name);
        folders_.Add(id, parent->second, name, identity);
        folders_.Adopt(id, handle);
        made.emplace(part, id);
        run_.host.PumpEvents();
        SetFolderAttributes(id, parts[k].attributes);
        PublishIfCancelled();
    }
}

void Restore::Extraer() {
    TreeOps& files = run_.files;
    run_.host.BeginStep(Text(Msg::kDecodingCaption));
    std::int64_t done = 0;
    for (const DecodedEntry& entry : index_.entries) {
        if (entry.size < 0)
            continue;
        const std::string name = TrimSpaces(entry.name);
        const std::string_view part = recortar(name);
        const std::uint32_t folder = restored_folders_.at(TrimmedSpaces(part));
        const std::string own_name = name.substr(part.size());
        const int output =
            OrFail(files.OpenAt(OrFail(folders_.Get(folder)), own_name, OpenMode::kCreateNew));
        writing_ = output;
        std::int64_t written = 0;
        const Status read =
            reader_->ReadFileData(entry, [&](const std::uint8_t* data, std::size_t length) {
                if (run_.cancel.requested())
                    return Status(Error{"", ECANCELED});
                if (Status wrote = files.Write(output, written, data, length); !wrote)
                    return wrote;
                written += static_cast<std::int64_t>(length);
                return Status::Ok();
            });
        if (!read && run_.cancel.requested()) {
            // The file cut short goes; the ones before it stay.
            const Result<EntryInfo> identity = files.InspectOpen(output);
            writing_ = -1;
            (void)files.Close(output);
            if (identity)
                (void)files.DeleteFileAt(OrFail(folders_.Get(folder)), own_name, identity.value());
            PublishIfCancelled();
        }
        OrFail(read);
        if (entry.size > 0) {
            done += entry.size;
            run_.host.AdvanceProgress(done * 10 / (run_.state.TotalBytes + 1));
        }
        run_.host.CountWork({&entry - index_.entries.data() + 1,
                             static_cast<std::int64_t>(index_.entries.size()), done,
                             run_.state.TotalBytes});
        writing_ = -1;
        OrFail(files.Close(output));
        PublishIfCancelled();
    }
    run_.host.PumpEvents();
    PublishIfCancelled();
    Publish();
    stops_on_cancel_.reset();
    source_.Finish(details_skipped_);
}

// The read-only folders get their attribute, innermost first; everything
// restored reaches the disk and is checked before the tree takes its name;
// then the root gets its attributes and the permissions of a folder made
// here: it is nobody else's until it has its name, so a kill meanwhile
// leaves the staging folder 0700 or the complete tree.
void Restore::Publish() {
    TreeOps& files = run_.files;
    for (auto it = read_only_folders_.rbegin(); it != read_only_folders_.rend(); ++it) {
        const int handle = OrFail(folders_.Get(*it));
        SetDetail(files.SetAttrOpen(
            handle,
            kReadOnly | (OrFail(files.GetAttrOpen(handle, folders_.Name(*it))) & ~kFolder)));
    }
    OrFail(files.SyncFileSystemOpen(OrFail(folders_.Get(0))));
    CheckTreeInPlace();
    OrFail(source_.container().CheckNotBeingWritten());
    run_.state.RestoredPath = staging_->Publish(root_) + "\\";
    const int root = OrFail(folders_.Get(0));
    SetDetail(files.SetPermissionsOpen(root, staging_->made_mode()));
    const std::uint8_t stored = index_.folder_attributes;
    SetDetail(
        files.SetAttrOpen(root, (stored >= kFolder ? stored - kFolder : stored) & kSettableBits));
    OrFail(files.SyncFileSystemOpen(root));
}

void Restore::PublishIfCancelled() {
    if (!run_.cancel.requested())
        return;
    stops_on_cancel_.reset();
    try {
        Publish();
    } catch (const EngineFailure&) {
        Discard();
    }
    run_.files.CloseAll();
    run_.host.EndProgram();
}

// Every restored folder is still where it was made, by name from its
// parent's handle, and the staging folder under its name: the tree takes
// its name only as it was made. The staging folder first, so that a change
// is named where it was made (a handle below a moved folder may read
// otherwise: Wine), and again last, right before it takes the name.
void Restore::CheckTreeInPlace() {
    staging_->CheckInPlace(run_.files.paths().DisplayPath(root_));
    for (const auto& [part, id] : restored_folders_) {
        if (id == 0)
            continue;
        const Result<EntryInfo> now =
            run_.files.InspectAt(OrFail(folders_.Get(folders_.Parent(id))), folders_.Name(id));
        if (!now || now->kind != EntryKind::kFolder ||
            !SameFolder(now.value(), folders_.Identity(id)))
            ThrowFailure(Error{Text(Msg::kStagedTreeChanged, {ShownName(std::string(part))}),
                               kNoLongerTheSame});
    }
    staging_->CheckInPlace(run_.files.paths().DisplayPath(root_));
}

void Restore::Discard() {
    stops_on_cancel_.reset();
    DiscardStaged(run_, writing_, folders_, staging_);
}

Status CheckCaseCollisions(const std::vector<DecodedEntry>& entries) {
    // Every path seen, by its upper case; each folder once, however many
    // entries lie in it.
    std::map<std::string, std::string_view> seen;
    auto add = [&](std::string_view path) -> Status {
        const auto [it, added] = seen.emplace(ToUpperCp1252(path), path);
        if (!added && it->second != path)
            return Error{
                Text(Msg::kNamesDifferOnlyInCaseHere, {ShownName(it->second), ShownName(path)})};
        return Status::Ok();
    };
    for (const DecodedEntry& entry : entries) {
        const std::string_view name = entry.name;
        // "\A\B\c": "\A", "\A\B", then "\A\B\c"; a folder's final "\" ends it.
        for (std::size_t end = name.find('\\', 1); end != std::string_view::npos;
             end = name.find('\\', end + 1))
            if (Status added = add(name.substr(0, end)); !added)
                return added;
        if (name.size() > 1 && name.back() != '\\')
            if (Status added = add(name); !added)
                return added;
    }
    return Status::Ok();
}

}  // namespace velmora
