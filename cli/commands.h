#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cipher/cipher_tables.h"
#include "cli/cli_host.h"
#include "cli/cli_output.h"
#include "cli/password_prompt.h"
#include "container/engine.h"
#include "container/opened_container.h"
#include "container/sealed/sealed_keys.h"
#include "platform/clock.h"
#include "platform/file_system.h"

// velmora-cli: the options read from its command line, what every command
// works with (CommandContext), and the commands of each kind.
namespace velmora {

// Exit statuses of velmora-cli.
enum ExitStatus : int {
    kExitOk = 0,
    kExitWrongPassword = 1,
    kExitUsage = 2,
    kExitRefused = 3,
    kExitFailed = 4,
    // The container is complete, but part of the folder could not be wiped.
    kExitLeftBehind = 5,
    // verify: the container is damaged, and its parity repairs it
    // whole (velmora-cli repair).
    kExitRepairable = 6,
};

struct CliOptions {
    // encode, seal, decode, recover, convert, list, verify, repair, register,
    // unregister
    std::string command;
    std::string target;            // the folder or the container, as given
    std::string container_folder;  // -C
    bool keep = false;
    PasswordSource password;         // --password-stdin, --password-file, --password-fd
    bool json = false;               // list: one JSON object per entry
    bool timings = false;            // encode: how long packing and wiping took
    bool original_case = false;      // decode, recover: legacy names as they were stored
    bool recover = false;            // convert: the legacy key found without its password
    bool allow_costly_key = false;   // decode, list, verify: a costly key derived all the same
    bool salvage = false;            // decode: what a damaged sealed container still holds
    bool salvage_partial = false;    // decode --salvage: files that lost chunks too, zero-filled
    std::vector<std::string> paths;  // extract: the entries named
};

int RunCommand(const CliOptions& options, FileSystem& files);

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

// convert: a legacy container turned into a sealed one under the same name.
// The legacy key first (its password asked, or found without it with
// --recover), then the new password; the container's path may hold any
// character.
int ConvertContainer(CommandContext& run);

// `velmora-cli register`: writes this user's shell integration, as starting
// velmora without an argument does, and prints where it went.
int Register(FileSystem& files);

// `velmora-cli unregister`: removes this user's shell integration and
// prints what was removed.
int Unregister();

// The sealed kind's commands: seal a folder; list, verify and decode a
// sealed container whose header is read (the password is asked here).
int SealFolder(CommandContext& run);
int OpenSealed(CommandContext& run, OpenedContainer& container, const SealedHeader& header);

// A new password, typed twice on a terminal (once on standard input), until
// the sealed kind's rules take it; the empty error when a refusal was told.
Result<std::string> AskNewPassword(CommandContext& run);

// The legacy kind's commands: encode a folder; list, verify, decode and
// recover a legacy container whose header is read (the password is asked
// here, or the key found without it).
int EncodeFolder(CommandContext& run);
int OpenLegacy(CommandContext& run, OpenedContainer& container, const ContainerHeader& header);

// The key from a typed password, asked until the dialog's rules accept it
// (three times on a terminal); the empty error when a refusal was told.
Result<std::string> AskKey(CommandContext& run, DialogMode mode, const std::string& stored_check);
// The key found from the container alone, and why the password was not
// needed said; the error says why it cannot be found.
Result<std::string> FindKeyWithoutPassword(CommandContext& run, OpenedContainer& container,
                                           const ContainerHeader& header);

// `velmora-cli verify` of a version 2 container: every part checked
// (CheckChunks); sound (kExitOk), damaged but repairable (kExitRepairable,
// the damaged parts named) or beyond repair (kExitRefused, the files that
// lost chunks touch named).
int VerifyChunks(CommandContext& run, OpenedContainer& container, const SealedHeader& header,
                 const SealedKeys& keys);

// `velmora-cli repair`: a sound version 2 container is left as it is; a
// repairable one, or any version 1 container, is written again as a sound
// version 2 container under its name (SealedRepair).
// `velmora-cli decode --salvage` (SalvageSealed): prints the restored folder,
// then the files that could not be salvaged; with --salvage-partial, the
// files restored with holes instead, each with the bytes it lost.
int SalvageChunks(CommandContext& run, const SealedKeys& keys);

// `velmora-cli extract` (ExtractSealed): prints the restored folder.
int ExtractChunks(CommandContext& run, const SealedKeys& keys);

int RepairSealed(CommandContext& run, OpenedContainer& container, const SealedHeader& header,
                 const SealedKeys& keys, const std::string& password);

// velmora-cli's arguments, read and carried out on the given file system.
int CliMain(int argc, char** argv, FileSystem& files);

}  // namespace velmora
