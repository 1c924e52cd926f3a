#include "container/restore.h"

#include <algorithm>

#include "base/messages.h"
#include "base/name_text.h"
#include "container/case_collisions.h"
#include "container/engine_failure.h"
#include "container/legacy/legacy_reader.h"
#include "container/legacy/stored_names.h"
#include "container/path_helpers.h"

namespace velmora {
namespace {

constexpr int kSettableBits = kReadOnly | kHidden | kSystem | kArchive;
constexpr int kLargestCopyNumber = 32767;

}  // namespace

void Restore::ReadEntries(const ContainerHeader& header) {
    OpenedContainer& container = source_.container();
    reader_ = std::make_unique<LegacyReader>(
        run_.files, container.file(), container.source(), header, run_.tables, run_.host,
        run_.state.PasswordKey,
        run_.options.original_case ? StoredNameCase::kAsStored : StoredNameCase::kUpper);
    index_ = OrFail(reader_->ReadIndex());
    // Upper-cased names cannot differ only in case; names as stored can.
    if (run_.options.original_case && run_.files.IgnoresCase())
        OrFail(CheckCaseCollisions(index_.entries));
    // The widest name the restored root can take.
    const std::string& path = run_.state.FolderPath;
    source_.CheckNames(index_.entries, path.substr(0, path.size() - 4) + " (" +
                                           std::to_string(kLargestCopyNumber) + ")");
}

// The stored byte less the folder bit, kept to the bits that can be set. The
// read-only bit waits until the folder's files are written: on POSIX it
// would keep them from being created.
void Restore::SetFolderAttributes(std::uint32_t folder, std::uint8_t stored) {
    const int attributes = (stored >= kFolder ? stored - kFolder : stored) & kSettableBits;
    OrFail(run_.files.SetAttrOpen(OrFail(folders_.Get(folder)), attributes & ~kReadOnly));
    if (attributes & kReadOnly)
        read_only_folders_.push_back(folder);
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
    const std::string R = container.substr(0, container.size() - 4);
    auto taken = [&](const std::string& path) { return source_.Holds(Nombre(path)); };
    std::string root = R;
    for (int n = 2; taken(root); ++n) {
        if (n > kLargestCopyNumber)
                ThrowFailure(Error{Text(Msg::kTooManyRestoredCopies, {run_.files.DisplayPath(R)})});
        root = R + " (" + std::to_string(n) + ")";
    }
    auto make = [&](int parent, const std::string& name) {
        OrFail(run_.files.MakeFolderAt(parent, name));
        const int made = OrFail(run_.files.OpenFolderAt(parent, name));
        return std::make_pair(made, OrFail(run_.files.InspectOpen(made)));
    };
    const auto [root_handle, root_identity] = make(source_.folder(), Nombre(root));
    folders_.AddOpen(0, root_handle, root_identity, root);
    // A second run that would encode the folder being restored waits.
    (void)run_.files.TryLock(root_handle);
    SetFolderAttributes(0, index_.folder_attributes);
    run_.state.RestoredPath = root + "\\";

    // Each folder once, after its parent. Entries of one folder need not
    // stand together in a container (\A\X, \B\Y, \A\Z), so every folder
    // made is remembered, not only the last.
    std::map<std::string_view, std::uint32_t> made = {{parts.front().path, 0}};
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
    }
    restored_folders_ = std::move(made);
}

void Restore::Extraer() {
    FileSystem& files = run_.files;
    run_.host.SetCaption(Text(Msg::kDecodingCaption));
    std::int64_t done = 0;
    for (const DecodedEntry& entry : index_.entries) {
        if (entry.size < 0)
            continue;
        const std::string name = TrimSpaces(entry.name);
        const std::string_view part = recortar(name);
        const std::uint32_t folder = restored_folders_.at(TrimmedSpaces(part));
        const int output = OrFail(files.OpenAt(OrFail(folders_.Get(folder)),
                                               name.substr(part.size()), OpenMode::kCreateNew));
        std::int64_t written = 0;
        OrFail(reader_->ReadFileData(entry, [&](const std::uint8_t* data, std::size_t length) {
            if (Status wrote = files.Write(output, written, data, length); !wrote)
                return wrote;
            written += static_cast<std::int64_t>(length);
            return Status::Ok();
        }));
        if (entry.size > 0) {
            done += entry.size;
            run_.host.AdvanceProgress(done * 10 / (run_.state.TotalBytes + 1));
        }
        run_.host.CountWork({&entry - index_.entries.data() + 1,
                             static_cast<std::int64_t>(index_.entries.size()), done,
                             run_.state.TotalBytes});
        OrFail(files.Close(output));
    }
    run_.host.PumpEvents();

    for (auto it = read_only_folders_.rbegin(); it != read_only_folders_.rend(); ++it) {
        const int handle = OrFail(folders_.Get(*it));
        OrFail(run_.files.SetAttrOpen(
            handle, kReadOnly | (OrFail(run_.files.GetAttrOpen(handle, folders_.Name(*it))) & ~kFolder)));
    }
    // Everything restored reaches the disk before the container goes; a kept
    // container leaves nothing at risk.
    if (run_.options.keep_container) {
        run_.files.CloseAll();
        return;
    }
    OrFail(run_.files.SyncFileSystemOpen(OrFail(folders_.Get(0))));
    if (!RestoredTreeInPlace())
        ThrowFailure(Error{
            Text(Msg::kRestoredTreeChanged, {run_.files.DisplayPath(run_.state.RestoredPath)})});
    source_.DeleteContainer();
    run_.files.CloseAll();
}

// Whether every restored folder is still where it was made, by name from
// the container's folder down: the container goes only while the restored
// tree is there to replace it.
bool Restore::RestoredTreeInPlace() {
    for (const auto& [part, id] : restored_folders_) {
        const bool root = id == 0;
        Result<int> parent = root ? Result<int>(source_.folder()) : folders_.Get(folders_.Parent(id));
        if (!parent)
            return false;
        const std::string name = root ? Nombre(run_.state.RestoredPath.substr(
                                            0, run_.state.RestoredPath.size() - 1))
                                      : folders_.Name(id);
        const Result<EntryInfo> now = run_.files.InspectAt(parent.value(), name);
        if (!now || !SameFolder(now.value(), folders_.Identity(id)))
            return false;
    }
    return true;
}

}  // namespace velmora
