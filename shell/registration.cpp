#include "shell/registration.h"

#include "base/messages.h"
#include "shell/cassociate.h"

namespace velmora {

std::string FolderVerbKey() {
    return "Directory\\shell\\" + Text(Msg::kFolderVerb) + "\\command";
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

    const std::string folder_command =
        "\"" + in_program_folder(context.program_file) + "\"" + " %1";
    const std::string verb_key = FolderVerbKey();
    Registry::Key verb = 0;
    context.registry.RegOpenKeyExA(Registry::kClassesRoot, verb_key, 0, Registry::kAllAccess, verb);
    if (verb == 0) {
        std::uint32_t disposition = 0;
        context.registry.RegCreateKeyExA(Registry::kClassesRoot, verb_key, 0, 0,
                                         Registry::kAllAccess, verb, disposition);
    }
    context.registry.RegSetValueExA(verb, "", 0, Registry::kString, folder_command);
    context.registry.RegCloseKey(verb);
}

}  // namespace velmora
