#include "container/sealed_salvage.h"

#include <algorithm>
#include <optional>
#include <set>

#include "base/messages.h"
#include "base/name_text.h"
#include "container/engine_failure.h"
#include "container/path_helpers.h"
#include "container/restore_source.h"
#include "container/sealed/chunk_check.h"
#include "container/sealed/chunk_reader.h"
#include "container/sealed/sealed_failure.h"
#include "container/staged_restore.h"

namespace velmora {
namespace {

bool Under(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '/';
}

// The restore (a salvage's, or an extraction's that keeps only the restored
// folder), once `keep` is known from the opened container: in `root`
// of the open folder `root_folder` (-1: the container's folder).
struct Part {
    std::function<ChunkReader::Keep(ByteSource&, const SealedHeader&)> keep;
    std::function<void()> after_index;  // refusals once the index is read
    std::string root;
    int root_folder = -1;
};

Result<Salvaged> RestorePart(Run& run, const SealedKeys& keys, Part part, bool with_partial) {
    const std::string& container = run.state.FolderPath;
    run.options.keep_container = true;
    RestoreSource source(run);
    Salvaged restored;
    try {
        const OpenedHeader header = source.Open();
        if (header.kind != ContainerKind::kSealed || header.sealed.version != kSealedVersion2)
            ThrowFailure(
                Error{Text(Msg::kSalvageNeedsVersion2, {run.files.paths().DisplayPath(container)}),
                      kPartRefusedCode});
        ChunkReader reader(source.container().source(), header.sealed, keys, run.host,
                           part.keep(source.container().source(), header.sealed));
        StagedRestore staged(run, source, reader);
        staged.ReadIndex();
        if (part.after_index)
            part.after_index();
        staged.SetRoot(part.root, part.root_folder);
        source.OpenFolder();
        for (const DecodedEntry& entry : staged.entries())
            if (entry.size >= 0)
                run.state.TotalBytes += entry.size;
        staged.Restore();
        restored.restored_path = run.state.RestoredPath;
        restored.files = static_cast<std::size_t>(
            std::count_if(staged.entries().begin(), staged.entries().end(),
                          [](const DecodedEntry& entry) { return entry.size >= 0; }));
        restored.lost = reader.left_out();
        if (with_partial)
            restored.partial = reader.holed();
    } catch (const EngineFailure& failure) {
        run.files.CloseAll();
        return Error{failure.message, failure.code};
    }
    return restored;
}

}  // namespace

Result<Salvaged> SalvageSealed(Run& run, const SealedKeys& keys, bool with_partial) {
    const std::string& container = run.state.FolderPath;
    std::optional<ChunkCheck> check;
    Part part;
    part.keep = [&](ByteSource& source, const SealedHeader& header) -> ChunkReader::Keep {
        check = OrFail(CheckChunks(source, header, keys, [&] { run.host.PumpEvents(); }));
        if (!check->index_read)
            ThrowFailure(DamagedError(Text(Msg::kSealedIndexLost)));
        return [&](const SealedEntry&, std::uint64_t first, std::uint64_t last) {
            const auto found = std::lower_bound(check->lost.begin(), check->lost.end(), first);
            if (found == check->lost.end() || *found > last)
                return ChunkReader::Take::kWhole;
            return with_partial ? ChunkReader::Take::kWithHoles : ChunkReader::Take::kLeave;
        };
    };
    part.root = container.substr(0, container.size() - 4) + " " + Text(Msg::kSalvagedSuffix);
    return RestorePart(run, keys, std::move(part), with_partial);
}

Result<std::string> ExtractSealed(Run& run, const SealedKeys& keys,
                                  const std::vector<std::string>& paths,
                                  const std::string& destination) {
    const std::string& container = run.state.FolderPath;
    const std::string name = Nombre(container).substr(0, Nombre(container).size() - 4);
    std::set<std::string> named;
    Part part;
    part.keep = [&](ByteSource&, const SealedHeader&) -> ChunkReader::Keep {
        return [&](const SealedEntry& entry, std::uint64_t, std::uint64_t) {
            bool keep = false;
            for (const std::string& path : paths) {
                const bool inside = entry.path == path || Under(entry.path, path);
                if (inside)
                    named.insert(path);
                keep = keep || inside || (entry.folder && Under(path, entry.path));
            }
            return keep ? ChunkReader::Take::kWhole : ChunkReader::Take::kLeave;
        };
    };
    part.after_index = [&] {
        for (const std::string& path : paths)
            if (named.count(path) == 0)
                ThrowFailure(
                    Error{Text(Msg::kExtractNotFound, {ShownName(path)}), kPartRefusedCode});
    };
    part.root = container.substr(0, container.size() - 4);
    if (!destination.empty()) {
        const Result<int> folder = run.files.OpenStartingFolder(destination);
        if (!folder)
            return folder.error();
        part.root = destination + "\\" + name;
        part.root_folder = folder.value();
    }
    const Result<Salvaged> restored = RestorePart(run, keys, std::move(part), false);
    if (!restored)
        return restored.error();
    return restored->restored_path;
}

}  // namespace velmora
