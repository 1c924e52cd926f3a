#pragma once

#include <functional>
#include <string>

#include "base/messages.h"
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

// The registry's names; the type's title and the verbs' menu texts are the
// messages file's (Msg::kContainerTypeTitle, Msg::kFolderVerb,
// Msg::kSealedFolderVerb), the extension the containers' own
// (kContainerExtension).
inline constexpr const char* kProgramClass = "Velmor.velmora";
inline constexpr const char* kIconFile = "secreto.ico";
// The sealed-container verb's command line starts with "/S " and never ends
// in "/C", so start-up can never take it for one of the legacy forms.
inline constexpr const char* kSealedCommandPrefix = "/S ";
// The key that holds a folder verb's command: its name is the verb's menu
// text.
std::string FolderVerbKey(Msg verb = Msg::kFolderVerb);

// Registers one file type in the classes root: the program identifier with
// its description, open command and icon, and the extension bound to it.
class CAssociate {
  public:
    CAssociate(Registry& registry, std::function<void()> pump_events)
        : registry_(registry), pump_events_(std::move(pump_events)) {}

    std::string Title;        // the type's description
    std::string Class;        // the program identifier
    std::string Extension;    // ".zol", dot included
    std::string AppCommand;   // the program file's full path, unquoted
    std::string DefaultIcon;  // the icon file's full path

    // Writes the four entries. Registry failures are not reported.
    void Associate();

  private:
    Registry& registry_;
    std::function<void()> pump_events_;
};

}  // namespace velmora
