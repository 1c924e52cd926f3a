#include "cli/commands.h"

#include <string>

#include "app/password_decision.h"
#include "base/messages.h"
#include "cli/console.h"

namespace velmora {
namespace {

int Usage(int status) {
    const std::string usage =
        Text(Msg::kUsage, {std::to_string(kShortestPassword), std::to_string(kKeyLength),
                           std::to_string(kShortestSealedPassword)});
    if (status == 0)
        WriteOutput(usage);
    else
        WriteError(usage);
    return status;
}

// The job's outcome is its exit status; output a closed pipe lost only earns
// a warning after it.
int Finish(int status) {
    if (OutputWasLost())
        WriteError(Text(Msg::kOutputLost) + "\n");
    return status;
}

int Parse(int argc, char** argv, FileSystem& files) {
    CliOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h")
            return Usage(0);
        if (argument == "--version") {
            WriteOutput(std::string("velmora-cli ") + VELMORA_VERSION + "\n");
            return kExitOk;
        }
        if (argument == "--keep") {
            options.keep = true;
        } else if (argument == "--timings") {
            options.timings = true;
        } else if (argument == "--password-stdin" || argument == "--password-file" ||
                   argument == "--password-fd") {
            // One source of passwords, and a file or descriptor with it.
            if (options.password.kind != PasswordSource::Kind::kTerminal ||
                (argument != "--password-stdin" && i + 1 == argc))
                return Usage(kExitUsage);
            if (argument == "--password-stdin") {
                options.password.kind = PasswordSource::Kind::kStdin;
            } else if (argument == "--password-file") {
                options.password.kind = PasswordSource::Kind::kFile;
                options.password.file = argv[++i];
            } else {
                options.password.kind = PasswordSource::Kind::kDescriptor;
                const std::string number = argv[++i];
                if (number.empty() || number.size() > 9 ||
                    number.find_first_not_of("0123456789") != std::string::npos)
                    return Usage(kExitUsage);
                options.password.descriptor = std::stoi(number);
            }
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "--original-case") {
            options.original_case = true;
        } else if (argument == "--recover") {
            options.recover = true;
        } else if (argument == "--allow-costly-key") {
            options.allow_costly_key = true;
        } else if (argument == "--salvage") {
            options.salvage = true;
        } else if (argument == "--salvage-partial") {
            options.salvage_partial = true;
        } else if (argument == "-C" && i + 1 < argc) {
            options.container_folder = argv[++i];
        } else if (options.command.empty()) {
            options.command = argument;
        } else if (options.target.empty()) {
            options.target = argument;
        } else if (options.command == "extract") {
            options.paths.push_back(argument);
        } else {
            return Usage(kExitUsage);
        }
    }
    if ((options.command == "register" || options.command == "unregister") &&
        options.target.empty())
        return RunCommand(options, files);
    const std::string& command = options.command;
    const bool encoding = command == "encode" || command == "seal";
    const bool restoring = command == "decode" || command == "recover";
    const bool known = encoding || restoring || command == "convert" || command == "list" ||
                       command == "verify" || command == "repair" || command == "extract";
    if (!known || options.target.empty())
        return Usage(kExitUsage);
    if ((!options.container_folder.empty() && !encoding && command != "extract") ||
        (command == "extract" && options.paths.empty()))
        return Usage(kExitUsage);
    // Options of some commands only: no password is read to recover a key,
    // a conversion keeps nothing of the legacy container, and only the
    // commands that open a sealed container derive its key.
    const bool opening_sealed = command == "decode" || command == "list" || command == "verify" ||
                                command == "repair" || command == "extract";
    if ((options.original_case && !restoring) || (options.recover && command != "convert") ||
        (options.salvage && (command != "decode" || options.original_case)) ||
        (options.password.kind != PasswordSource::Kind::kTerminal && command == "recover") ||
        (options.json && command != "list") ||
        (options.keep && (command == "convert" || command == "repair")) ||
        (options.allow_costly_key && !opening_sealed))
        return Usage(kExitUsage);
    if (options.salvage_partial && !options.salvage) {
        WriteError(Text(Msg::kSalvagePartialAlone) + "\n");
        return kExitUsage;
    }
    return RunCommand(options, files);
}

}  // namespace

int CliMain(int argc, char** argv, FileSystem& files) {
    return Finish(Parse(argc, argv, files));
}

}  // namespace velmora
