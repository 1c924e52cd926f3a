#pragma once

#include <functional>
#include <string>

#include "container/opened_container.h"
#include "platform/registry.h"

namespace velmora {

// What the registration needs from the running program.
struct RegistrationContext {
    Registry& registry;
    // The folder of the running program file, as the platform writes it;
    // asked once for each path that needs it.
    std::function<std::string()> program_folder;
    char separator;            // the platform's path separator
    std::string program_file;  // "velmora" on POSIX, "velmora.exe" on Windows
    std::function<void()> pump_events;
};

// Writes the ".zol" file type and the folder verb "Encriptar..." into the
// classes root. Failures of the registry are not reported.
void RegistrarAsociacion(RegistrationContext& context);

// The registry's names; the type's title and the verb's menu text are the
// messages file's (Msg::kContainerTypeTitle, Msg::kFolderVerb), the
// extension the containers' own (kContainerExtension).
inline constexpr const char* kProgramClass = "Velmor.velmora";
inline constexpr const char* kIconFile = "secreto.ico";
// The key that holds the folder verb's command.
std::string FolderVerbKey();

}  // namespace velmora
