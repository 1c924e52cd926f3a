#include <errno.h>

#include <algorithm>

#include "cipher/cp1252_case.h"
#include "container/buffered_io.h"
#include "container/legacy/container_format.h"
#include "container/engine.h"
#include "container/engine_failure.h"
#include "container/legacy/password_check.h"
#include "container/path_helpers.h"

namespace velmora {
namespace {

std::uint8_t AttributeByte(int attributes) {
    if (attributes < 0 || attributes > 255)
        ThrowFailure(Error{"Un atributo de archivo (" + std::to_string(attributes) +
                           ") no cabe en el contenedor."});
    return static_cast<std::uint8_t>(attributes);
}

}  // namespace

Status Engine::CheckEncodingTarget(const std::string& container_path) {
    const std::string& folder = state_.FolderPath;
    Result<std::string> target = options_.container_folder.empty()
                                     ? files_.CurrentFolder()
                                     : Result<std::string>(options_.container_folder);
    if (!target)
        return target.error();
    // By the real folders, not the texts: a link or a bind mount into the
    // folder must not let the container be written inside it and wiped.
    Result<bool> inside = files_.IsSameOrInside(target.value(), folder);
    if (!inside)
        return inside.error();
    if (inside.value())
        return Error{"El contenedor no puede guardarse dentro de la carpeta que se codifica (\xAB" +
                     files_.DisplayPath(target.value()) + "\xBB)."};
    if (files_.Inspect(container_path).ok())
        return Error{"Ya existe \xAB" + files_.DisplayPath(container_path) +
                     "\xBB. Mu\xE9valo o c\xE1mbiele el nombre antes de codificar: podr\xED"
                     "a "
                     "ser la \xFAnica copia de otra carpeta."};
    return Status::Ok();
}

RunResult Engine::Hacelo(const std::string& Contrasena) {
    // The caption says what is happening from the start, the scan included.
    host_.SetCaption("Codificando...");
    const std::string& folder = state_.FolderPath;
    if (folder.empty() || folder == "\\" || folder.back() == '\\')
        return Refuse("No se puede codificar \xAB" + files_.DisplayPath(folder) +
                      "\xBB: indique una carpeta, no la ra\xED"
                      "z del sistema de archivos.");
    if (Contrasena.size() != kKeyLength || PasswordCheckHasEdgeSpace(tables_, Contrasena))
        return Refuse(
            "Esta contrase\xF1"
            "a no se puede usar con este formato. Elija otra "
            "contrase\xF1"
            "a.");
    Result<TreeScan> scan = ScanTree(files_, host_, folder, folders_);
    if (!scan)
        return Refuse(scan.error().message);
    scan_ = std::move(scan).value();
    if (Status names = CheckStoredNames(scan_, folder, tables_, Contrasena, files_); !names)
        return Refuse(names.error().message);
    const std::string container_name = ContainerNameFor(Nombre(folder));
    const std::string container_path = options_.container_folder.empty()
                                           ? container_name
                                           : options_.container_folder + "\\" + container_name;
    if (Status target = CheckEncodingTarget(container_path); !target)
        return Refuse(target.error().message);

    container_path_ = container_path;
    walk_resets_.clear();
    bool left_behind = false;
    try {
        FoundList sFound(scan_);
        state_.FoundCount = 0;
        DirWalk(folder + "\\", sFound);

        // Full paths are measured in the characters the system shows: the
        // folder's parent may hold characters a stored name could not.
        const std::size_t base = files_.CharacterCount(folder);
        std::size_t longest = 0;
        state_.TotalBytes = 0;
        for (std::size_t i = 0; i < sFound.size(); ++i) {
            longest = std::max(longest, base + sFound.PathLength(i) - folder.size());
            if (!sFound.IsFolderEntry(i))
                state_.TotalBytes += scan_.entries[sFound[i]].info.size;
        }
        const std::uint8_t width_code = ChooseNameWidthCode({longest});

        WriteContainer(container_path, Contrasena, sFound, width_code);
        // The container is complete and on disk: from here on "Cancelar"
        // must not delete it.
        host_.SetPicture1Tag("");

        if (before_wipe_)
            before_wipe_(sFound);
        if (!options_.keep_originals) {
            ApplyWalkResets();
            BorrarOrig(sFound);
            left_behind = !files_left_.empty() || StillThere(TreeScan::kRoot);
        }
    } catch (const EngineFailure& failure) {
        return Fail(failure.message);
    }
    host_.UnloadMainWindow();
    RunResult done{Outcome::kDone, ""};
    done.left_behind = left_behind;
    return done;
}

int Engine::FolderOf(std::uint32_t entry) {
    return OrFail(
        folders_.Get(entry == TreeScan::kRoot ? TreeScan::kRootParent : scan_.entries[entry].parent));
}

std::string Engine::NameOf(std::uint32_t entry) const {
    return entry == TreeScan::kRoot ? scan_.root_name : std::string(scan_.Name(entry));
}

// Whether the entry is the folder itself or one of its own subfolders.
bool Engine::IsTopLevelFolder(std::uint32_t entry) const {
    return entry == TreeScan::kRoot ||
           (scan_.IsFolder(entry) && scan_.entries[entry].parent == TreeScan::kRoot);
}

// The walk's resets of top-level folders, made once the container is
// complete, each while its name still holds the folder the scan saw. A
// file's reset is the wipe's own, made right before it is overwritten, once
// it is known to be the file that was packed.
void Engine::ApplyWalkResets() {
    for (const std::uint32_t entry : walk_resets_)
        if (IsTopLevelFolder(entry)) {
            Result<int> folder = folders_.Get(entry == TreeScan::kRoot ? TreeScan::kRootParent
                                                                       : TreeScan::kRoot);
            if (folder)
                (void)files_.SetAttrAt(folder.value(), NameOf(entry), 0,
                                       &scan_.entries[entry].info);
        }
}

// The attributes the scan read, except for the folder itself and its own
// entries, which are read again (once), and those the walk resets to normal
// (a folder then reads 16, a file 128).
std::uint8_t Engine::AttributesOf(std::uint32_t entry) {
    const ScannedEntry& root = scan_.entries[TreeScan::kRoot];
    if (entry != TreeScan::kRoot && scan_.entries[entry].parent != TreeScan::kRoot)
        return AttributeByte(scan_.entries[entry].attributes);
    const std::size_t slot = entry == TreeScan::kRoot ? 0 : entry - root.first_child + 1;
    if (top_level_attributes_[slot] < 0) {
        const bool reset =
            std::find(walk_resets_.begin(), walk_resets_.end(), entry) != walk_resets_.end();
        top_level_attributes_[slot] =
            reset ? (scan_.IsFolder(entry) ? kFolder : kNormal)
                  : OrFail(files_.GetAttrAt(FolderOf(entry), NameOf(entry)));
    }
    return AttributeByte(top_level_attributes_[slot]);
}

// The container is written under a name of its own in the same folder
// and takes its real name only once it is complete: a run that ends early
// never leaves a partial file under the real name. An unused name is
// chosen, so a partial file left by a killed run never blocks the next.
void Engine::WriteContainer(const std::string& container_path, const std::string& Contrasena,
                            const FoundList& sFound, std::uint8_t width_code) {
    const std::string target = ParentOf(container_path);
    container_folder_ = OrFail(files_.OpenFolder(target.empty() ? "." : target));
    const std::string name = Nombre(container_path);
    std::string partial = name + ".parcial";
    Result<int> opened = files_.OpenAt(container_folder_, partial, OpenMode::kCreateNew);
    for (int n = 2; !opened && opened.error().code == EEXIST && n < 1000; ++n) {
        partial = name + ".parcial" + std::to_string(n);
        opened = files_.OpenAt(container_folder_, partial, OpenMode::kCreateNew);
    }
    const int container = OrFail(std::move(opened));
    const EntryInfo created = OrFail(files_.InspectOpen(container));
    const std::string partial_path = target.empty() ? partial : target + "\\" + partial;
    host_.SetPicture1Tag(partial_path);
    std::string written = partial;  // the name the container has now
    try {
        top_level_attributes_.assign(scan_.entries[TreeScan::kRoot].children + 1, -1);
        ContainerHeader header;
        header.EntryCount = static_cast<std::int32_t>(sFound.size());
        header.NameWidthCode = width_code;
        header.PasswordCheck = MakePasswordCheck(tables_, Contrasena);
        header.FolderAttributes = AttributesOf(TreeScan::kRoot);
        const auto head = SerializeHeader(header);
        BufferedWriter out(files_, container, 0);
        OrFail(out.Append(head.data(), head.size()));

        // A folder entry's parent part is the entry itself; a file's, its folder.
        ItemPaths paths(sFound);
        std::string stored;
        EntryRecord record;
        const std::size_t record_size = RecordSize(width_code);
        for (std::size_t i = 0; i < sFound.size(); ++i) {
            const std::uint32_t entry = sFound[i];
            const bool file = !sFound.IsFolderEntry(i);
            stored.assign(paths.Of(i), static_cast<std::size_t>(state_.BasePathLength));
            record.EncodedName = tables_.Enc(stored, Contrasena);
            record.EntryAttributes = StoredAttribute(AttributesOf(entry), width_code);
            record.ParentAttributes = StoredAttribute(
                AttributesOf(file ? scan_.entries[entry].parent : entry), width_code);
            record.EntrySize =
                file ? static_cast<std::int32_t>(scan_.entries[entry].info.size) : -1;
            WriteRecord(record, width_code, OrFail(out.Reserve(record_size)));
            out.Commit(record_size);
        }

        const KeyStream stream(tables_, Contrasena);
        std::int64_t running_total = 0;
        for (std::size_t i = 0; i < sFound.size(); ++i) {
            if (sFound.IsFolderEntry(i))
                continue;
            EncodeFileInto(out, sFound[i], paths.Of(i), stream);
            running_total += scan_.entries[sFound[i]].info.size;
            host_.AdvanceProgress(running_total * 10 / (state_.TotalBytes + 1));
        }
        OrFail(out.Flush());
        // Before the originals are wiped, the container must be on disk; when
        // they stay, nothing is at risk and the system may write it back later.
        if (!options_.keep_originals)
            OrFail(files_.Flush(container));
        OrFail(files_.Close(container));
        OrFail(files_.RenameAt(container_folder_, partial, name));
        written = name;
        if (!options_.keep_originals)
            OrFail(files_.SyncFolderOpen(container_folder_));
    } catch (const EngineFailure&) {
        // Nothing of the folder has been touched; the container of a failed
        // run is ours and useless, so it goes, as long as its name still
        // holds the file this run created.
        (void)files_.Close(container);
        const Result<EntryInfo> now = files_.InspectAt(container_folder_, written);
        if (now && now->device == created.device && now->inode == created.inode)
            (void)files_.DeleteFileAt(container_folder_, written, now.value());
        files_.CloseAll();
        host_.SetPicture1Tag("");
        throw;
    }
}

void Engine::EncodeFileInto(BufferedWriter& out, std::uint32_t entry, const std::string& path,
                            const KeyStream& stream) {
    const EntryInfo& seen = scan_.entries[entry].info;
    const int source = OrFail(files_.OpenAt(FolderOf(entry), NameOf(entry), OpenMode::kRead));
    // What is packed must be the file the scan saw, unchanged from before
    // its first byte is read to after its last: the wipe destroys that file
    // trusting that its copy is in the container.
    auto changed = [&] {
        ThrowFailure(Error{"\xAB" + files_.DisplayPath(path) +
                           "\xBB ha cambiado mientras se codificaba la carpeta."});
    };
    const Result<EntryInfo> opened = files_.InspectOpen(source);
    if (!opened || !SameUntouchedFile(opened.value(), seen))
        changed();
    std::int64_t position = 0;
    // Each piece is read straight into the container's buffer and coded
    // there. The last piece asks for one byte more: getting it means the
    // file grew.
    auto read_piece = [&](std::size_t length, bool last) {
        const std::size_t asked = last ? length + 1 : length;
        std::uint8_t* space = OrFail(out.Reserve(asked));
        if (OrFail(files_.Read(source, position, space, asked)) != length)
            changed();
        position += static_cast<std::int64_t>(length);
        return space;
    };

    const CodingPlan plan = PlanFor(seen.size);
    if (plan.full_blocks == 0) {
        std::uint8_t* piece = read_piece(plan.tail, true);
        host_.PumpEvents();
        EncodeWhole(piece, plan.tail, stream);
        out.Commit(plan.tail);
    } else {
        for (std::int64_t block = 0; block < plan.full_blocks; ++block) {
            std::uint8_t* piece = read_piece(kBlockSize, false);
            host_.PumpEvents();
            EncodeFullBlock(piece, stream);
            out.Commit(kBlockSize);
        }
        std::uint8_t* piece = read_piece(plan.tail, true);
        EncodeWhole(piece, plan.tail, stream);
        out.Commit(plan.tail);
    }
    const Result<EntryInfo> read = files_.InspectOpen(source);
    if (!read || !SameUntouchedFile(read.value(), seen))
        changed();
    OrFail(files_.Close(source));
}

}  // namespace velmora
