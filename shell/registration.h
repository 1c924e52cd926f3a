#pragma once

#include <functional>
#include <string>

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
// classes root (five entries, always in the same order), then the second
// folder verb "Encriptar (seguro)...", whose command puts "/S " before the
// folder's path. Failures of the registry are not reported.
void RegistrarAsociacion(RegistrationContext& context);

// The registry's texts, as fixed constants.
inline constexpr const char* kTypeTitle = "Carpeta de Archivos Encriptada por Velmora";
inline constexpr const char* kProgramClass = "Velmor.velmora";
inline constexpr const char* kExtension = ".zol";
inline constexpr const char* kFolderVerbKey = "Directory\\shell\\Encriptar...\\command";
// The sealed-container verb. Its command line starts with "/S " and never
// ends in "/C", so start-up can never take it for one of the legacy forms.
inline constexpr const char* kSealedFolderVerbKey =
    "Directory\\shell\\Encriptar (seguro)...\\command";
inline constexpr const char* kSealedCommandPrefix = "/S ";
inline constexpr const char* kIconFile = "secreto.ico";

}  // namespace velmora
