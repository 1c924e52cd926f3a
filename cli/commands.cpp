#include "cli/commands.h"

#include <chrono>

#include "base/messages.h"
#include "cli/command_context.h"
#include "cli/console.h"
#include "cli/convert_command.h"
#include "cli/legacy_commands.h"
#include "cli/register_command.h"
#include "cli/sealed_commands.h"
#include "container/opened_container.h"
#include "container/sealed_repair.h"

namespace velmora {

int RunEncoding(CommandContext& run, const std::function<RunResult(Engine&)>& encode) {
    CliHost::CatchInterrupts();
    Engine engine(run.files, run.host, run.tables, run.clock, run.cancel, run.engine);
    const auto start = std::chrono::steady_clock::now();
    auto wipe_start = start;
    engine.SetBeforeWipe([&](const FoundList&) { wipe_start = std::chrono::steady_clock::now(); });
    const RunResult result = encode(engine);
    if (run.options.timings && result.outcome == Outcome::kDone) {
        const auto end = std::chrono::steady_clock::now();
        using Seconds = std::chrono::duration<double>;
        WriteError(Text(Msg::kTimings, {Formatted("%.3f", Seconds(wipe_start - start).count()),
                                        Formatted("%.3f", Seconds(end - wipe_start).count())}) +
                   "\n");
    }
    return ExitFor(result);
}

int ResolveContainer(CommandContext& run) {
    Result<std::string> target =
        run.files.FromSystemPath(run.options.target, FileSystem::Given::kEntry);
    if (!target) {
        Say(target.error().message);
        return kExitRefused;
    }
    run.request.path = target.value();
    return kExitOk;
}

int ResolveGivenFolder(CommandContext& run, std::string& folder) {
    if (run.options.container_folder.empty())
        return kExitOk;
    Result<std::string> given =
        run.files.FromSystemPath(run.options.container_folder, FileSystem::Given::kOutsideFolder);
    if (!given) {
        Say(given.error().message);
        return kExitRefused;
    }
    folder = given.value();
    return kExitOk;
}

int RunDecoding(CommandContext& run) {
    CliHost::CatchInterrupts();
    Engine engine(run.files, run.host, run.tables, run.clock, run.cancel, run.engine);
    const RunResult result = engine.Des_carpeta(run.request);
    if (result.outcome == Outcome::kDone) {
        run.host.EndProgress();
        PrintRestoredFolder(run.files, result.restored_path);
    }
    return ExitFor(result);
}

namespace {

// A folder to encode or seal: the container's folder and what the job
// refuses without a password, then the kind's own.
int EncodeOrSeal(CommandContext& run) {
    run.engine.keep_originals = run.options.keep;
    if (const int given = ResolveGivenFolder(run, run.engine.container_folder); given != kExitOk)
        return given;
    Engine engine(run.files, run.host, run.tables, run.clock, run.cancel, run.engine);
    if (Status ready = engine.CheckBeforePassword(run.request); !ready) {
        Say(ready.error().message);
        return kExitRefused;
    }
    return run.options.command == "seal" ? SealFolder(run) : EncodeFolder(run);
}

// Only the header before the password: a damaged or hostile index is read
// after it. A sealed container's path may hold any character, so it is
// read with UTF-8 paths first; a legacy container goes on with
// Windows-1252 paths, as that kind always has.
int OpenContainer(CommandContext& run) {
    run.files.SetNameCoding(NameCoding::kUtf8);
    OpenedContainer container(run.files);
    if (run.files.FromSystemPath(run.options.target, FileSystem::Given::kEntry)) {
        if (ResolveContainer(run) != kExitOk)
            return kExitRefused;
        if (run.options.command == "repair") {
            Run steps(run.files, run.host, run.tables, run.clock, run.engine, run.cancel,
                      run.request);
            GiveBackTheDamagedName(steps);
        }
        Result<OpenedHeader> header = container.Open(run.request.path);
        if (header && header->kind == ContainerKind::kSealed && run.options.command == "recover") {
            Say(Text(Msg::kSealedKeyCannotBeFound,
                     {run.files.paths().DisplayPath(run.request.path)}));
            return kExitRefused;
        }
        if (header && header->kind == ContainerKind::kSealed)
            return OpenSealed(run, container, header->sealed);
        container.Close();
    }
    run.files.SetNameCoding(NameCoding::kWindows1252);
    if (ResolveContainer(run) != kExitOk)
        return kExitRefused;
    Result<OpenedHeader> header = container.Open(run.request.path);
    if (!header) {
        Say(header.error().message);
        return kExitRefused;
    }
    if (run.options.command == "repair") {
        Say(Text(Msg::kRepairNotSealed, {run.files.paths().DisplayPath(run.request.path)}));
        return kExitRefused;
    }
    if (run.options.command == "extract" || run.options.salvage) {
        Say(Text(Msg::kSalvageNeedsVersion2, {run.files.paths().DisplayPath(run.request.path)}));
        return kExitRefused;
    }
    return OpenLegacy(run, container, header->legacy);
}

}  // namespace

int RunCommand(const CliOptions& options, FileSystem& files) {
    if (options.command == "register")
        return Register(files);
    if (options.command == "unregister")
        return Unregister();
    if (options.command == "seal")
        files.SetNameCoding(NameCoding::kUtf8);
    CommandContext run(options, files);
    if (options.command == "encode" || options.command == "seal")
        return ResolveContainer(run) == kExitOk ? EncodeOrSeal(run) : kExitRefused;
    if (options.command == "convert")
        return ConvertContainer(run);
    return OpenContainer(run);
}

}  // namespace velmora
