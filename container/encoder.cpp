#include <cerrno>

#include "base/messages.h"
#include "container/byte_source.h"
#include "container/dir_walk.h"
#include "container/engine.h"
#include "container/engine_failure.h"
#include "container/folder_handles.h"
#include "container/legacy/container_format.h"
#include "container/legacy/legacy_kind.h"
#include "container/legacy/legacy_reader.h"
#include "container/opened_container.h"
#include "container/path_helpers.h"
#include "container/restore_source.h"
#include "container/staging_folder.h"
#include "container/tree_scan.h"
#include "container/wipe.h"
#include "container/wipe_record.h"
#include "container/written_check.h"

namespace velmora {

Status Engine::CheckFolderPath() {
    const std::string& folder = run_.state.FolderPath;
    if (folder.empty() || folder == "\\" || folder.back() == '\\' ||
        !NamesAContainer(ContainerNameFor(Nombre(folder))))
        return Error{Text(Msg::kNotAFolderToEncode, {run_.files.paths().DisplayPath(folder)})};
    return Status::Ok();
}

std::string Engine::ContainerPathOf(const std::string& folder) const {
    const std::string container_name = ContainerNameFor(Nombre(folder));
    return run_.options.container_folder.empty()
               ? container_name
               : run_.options.container_folder + "\\" + container_name;
}

Status Engine::CheckBeforePassword(const EngineRequest& request) {
    Start(request);
    if (Status named = CheckFolderPath(); !named)
        return named;
    const std::string& folder = run_.state.FolderPath;
    const std::string container_path = ContainerPathOf(folder);
    if (FindInterruptedWipe(run_.files, container_path) != InterruptedWipe::kNone)
        return Status::Ok();
    // As the scan opens the folder, and tells a link or a file as the scan does.
    Result<int> opened = run_.files.OpenStartingFolder(folder);
    if (!opened) {
        if (const Result<EntryInfo> what = InspectNamed(run_.files, folder);
            what && what->kind != EntryKind::kFolder)
            return Error{Text(Msg::kNotAFolder, {run_.files.paths().DisplayPath(folder)})};
        return opened.error();
    }
    (void)run_.files.Close(opened.value());
    return CheckEncodingTarget(container_path);
}

Status Engine::CheckEncodingTarget(const std::string& container_path) {
    const std::string& folder = run_.state.FolderPath;
    Result<std::string> target = run_.options.container_folder.empty()
                                     ? run_.files.paths().CurrentFolder()
                                     : Result<std::string>(run_.options.container_folder);
    if (!target)
        return target.error();
    // By the real folders, not the texts: a link or a bind mount into the
    // folder must not let the container be written inside it and wiped.
    Result<bool> inside = run_.files.paths().IsSameOrInside(target.value(), folder);
    if (!inside)
        return inside.error();
    if (inside.value())
        return Error{
            Text(Msg::kContainerInsideFolder, {run_.files.paths().DisplayPath(target.value())})};
    if (InspectNamed(run_.files, container_path).ok())
        return Error{Text(Msg::kContainerExists, {run_.files.paths().DisplayPath(container_path)})};
    return Status::Ok();
}

// A wipe killed midway left its record beside the container: the folder is
// part overwritten, the container complete. Said plainly, naming what was
// already overwritten; nothing is touched.
Status Engine::ExplainInterruptedWipe(ScannedTree& tree, const std::string& container_path) {
    const InterruptedWipe found = FindInterruptedWipe(run_.files, container_path);
    if (found == InterruptedWipe::kNone)
        return Status::Ok();
    const std::string folder = run_.files.paths().DisplayPath(run_.state.FolderPath);
    const std::string container = run_.files.paths().DisplayPath(container_path);
    if (found == InterruptedWipe::kContainerChanged)
        return Error{Text(Msg::kWipeInterruptedContainerChanged, {folder, container})};
    std::string names;
    for (const std::string& path : OverwrittenFiles(run_.files, tree.scan, tree.folders))
        names += (names.empty() ? "" : ", ") + run_.files.paths().DisplayPath(path);
    if (names.empty())
        names = Text(Msg::kWipeInterruptedNoneOverwritten);
    return Error{Text(Msg::kWipeWasInterrupted, {folder, container, names})};
}

Status Engine::StartEncoding(ScannedTree& tree, NameRules rules, std::string& container_path) {
    const std::string& folder = run_.state.FolderPath;
    container_path = ContainerPathOf(folder);
    Result<TreeScan> scan = ScanTree(run_.files, run_.host, folder, tree.folders, rules);
    if (!scan) {
        // A kill after the last delete left the wipe's record and no folder.
        const Result<EntryInfo> gone = InspectNamed(run_.files, folder);
        if (!gone && gone.error().code == ENOENT && RemoveWipeRecord(run_.files, container_path))
            run_.host.ShowMessage(Text(Msg::kWipeRecordOfGoneFolderRemoved,
                                       {run_.files.paths().DisplayPath(folder),
                                        run_.files.paths().DisplayPath(container_path)}),
                                  MessageIcon::kInformation);
        return scan.error();
    }
    tree.scan = std::move(scan).value();
    if (Status interrupted = ExplainInterruptedWipe(tree, container_path); !interrupted)
        return interrupted;
    return CheckEncodingTarget(container_path);
}

void Engine::PackContainer(ScannedTree& tree, const WalkResult& walk, const FoundList& entries,
                           ContainerWriter& writer, const std::string& container_path,
                           const ReaderOf& reader_of) {
    run_.state.TotalBytes = 0;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (!entries.IsFolderEntry(i))
            run_.state.TotalBytes += tree.scan.entries[entries[i]].info.size;
    PlaintextHash read;
    // Read back from the disk through the kind's reader, the container must
    // give the bytes the pack read, whose digest `read` holds by then, and
    // its index must pass the restore's own check of what this system can
    // restore beside it.
    auto check = [&](int file) -> Status {
        Result<EntryInfo> written = run_.files.InspectOpen(file);
        if (!written)
            return written.error();
        FileByteSource source(run_.files, file, written->size);
        Result<std::unique_ptr<ContainerReader>> reader = reader_of(file, source);
        std::vector<DecodedEntry> index;
        Status checked =
            reader ? CheckAgainst(*reader.value(), read.Final(), writer.WrittenIndex(), index)
                   : reader.error();
        if (!checked)
            return Error{Text(Msg::kWrittenDiffersFromFolder, {checked.error().message})};
        if (Status restorable = CheckRestorable(run_.files, container_path, index); !restorable)
            return restorable;
        return CheckPublishable(run_.files, container_path);
    };
    // The originals kept, nothing is at risk: no digest, no check.
    const bool checking = !run_.options.keep_originals;
    const Pack::SeeBytes see = [&](const std::uint8_t* data, std::size_t length) {
        read.Update(data, length);
    };
    Pack(run_, tree, walk)
        .WriteContainer(container_path, writer, entries, checking ? see : Pack::SeeBytes(),
                        checking ? Pack::CheckWritten(check) : Pack::CheckWritten());
}

bool Engine::WipeFolder(ScannedTree& tree, const WalkResult& walk, const FoundList& files,
                        const std::string& container_path, bool apply_walk_resets) {
    if (before_wipe_)
        before_wipe_(files);
    if (run_.options.keep_originals)
        return false;
    if (apply_walk_resets)
        ApplyWalkResets(run_, tree, walk);
    Wipe wipe(run_, tree, walk, container_path);
    wipe.BorrarOrig(files);
    return wipe.LeftAnything();
}

RunResult Engine::Hacelo(const EngineRequest& request) {
    Start(request);
    const std::string& Contrasena = request.key;
    // The caption says what is happening from the start, the scan included.
    run_.host.BeginStep(Text(Msg::kEncodingCaption));
    const std::string& folder = run_.state.FolderPath;
    if (Status named = CheckFolderPath(); !named)
        return Refuse(named.error().message);
    if (Contrasena.size() != kKeyLength || PasswordCheckHasEdgeSpace(run_.tables, Contrasena))
        return Refuse(Text(Msg::kPasswordUnusableByFormat));
    ScannedTree tree(run_.files);
    std::string container_path;
    const LegacyKind kind(run_, Contrasena);
    if (Status started = StartEncoding(tree, LegacyKind::kNameRules, container_path); !started)
        return Refuse(started.error().message);
    if (Status names = kind.CheckStoredNames(tree.scan, folder); !names)
        return Refuse(names.error().message);

    bool left_behind = false;
    try {
        FoundList sFound(tree.scan);
        const WalkResult walk = DirWalk(run_, tree, folder + "\\", sFound);
        LegacyWriter writer = kind.Writer(static_cast<std::size_t>(run_.state.BasePathLength));
        PackContainer(
            tree, walk, sFound, writer, container_path,
            [&](int file, ByteSource& source) { return kind.ReaderOfWritten(file, source); });
        left_behind = WipeFolder(tree, walk, sFound, container_path, true);
    } catch (const EngineFailure& failure) {
        return FailOrRefuse(failure);
    }
    return Done(left_behind);
}

}  // namespace velmora
