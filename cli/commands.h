#pragma once

#include <string>
#include <vector>

#include "cli/password_prompt.h"
#include "platform/file_system.h"

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

}  // namespace velmora
