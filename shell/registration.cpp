#include "shell/registration.h"

#include <vector>

#include "container/opened_container.h"

namespace velmora {
namespace {

// A folder verb's command key, opened when it exists and created otherwise,
// with the command as its default value.
void WriteFolderVerb(Registry& registry, const std::string& key, const std::string& command) {
    Registry::Key verb = 0;
    registry.RegOpenKeyExA(Registry::kClassesRoot, key, 0, Registry::kAllAccess, verb);
    if (verb == 0) {
        std::uint32_t disposition = 0;
        registry.RegCreateKeyExA(Registry::kClassesRoot, key, 0, 0, Registry::kAllAccess, verb,
                                 disposition);
    }
    registry.RegSetValueExA(verb, "", 0, Registry::kString, command);
    registry.RegCloseKey(verb);
}

}  // namespace

std::string FolderVerbKey(Msg verb) {
    return "Directory\\shell\\" + Text(verb) + "\\command";
}

void RegistrarAsociacion(RegistrationContext& context) {
    auto in_program_folder = [&](const std::string& file) {
        return context.program_folder() + context.separator + file;
    };
    CAssociate association(context.registry, context.pump_events);
    association.Title = Text(Msg::kContainerTypeTitle);
    association.Class = kProgramClass;
    association.Extension = kContainerExtension;
    association.AppCommand = in_program_folder(context.program_file);
    association.DefaultIcon = in_program_folder(kIconFile);
    association.Associate();

    const std::string quoted_program = "\"" + in_program_folder(context.program_file) + "\"";
    WriteFolderVerb(context.registry, FolderVerbKey(), quoted_program + " %1");
    WriteFolderVerb(context.registry, FolderVerbKey(Msg::kSealedFolderVerb),
                    quoted_program + " " + kSealedCommandPrefix + "%1");
}

void CAssociate::Associate() {
    const std::string title = Title;
    const std::string program_class = Class;
    const std::string icon = DefaultIcon;
    const std::string quoted_program = "\"" + AppCommand + "\"";

    std::vector<Registry::Key> opened;
    Registry::Key class_key = 0;
    registry_.RegCreateKeyA(Registry::kClassesRoot, program_class, class_key);
    opened.push_back(class_key);
    registry_.RegSetValueA(class_key, "", Registry::kString, title, 0);

    Registry::Key extension_key = 0;
    registry_.RegCreateKeyA(Registry::kClassesRoot, Extension, extension_key);
    opened.push_back(extension_key);
    registry_.RegSetValueA(extension_key, "", Registry::kString, program_class, 0);

    const std::string open_command = quoted_program + " %1" + "/C";
    Registry::Key command_key = 0;
    registry_.RegCreateKeyA(Registry::kClassesRoot, program_class, command_key);
    opened.push_back(command_key);
    registry_.RegSetValueA(command_key, "shell\\open\\command", Registry::kString, open_command,
                           256);
    registry_.RegSetValueA(command_key, "DefaultIcon", Registry::kString, icon,
                           static_cast<std::uint32_t>(icon.size()));

    if (pump_events_)
        pump_events_();
    for (const Registry::Key key : opened)
        if (key != 0)
            registry_.RegCloseKey(key);
}

}  // namespace velmora
