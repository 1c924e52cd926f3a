#pragma once

#include <functional>
#include <string>

#include "app/program_state.h"
#include "app/startup_windows.h"
#include "cipher/cipher_tables.h"
#include "container/sealed/sealed_format.h"
#include "platform/file_system.h"

namespace velmora {

// What start-up works with.
struct StartupServices {
    FileSystem& files;
    Clock& clock;
    CipherTables& tables;
    StartupWindows& windows;
    // Writes the shell integration (file type and folder verbs).
    std::function<void()> register_shell;
    // The key derivation's limits and the message size of containers sealed.
    SealedParameters sealed_parameters;
};

// The program's one entry into its own logic. command_line is everything
// after the program's name as the system gave it (on POSIX the arguments
// joined by single spaces), in the file system's encoding. It seals a folder
// (a line beginning with "/S "), decodes a container of either kind (a line
// ending in "/C"), encodes a folder, registers the shell integration and
// shows the instructions, or returns with nothing to do (the main window
// then stays idle).
void Form_Load(const std::string& command_line, ProgramState& state, StartupServices& services);

}  // namespace velmora
