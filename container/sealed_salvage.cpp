#include "container/sealed_salvage.h"

#include <algorithm>

#include "base/messages.h"
#include "container/engine_failure.h"
#include "container/restore_source.h"
#include "container/sealed/chunk_check.h"
#include "container/sealed/chunk_reader.h"
#include "container/sealed/sealed_failure.h"
#include "container/staged_restore.h"

namespace velmora {

Status SalvageSealed(Run& run, const SealedKeys& keys, std::vector<std::string>& lost) {
    const std::string& container = run.state.FolderPath;
    RestoreSource source(run);
    try {
        const OpenedHeader header = source.Open();
        if (header.kind != ContainerKind::kSealed || header.sealed.version != kSealedVersion2)
            ThrowFailure(
                Error{Text(Msg::kSalvageNeedsVersion2, {run.files.DisplayPath(container)})});
        const ChunkCheck check = OrFail(CheckChunks(source.container().source(), header.sealed,
                                                    keys, [&] { run.host.PumpEvents(); }));
        if (!check.index_read)
            ThrowFailure(DamagedError(Text(Msg::kSealedIndexLost)));
        ChunkReader reader(source.container().source(), header.sealed, keys, run.host,
                           [&](const SealedEntry&, std::uint64_t first, std::uint64_t last) {
                               const auto found =
                                   std::lower_bound(check.lost.begin(), check.lost.end(), first);
                               return found == check.lost.end() || *found > last;
                           });
        StagedRestore staged(run, source, reader);
        staged.ReadIndex();
        staged.SetRoot(container.substr(0, container.size() - 4) + " " +
                       Text(Msg::kSalvagedSuffix));
        source.OpenFolder();
        for (const DecodedEntry& entry : staged.entries())
            if (entry.size >= 0)
                run.state.TotalBytes += entry.size;
        staged.Restore();
        lost = reader.left_out();
    } catch (const EngineFailure& failure) {
        run.files.CloseAll();
        return Error{failure.message, failure.code};
    }
    return Status::Ok();
}

}  // namespace velmora
