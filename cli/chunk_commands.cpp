#include "cli/commands.h"

#include <algorithm>

#include "base/messages.h"
#include "base/name_text.h"
#include "cli/console.h"
#include "container/restore_source.h"
#include "container/sealed/chunk_check.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed_repair.h"
#include "container/sealed_salvage.h"

namespace velmora {
namespace {

std::string Damage(const ChunkCheck& check) {
    std::string parts;
    const auto add = [&](std::uint64_t count, Msg message) {
        if (count == 0)
            return;
        parts += (parts.empty() ? "" : ", ") + Text(message, {std::to_string(count)});
    };
    add(check.chunks_rebuilt, Msg::kSealedDamagedDataChunks);
    add(check.parity_damaged, Msg::kSealedDamagedParitySlots);
    add(check.index_copies_damaged, Msg::kSealedDamagedIndexCopy);
    add(check.headers_damaged, Msg::kSealedDamagedHeaderCopies);
    if (check.size_wrong)
        parts += (parts.empty() ? "" : ", ") +
                 Text(Msg::kSealedDamagedLength,
                      {std::to_string(check.size), std::to_string(check.expected_size)});
    return parts;
}

// What the check found, and its exit status.
int Report(const ChunkCheck& check) {
    // Chunks all whole, but an index that breaks the rules: no parity helps.
    if (!check.beyond_repair() && !check.index_read) {
        Say(check.index_refused);
        return kExitRefused;
    }
    if (check.sound()) {
        Print(Text(Msg::kSealedSound, {std::to_string(check.entries), std::to_string(check.files),
                                       std::to_string(check.bytes)}));
        return kExitOk;
    }
    if (!check.beyond_repair()) {
        Print(Text(Msg::kSealedRepairable, {Damage(check)}));
        return kExitRepairable;
    }
    const std::string lost = std::to_string(check.lost.size());
    if (!check.index_read) {
        Print(Text(Msg::kSealedBeyondRepairIndexLost, {lost}));
        return kExitRefused;
    }
    Print(Text(Msg::kSealedBeyondRepair, {lost, std::to_string(check.lost_files.size())}));
    for (const std::string& path : check.lost_files)
        WriteNativeOutput(EscapeControlBytes(path) + "\n");
    return kExitRefused;
}

Result<ChunkCheck> Check(CommandContext& run, OpenedContainer& container,
                         const SealedHeader& header, const SealedKeys& keys) {
    CliHost::CatchInterrupts();
    return CheckChunks(container.source(), header, keys, [&] { run.host.PumpEvents(); });
}

int Failed(const Error& error) {
    Say(error.message);
    const bool refused = FaultOf(error) == SealedFault::kDamaged ||
                         error.code == kPartRefusedCode || error.code == kNotRestorableCode;
    return refused ? kExitRefused : kExitFailed;
}

}  // namespace

int VerifyChunks(CommandContext& run, OpenedContainer& container, const SealedHeader& header,
                 const SealedKeys& keys) {
    const Result<ChunkCheck> check = Check(run, container, header, keys);
    return check ? Report(check.value()) : Failed(check.error());
}

int SalvageChunks(CommandContext& run, const SealedKeys& keys) {
    CliHost::CatchInterrupts();
    Run steps(run.files, run.host, run.tables, run.clock, run.cancel, run.request);
    const Result<Salvaged> salvaged = SalvageSealed(steps, keys, run.options.salvage_partial);
    run.host.EndProgress();
    if (!salvaged)
        return Failed(salvaged.error());
    PrintRestoredFolder(run.files, salvaged->restored_path);
    if (!salvaged->lost.empty()) {
        Print(Text(Msg::kSalvageLostFiles, {std::to_string(salvaged->lost.size())}));
        for (const std::string& path : salvaged->lost)
            WriteNativeOutput(EscapeControlBytes(path) + "\n");
    }
    if (!salvaged->partial.empty()) {
        Print(Text(Msg::kSalvagePartialFiles, {std::to_string(salvaged->partial.size())}));
        for (const ChunkReader::Holed& file : salvaged->partial) {
            WriteNativeOutput(EscapeControlBytes(file.restored_path));
            WriteOutput(Text(Msg::kSalvagePartialFile, {std::to_string(file.zeroed)}) + "\n");
        }
    }
    return kExitOk;
}

int ExtractChunks(CommandContext& run, const SealedKeys& keys) {
    std::string destination;
    if (const int given = ResolveGivenFolder(run, destination); given != kExitOk)
        return given;
    // Paths as the index writes them: "/" between names, none at the ends.
    std::vector<std::string> paths;
    for (std::string path : run.options.paths) {
        std::replace(path.begin(), path.end(), '\\', '/');
        while (path.starts_with("./"))
            path.erase(0, 2);
        while (path.ends_with("/"))
            path.pop_back();
        paths.push_back(path);
    }
    CliHost::CatchInterrupts();
    Run steps(run.files, run.host, run.tables, run.clock, run.cancel, run.request);
    const Result<std::string> extracted = ExtractSealed(steps, keys, paths, destination);
    run.host.EndProgress();
    if (!extracted)
        return Failed(extracted.error());
    PrintRestoredFolder(run.files, extracted.value());
    return kExitOk;
}

int RepairSealed(CommandContext& run, OpenedContainer& container, const SealedHeader& header,
                 const SealedKeys& keys, const std::string& password) {
    const std::string shown = run.files.paths().DisplayPath(run.request.path);
    if (header.version == kSealedVersion2) {
        const Result<ChunkCheck> check = Check(run, container, header, keys);
        if (!check)
            return Failed(check.error());
        if (check->sound()) {
            Print(Text(Msg::kSealedNothingToRepair, {shown}));
            return kExitOk;
        }
        if (check->beyond_repair() || !check->index_read)
            return Report(check.value());
    }
    container.Close();
    CliHost::CatchInterrupts();
    Run steps(run.files, run.host, run.tables, run.clock, run.cancel, run.request);
    SealedRepair repair(steps, keys, password);
    const Status repaired = repair.Repair();
    run.host.EndProgress();
    if (!repaired)
        return Failed(repaired.error());
    Print(Text(Msg::kSealedRepaired, {shown}));
    return kExitOk;
}

}  // namespace velmora
