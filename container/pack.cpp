#include "container/pack.h"

#include <algorithm>
#include <optional>

#include "base/messages.h"
#include "container/buffered_io.h"
#include "container/engine_failure.h"
#include "container/own_file.h"
#include "container/path_helpers.h"

namespace velmora {
namespace {

std::uint8_t AttributeByte(int attributes) {
    if (attributes < 0 || attributes > 255)
        ThrowFailure(Error{Text(Msg::kAttributeTooLarge, {std::to_string(attributes)})});
    return static_cast<std::uint8_t>(attributes);
}

}  // namespace

// The attributes the scan read, except for the folder itself and its own
// entries, which are read again (once), and those the walk resets to normal
// (a folder then reads 16, a file 128).
std::uint8_t Pack::AttributesOf(std::uint32_t entry) {
    const TreeScan& scan = tree_.scan;
    const ScannedEntry& root = scan.entries[TreeScan::kRoot];
    if (entry != TreeScan::kRoot && scan.entries[entry].parent != TreeScan::kRoot)
        return AttributeByte(scan.entries[entry].attributes);
    const std::size_t slot = entry == TreeScan::kRoot ? 0 : entry - root.first_child + 1;
    if (top_level_attributes_[slot] < 0) {
        const std::vector<std::uint32_t>& resets = walk_.resets;
        const bool reset = std::find(resets.begin(), resets.end(), entry) != resets.end();
        top_level_attributes_[slot] =
            reset ? (scan.IsFolder(entry) ? kFolder : kNormal)
                  : OrFail(run_.files.GetAttrAt(tree_.FolderOf(entry), tree_.NameOf(entry)));
    }
    return AttributeByte(top_level_attributes_[slot]);
}

// A partial file nobody holds is what a run that ended early (the close
// box, a crash) left behind: the run lock tells, as a writer holds its
// partial file locked until it has its final name. Opened for writing, as
// Windows lets a file be deleted only through handles that share deletion
// (a reading handle denies it).
bool RemoveIfAbandoned(Run& run, int folder, const std::string& name, Msg told,
                       const std::string& shown_path) {
    TreeOps& files = run.files;
    const Result<int> opened = files.OpenAt(folder, name, OpenMode::kReadWrite);
    if (!opened)
        return false;
    const Result<EntryInfo> identity = files.InspectOpen(opened.value());
    const Result<bool> free = files.TryLock(opened.value());
    const Result<bool> deleted = identity && free && free.value()
                                     ? files.DeleteFileAt(folder, name, identity.value())
                                     : Result<bool>(false);
    (void)files.Close(opened.value());
    if (!deleted || !deleted.value())
        return false;
    run.host.ShowMessage(Text(told, {files.paths().DisplayPath(shown_path)}), MessageIcon::kInformation);
    return true;
}

int Pack::CreatePartial(int folder, const std::string& target, const std::string& name,
                        std::string& partial) {
    TreeOps& files = run_.files;
    const NumberedFile created = OrFail(
        CreateNumberedFile(files, folder, {name + ".parcial"}, [&](const std::string& taken) {
            return RemoveIfAbandoned(run_, folder, taken, Msg::kRemovedAbandonedPartial,
                                     target.empty() ? taken : target + "\\" + taken);
        }));
    partial = created.name;
    const int container = created.handle;
    // Held until the container has its final name: another run then knows
    // this partial file is being written.
    if (!OrFail(files.TryLock(container)))
        ThrowFailure(Error{Text(Msg::kAlreadyWorkingOn, {files.paths().DisplayPath(partial)})});
    return container;
}

void Pack::WriteEntries(ContainerWriter& writer, BufferedWriter& out, const FoundList& sFound) {
    const TreeScan& scan = tree_.scan;
    // Full paths are measured in the characters the system shows: the
    // folder's parent may hold characters a stored name could not.
    const std::string& folder = run_.state.FolderPath;
    const std::size_t base = run_.files.paths().CharacterCount(folder);
    std::size_t longest = 0;
    for (std::size_t i = 0; i < sFound.size(); ++i)
        longest = std::max(longest, base + sFound.PathLength(i) - folder.size());

    top_level_attributes_.assign(scan.entries[TreeScan::kRoot].children + 1, -1);
    OrFail(writer.WriteHeader(out, sFound.size(), longest, AttributesOf(TreeScan::kRoot)));
    // A folder entry's parent part is the entry itself; a file's, its folder.
    ItemPaths paths(sFound);
    for (std::size_t i = 0; i < sFound.size(); ++i) {
        const std::uint32_t entry = sFound[i];
        const bool file = !sFound.IsFolderEntry(i);
        const EntryInfo& info = scan.entries[entry].info;
        IndexEntry written{paths.Of(i), !file, AttributesOf(entry),
                           AttributesOf(file ? scan.entries[entry].parent : entry),
                           file ? info.size : -1};
        written.modified_ns = info.modified_ns;
        written.mode = info.mode;
        OrFail(writer.WriteEntry(out, written));
    }
}

void Pack::WriteContainer(const std::string& container_path, ContainerWriter& writer,
                          const FoundList& sFound, const SeeBytes& see, const CheckWritten& check) {
    TreeOps& files = run_.files;
    const TreeScan& scan = tree_.scan;
    const std::string target = ParentOf(container_path);
    const int container_folder = OrFail(files.OpenStartingFolder(target.empty() ? "." : target));
    const std::string name = Nombre(container_path);
    std::string partial;
    const int container = CreatePartial(container_folder, target, name, partial);
    const EntryInfo created = OrFail(files.InspectOpen(container));
    std::string written = partial;  // the name the container has now
    std::optional<Unfinished> unfinished;
    unfinished.emplace(run_, [&] {
        (void)files.Close(container);
        DeleteOwnFile(files, container_folder, partial, created);
    });
    try {
        BufferedWriter out(files, container, 0);
        WriteEntries(writer, out, sFound);
        std::int64_t running_total = 0;
        ItemPaths paths(sFound);
        const auto entries = static_cast<std::int64_t>(sFound.size());
        for (std::size_t i = 0; i < sFound.size(); ++i) {
            if (!sFound.IsFolderEntry(i)) {
                PackFile(writer, out, sFound[i], paths.Of(i), see);
                running_total += scan.entries[sFound[i]].info.size;
                run_.host.AdvanceProgress(running_total * 10 / (run_.state.TotalBytes + 1));
            }
            run_.host.CountWork(
                {static_cast<std::int64_t>(i) + 1, entries, running_total, run_.state.TotalBytes});
        }
        OrFail(writer.Finish(out));
        OrFail(out.Flush());
        // Before the originals are wiped, the container must be on disk and
        // read back from it as written; when they stay, nothing is at risk
        // and the system may write it back later.
        const bool wiping = !run_.options.keep_originals;
        if (wiping)
            OrFail(files.Flush(container));
        if (check) {
            const int from_disk = OrFail(files.ReopenUncached(container));
            const Status checked = check(from_disk);
            (void)files.Close(from_disk);
            OrFail(checked);
        }
        // The last moment "Cancelar" and an interrupt still find an
        // unfinished container: from its final name on, the job is done.
        run_.host.PumpEvents();
        OrFail(files.RenameAt(container_folder, partial, name));
        written = name;
        unfinished.reset();
        if (wiping)
            OrFail(files.SyncFolderOpen(container_folder));
        OrFail(files.Close(container));
        (void)files.Close(container_folder);
    } catch (const EngineFailure&) {
        // Nothing of the folder has been touched; the container of a failed
        // run is ours and useless, so it goes, as long as its name still
        // holds the file this run created.
        unfinished.reset();
        (void)files.Close(container);
        DeleteOwnFile(files, container_folder, written, created);
        files.CloseAll();
        throw;
    }
}

// What is packed must be the file the scan saw, unchanged from before its
// first byte is read to after its last: the wipe destroys that file trusting
// that its copy is in the container.
void Pack::PackFile(ContainerWriter& writer, BufferedWriter& out, std::uint32_t entry,
                    const std::string& path, const SeeBytes& see) {
    TreeOps& files = run_.files;
    const EntryInfo& seen = tree_.scan.entries[entry].info;
    const int source =
        OrFail(files.OpenAt(tree_.FolderOf(entry), tree_.NameOf(entry), OpenMode::kRead));
    auto changed = [&] {
        return Error{Text(Msg::kChangedWhileEncoding, {files.paths().DisplayPath(path)})};
    };
    const Result<EntryInfo> opened = files.InspectOpen(source);
    if (!opened || !SameUntouchedFile(opened.value(), seen))
        ThrowFailure(changed());
    std::optional<PlaintextHash> copied_up;
    if (OrFail(files.CopiesUpOnWrite(source)))
        copied_up.emplace();
    std::int64_t position = 0;
    auto read_piece = [&](std::uint8_t* into, std::size_t length, bool last) -> Status {
        const std::size_t asked = last ? length + 1 : length;
        Result<std::size_t> got = files.Read(source, position, into, asked);
        if (!got)
            return got.error();
        if (got.value() != length)
            return changed();
        if (see)
            see(into, length);
        if (copied_up)
            copied_up->Update(into, length);
        position += static_cast<std::int64_t>(length);
        return Status::Ok();
    };
    OrFail(writer.WriteFileData(out, seen.size, read_piece));
    const Result<EntryInfo> read = files.InspectOpen(source);
    if (!read || !SameUntouchedFile(read.value(), seen))
        ThrowFailure(changed());
    if (copied_up)
        tree_.packed_digests[entry] = copied_up->Final();
    OrFail(files.Close(source));
}

}  // namespace velmora
