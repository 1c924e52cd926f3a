#pragma once

#include <functional>

#include "cipher/cipher_tables.h"
#include "cli/cli_host.h"
#include "cli/cli_output.h"
#include "cli/commands.h"
#include "cli/password_prompt.h"
#include "container/engine.h"
#include "platform/system_clock.h"

namespace velmora {

// What every command that runs the engine works with: the disk, the
// terminal standing in for the windows, the cipher's tables, the password's
// source and the request, with the engine's options as velmora-cli sets
// them.
struct CommandContext {
    explicit CommandContext(const CliOptions& given, FileSystem& disk)
        : options(given), files(disk), prompt(given.password) {
        tables.CrearBuffer();
        request.options.show_restored_folder = false;
        request.options.report_leftovers = true;
    }

    const CliOptions& options;
    FileSystem& files;
    SystemClock clock;
    // The target, the options and, for a while, what opens it.
    EngineRequest request;
    CancelToken cancel;
    CliHost host{files, cancel};
    CipherTables tables{[](const std::string& text) { Say(text); }};
    PasswordPrompt prompt;
};

// Runs an encoding job (encode, seal) as velmora-cli does: Ctrl-C as
// "Cancelar", the timings asked for; the job's exit status.
int RunEncoding(CommandContext& run, const std::function<RunResult(Engine&)>& encode);
// Sets run.request.path to the path given on the command line (a folder to
// encode or seal, a container to convert), resolved in the name coding of
// the kind written (seal and convert: UTF-8, ResolveForSealing); kExitOk,
// or kExitRefused once the reason is told.
int ResolveContainer(CommandContext& run);
// The folder given with -C ("" without it) into `folder`; kExitOk, or
// kExitRefused once the reason is told.
int ResolveGivenFolder(CommandContext& run, std::string& folder);
// Restores the container of run.request with the key it holds; prints the
// restored folder.
int RunDecoding(CommandContext& run);

}  // namespace velmora
