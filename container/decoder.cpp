#include <memory>
#include <optional>

#include "base/messages.h"
#include "container/conversion_leftovers.h"
#include "container/engine.h"
#include "container/engine_failure.h"
#include "container/opened_container.h"
#include "container/path_helpers.h"
#include "container/restore.h"
#include "container/restore_source.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed/sealed_kind.h"
#include "container/staged_restore.h"
#include "container/wipe_record.h"

namespace velmora {

// The container's kind, from its header, decides the restore: the legacy
// kind's own or the sealed kind's, both staged: nothing appears under the
// restored name before the whole tree is written, flushed and checked.
RunResult Engine::Des_carpeta(const EngineRequest& request) {
    Start(request);
    const std::string& container = run_.state.FolderPath;
    if (!NamesAContainer(container))
        return Refuse(Text(Msg::kNotAContainer, {run_.files.paths().DisplayPath(container)}));
    const std::string root = container.substr(0, container.size() - 4);
    bool beside_interrupted_wipe = false;
    GiveBackTheLegacyName(run_);
    RestoreSource source(run_);
    std::optional<Restore> legacy;
    std::unique_ptr<SealedReader> sealed_reader;
    std::optional<StagedRestore> staged;
    try {
        const OpenedHeader header = source.Open();
        if (header.kind == ContainerKind::kSealed) {
            if (!run_.state.sealed_keys)
                ThrowFailure(Error{Text(Msg::kWrongPassword)});
            sealed_reader = SealedKind(run_.host).Reader(source.container().source(), header.sealed,
                                                         *run_.state.sealed_keys);
            staged.emplace(run_, source, *sealed_reader);
            staged->ReadIndex();
        } else {
            legacy.emplace(run_, source);
            legacy->ReadEntries(header.legacy);
        }
        source.OpenFolder();
        if (header.kind == ContainerKind::kSealed)
            DestroyAbandonedLegacy(run_, source.folder());
        if (source.Holds(WipeRecordName(Nombre(container)))) {
            // A wipe of the folder beside it was killed: its record goes
            // now if the folder is gone, or once the complete copy is
            // published beside the half-wiped original.
            if (source.Holds(Nombre(root)))
                beside_interrupted_wipe = true;
            else if (RemoveWipeRecord(run_.files, container))
                run_.host.ShowMessage(Text(Msg::kWipeRecordOfGoneFolderRemoved,
                                           {run_.files.paths().DisplayPath(root),
                                            run_.files.paths().DisplayPath(container)}),
                                      MessageIcon::kInformation);
        }
    } catch (const EngineFailure& failure) {
        run_.files.CloseAll();
        return Refuse(failure.message);
    }

    try {
        const std::vector<DecodedEntry>& entries = staged ? staged->entries() : legacy->entries();
        for (const DecodedEntry& entry : entries)
            if (entry.size >= 0)
                run_.state.TotalBytes += entry.size;
        if (staged) {
            staged->Restore();
        } else {
            legacy->Crear_carpetas();
            legacy->Extraer();
        }
    } catch (const EngineFailure& failure) {
        // Damage found while a sealed container is restored has left
        // nothing behind: the container is refused as if found at once.
        if (legacy)
            legacy->Discard();
        if (staged && FaultOf(Error{failure.message, failure.code}) == SealedFault::kDamaged) {
            run_.files.CloseAll();
            RunResult refused = Refuse(failure.message);
            refused.files_damaged = true;
            return refused;
        }
        return Fail(failure.message);
    }
    // Damage the parity repaired is said once the job is done.
    if (sealed_reader && sealed_reader->RebuiltChunks() > 0)
        run_.host.ShowMessage(
            Text(Msg::kSealedChunksRebuilt, {std::to_string(sealed_reader->RebuiltChunks())}),
            MessageIcon::kInformation);
    if (beside_interrupted_wipe && !run_.options.keep_container) {
        (void)RemoveWipeRecord(run_.files, container);
        const std::string& restored = run_.state.RestoredPath;
        run_.host.ShowMessage(
            Text(Msg::kWipeInterruptedRestoredBeside,
                 {run_.files.paths().DisplayPath(root),
                  run_.files.paths().DisplayPath(restored.substr(0, restored.size() - 1))}),
            MessageIcon::kInformation);
    }
    if (run_.options.show_restored_folder) {
        run_.host.MakeWayForFolder();
        run_.host.OpenFolder(run_.state.RestoredPath);
        Espera(1);
    }
    if (staged)
        run_.host.SealedJob(SealedMoment::kRestored, run_.state.RestoredPath);
    RunResult done{Outcome::kDone, ""};
    done.restored_path = run_.state.RestoredPath;
    return done;
}

}  // namespace velmora
