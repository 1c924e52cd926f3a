#include "cli/commands.h"

#include "app/password_decision.h"
#include "base/messages.h"
#include "container/conversion_leftovers.h"
#include "container/opened_container.h"

namespace velmora {
namespace {

// The legacy container's key, and the exit status when there is none.
Result<std::string> LegacyKey(CommandContext& run, int& status) {
    OpenedContainer container(run.files);
    Result<OpenedHeader> header = container.Open(run.request.path);
    status = kExitRefused;
    if (!header)
        return header.error();
    if (header->kind == ContainerKind::kSealed)
        return Error{Text(Msg::kAlreadySealed, {run.files.paths().DisplayPath(run.request.path)})};
    if (run.options.recover)
        return FindKeyWithoutPassword(run, container, header->legacy);
    status = kExitWrongPassword;
    if (run.prompt.interactive())
        Say(Text(Msg::kConvertAskLegacyPassword));
    return AskKey(run, DialogMode::kDecoding, header->legacy.PasswordCheck);
}

}  // namespace

int ConvertContainer(CommandContext& run) {
    if (const int resolved = ResolveContainer(run); resolved != kExitOk)
        return resolved;
    // Before the legacy container is opened for its key: a conversion killed
    // between its renames left it without its name.
    Run steps(run.files, run.host, run.tables, run.clock, run.cancel, run.request);
    GiveBackTheLegacyName(steps);
    int status = kExitOk;
    Result<std::string> key = LegacyKey(run, status);
    if (!key) {
        SayUnlessTold(key.error());
        return status;
    }
    // On a terminal the two passwords are told apart.
    if (run.prompt.interactive())
        Say(Text(Msg::kConvertAskSealedPassword, {std::to_string(kShortestSealedPassword)}));
    Result<std::string> password = AskNewPassword(run);
    if (!password) {
        SayUnlessTold(password.error());
        return kExitWrongPassword;
    }
    CliHost::CatchInterrupts();
    EngineRequest request = run.request;
    request.key = key.value();
    request.password = password.value();
    Engine engine(run.files, run.host, run.tables, run.clock, run.cancel);
    const RunResult result = engine.Convert(request);
    if (result.outcome == Outcome::kDone && !result.left_behind)
        Print(Text(Msg::kConvertedContainer, {run.files.paths().DisplayPath(run.request.path)}));
    return ExitFor(result);
}

}  // namespace velmora
