#include "cli/commands.h"

#include <chrono>

#include "base/messages.h"
#include "cli/console.h"
#include "container/open_any_container.h"
#include "container/sealed_repair.h"

namespace velmora {

int RunEncoding(CommandContext& run, const std::function<RunResult(Engine&)>& encode) {
    CliHost::CatchInterrupts();
    Engine engine(run.files, run.host, run.tables, run.clock, run.cancel);
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
    const bool sealing = run.options.command == "seal" || run.options.command == "convert";
    Result<std::string> target =
        sealing ? ResolveForSealing(run.files, run.options.target)
                : run.files.FromSystemPath(run.options.target, FileSystem::Given::kEntry);
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
    Engine engine(run.files, run.host, run.tables, run.clock, run.cancel);
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
    run.request.options.keep_originals = run.options.keep;
    if (const int given = ResolveGivenFolder(run, run.request.options.container_folder);
        given != kExitOk)
        return given;
    Engine engine(run.files, run.host, run.tables, run.clock, run.cancel);
    if (Status ready = engine.CheckBeforePassword(run.request); !ready) {
        Say(ready.error().message);
        return kExitRefused;
    }
    return run.options.command == "seal" ? SealFolder(run) : EncodeFolder(run);
}

// Only the header before the password: a damaged or hostile index is read
// after it. The kind decides the names' coding (OpenAnyContainer).
int OpenContainer(CommandContext& run) {
    OpenedContainer container(run.files);
    OpenAnyOptions options;
    options.before_open = [&](const std::string& path) {
        run.request.path = path;
        if (run.options.command == "repair") {
            Run steps(run.files, run.host, run.tables, run.clock, run.cancel, run.request);
            GiveBackTheDamagedName(steps);
        }
    };
    const AnyContainer found = OpenAnyContainer(run.files, run.options.target, container, options);
    if (found.sealed() && run.options.command == "recover") {
        Say(Text(Msg::kSealedKeyCannotBeFound, {run.files.paths().DisplayPath(run.request.path)}));
        return kExitRefused;
    }
    if (found.sealed())
        return OpenSealed(run, container, found.header->sealed);
    if (!found.path) {
        Say(found.path.error().message);
        return kExitRefused;
    }
    run.request.path = found.path.value();
    if (!found.header) {
        Say(found.header.error().message);
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
    return OpenLegacy(run, container, found.header->legacy);
}

}  // namespace

int RunCommand(const CliOptions& options, FileSystem& files) {
    if (options.command == "register")
        return Register(files);
    if (options.command == "unregister")
        return Unregister();
    CommandContext run(options, files);
    if (options.command == "encode" || options.command == "seal")
        return ResolveContainer(run) == kExitOk ? EncodeOrSeal(run) : kExitRefused;
    if (options.command == "convert")
        return ConvertContainer(run);
    return OpenContainer(run);
}

}  // namespace velmora
