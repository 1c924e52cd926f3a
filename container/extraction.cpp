#include <algorithm>
#include <map>

#include "container/buffered_io.h"
#include "container/legacy/container_format.h"
#include "container/legacy/data_coding.h"
#include "container/engine.h"
#include "container/engine_failure.h"
#include "container/path_helpers.h"

namespace velmora {
namespace {

constexpr int kSettableBits = kReadOnly | kHidden | kSystem | kArchive;
constexpr int kLargestCopyNumber = 32767;

}  // namespace

// Opens the folder that holds the container, once, and checks that its
// name there still holds the container that was read: the restored root is
// made in this folder and the container deleted from it.
void Engine::OpenContainerFolder() {
    const std::string parent = ParentOf(state_.FolderPath);
    std::string folder = parent.empty() ? "." : parent;
    if (folder.back() == ':')
        folder += '\\';  // a drive's root folder, not its current folder
    container_folder_ = OrFail(files_.OpenFolder(folder));
    const Result<EntryInfo> named =
        files_.InspectAt(container_folder_, Nombre(state_.FolderPath));
    if (!named || named->device != container_identity_.device ||
        named->inode != container_identity_.inode)
        ThrowFailure(Error{"\xAB" + files_.DisplayPath(state_.FolderPath) +
                           "\xBB ha cambiado mientras se le\xED"
                           "a (otro programa lo ha movido o sustituido)."});
}

// The stored byte less the folder bit, kept to the bits that can be set. The
// read-only bit waits until the folder's files are written: on POSIX it
// would keep them from being created.
void Engine::SetFolderAttributes(std::uint32_t folder, std::uint8_t stored) {
    const int attributes = (stored >= kFolder ? stored - kFolder : stored) & kSettableBits;
    OrFail(files_.SetAttrOpen(OrFail(folders_.Get(folder)), attributes & ~kReadOnly));
    if (attributes & kReadOnly)
        read_only_folders_.push_back(folder);
}

// Every restored folder is made through its parent's handle and opened at
// once; its handle is the only way to it from then on, so a folder swapped
// for a link or another folder meanwhile can only make the restore fail,
// never send a file outside the restored root.
void Engine::Crear_carpetas(const std::vector<DecodedEntry>& Nuevo,
                            std::uint8_t folder_attributes) {
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

    const std::string& container = state_.FolderPath;
    const std::string R = container.substr(0, container.size() - 4);
    auto taken = [&](const std::string& path) {
        return files_.InspectAt(container_folder_, Nombre(path)).ok();
    };
    std::string root = R;
    for (int n = 2; taken(root); ++n) {
        if (n > kLargestCopyNumber)
            ThrowFailure(Error{"Ya existen demasiadas copias restauradas de \xAB" +
                               files_.DisplayPath(R) + "\xBB."});
        root = R + " (" + std::to_string(n) + ")";
    }
    auto make = [&](int parent, const std::string& name) {
        OrFail(files_.MakeFolderAt(parent, name));
        const int made = OrFail(files_.OpenFolderAt(parent, name));
        return std::make_pair(made, OrFail(files_.InspectOpen(made)));
    };
    const auto [root_handle, root_identity] = make(container_folder_, Nombre(root));
    folders_.AddOpen(0, root_handle, root_identity, root);
    // A second run that would encode the folder being restored waits.
    (void)files_.TryLock(root_handle);
    SetFolderAttributes(0, folder_attributes);
    state_.RestoredPath = root + "\\";

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
            ThrowFailure(Error{"El contenedor est\xE1 da\xF1"
                               "ado: falta la carpeta de \xAB" +
                               ShownName(std::string(part)) + "\xBB."});
        const std::string name(part.substr(name_start, part.size() - 1 - name_start));
        const auto id = static_cast<std::uint32_t>(made.size());
        const int parent_handle = OrFail(folders_.Get(parent->second));
        const auto [handle, identity] = make(parent_handle, name);
        folders_.Add(id, parent->second, name, identity);
        folders_.Adopt(id, handle);
        made.emplace(part, id);
        host_.PumpEvents();
        SetFolderAttributes(id, parts[k].attributes);
    }
    restored_folders_ = std::move(made);
}

void Engine::Extraer(const std::vector<DecodedEntry>& Nombres, std::uint8_t T) {
    host_.SetCaption("Decodificando...");
    const std::int64_t data_area = static_cast<std::int64_t>(kHeaderSize) +
                                   state_.FoundCount * static_cast<std::int64_t>(RecordSize(T));
    BufferedReader in(files_, container_file_, data_area);
    const KeyStream stream(tables_, state_.PasswordKey);
    std::vector<std::uint8_t> buffer(kBlockSize);
    std::int64_t done = 0;

    for (const DecodedEntry& entry : Nombres) {
        if (entry.size < 0)
            continue;
        const std::string name = TrimSpaces(entry.name);
        const std::string_view part = recortar(name);
        const std::uint32_t folder = restored_folders_.at(TrimmedSpaces(part));
        const int output = OrFail(files_.OpenAt(OrFail(folders_.Get(folder)),
                                                name.substr(part.size()), OpenMode::kCreateNew));
        std::int64_t written = 0;
        auto piece = [&](std::size_t length, bool full_block) {
            if (OrFail(in.Read(buffer.data(), length)) != length)
                ThrowFailure(Error{"El contenedor termina antes de lo esperado."});
            host_.PumpEvents();
            if (full_block)
                DecodeFullBlock(buffer.data(), stream);
            else
                DecodeWhole(buffer.data(), length, stream);
            OrFail(files_.Write(output, written, buffer.data(), length));
            written += static_cast<std::int64_t>(length);
        };
        const CodingPlan plan = PlanFor(entry.size);
        for (std::int64_t block = 0; block < plan.full_blocks; ++block)
            piece(kBlockSize, true);
        piece(plan.tail, false);
        if (plan.full_blocks == 0)
            host_.PumpEvents();

        if (entry.size > 0) {
            done += entry.size;
            host_.AdvanceProgress(done * 10 / (state_.TotalBytes + 1));
        }
        OrFail(files_.Close(output));
    }
    host_.PumpEvents();

    for (auto it = read_only_folders_.rbegin(); it != read_only_folders_.rend(); ++it) {
        const int handle = OrFail(folders_.Get(*it));
        OrFail(files_.SetAttrOpen(
            handle, kReadOnly | (OrFail(files_.GetAttrOpen(handle, folders_.Name(*it))) & ~kFolder)));
    }
    // Everything restored reaches the disk before the container goes; a kept
    // container leaves nothing at risk.
    if (options_.keep_container) {
        files_.CloseAll();
        return;
    }
    OrFail(files_.SyncFileSystemOpen(OrFail(folders_.Get(0))));
    if (!RestoredTreeInPlace())
        ThrowFailure(Error{"La carpeta restaurada \xAB" + files_.DisplayPath(state_.RestoredPath) +
                           "\xBB ha cambiado mientras se restauraba (otro programa ha movido o "
                           "sustituido alguna de sus carpetas). El contenedor se conserva."});
    DeleteContainer();
    files_.CloseAll();
}

// Whether every restored folder is still where it was made, by name from
// the container's folder down: the container goes only while the restored
// tree is there to replace it.
bool Engine::RestoredTreeInPlace() {
    for (const auto& [part, id] : restored_folders_) {
        const bool root = id == 0;
        Result<int> parent = root ? Result<int>(container_folder_) : folders_.Get(folders_.Parent(id));
        if (!parent)
            return false;
        const std::string name = root ? Nombre(state_.RestoredPath.substr(
                                            0, state_.RestoredPath.size() - 1))
                                      : folders_.Name(id);
        const Result<EntryInfo> now = files_.InspectAt(parent.value(), name);
        if (!now || !SameFolder(now.value(), folders_.Identity(id)))
            return false;
    }
    return true;
}

// Deletes the container through its folder's handle, and only while that
// name still holds the container that was read (a container decoded and
// made again meanwhile under the same name is another file and stays).
void Engine::DeleteContainer() {
    OrFail(files_.SetAttrOpen(container_file_, 0));
    EntryInfo expected = OrFail(files_.InspectOpen(container_file_));
    const bool unchanged = expected.device == container_identity_.device &&
                           expected.inode == container_identity_.inode &&
                           expected.size == container_identity_.size &&
                           expected.modified_ns == container_identity_.modified_ns;
    (void)files_.Close(container_file_);
    const Result<bool> deleted =
        unchanged ? files_.DeleteFileAt(container_folder_, Nombre(state_.FolderPath), expected)
                  : Result<bool>(false);
    if (deleted && deleted.value()) {
        (void)files_.SyncFolderOpen(container_folder_);
        return;
    }
    ThrowFailure(Error{deleted ? "La carpeta se ha restaurado, pero \xAB" +
                                     files_.DisplayPath(state_.FolderPath) +
                                     "\xBB ha cambiado mientras se restauraba y no se ha borrado."
                               : deleted.error().message});
}

}  // namespace velmora
