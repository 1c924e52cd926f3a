#include "shell/registration.h"

#include "shell/cassociate.h"

namespace velmora {

void RegistrarAsociacion(RegistrationContext& context) {
    auto in_program_folder = [&](const std::string& file) {
        return context.program_folder() + context.separator + file;
    };
    CAssociate association(context.registry, context.pump_events);
    association.Title = kTypeTitle;
    association.Class = kProgramClass;
    association.Extension = kExtension;
    association.AppCommand = in_program_folder(context.program_file);
    association.DefaultIcon = in_program_folder(kIconFile);
    association.Associate();

    const std::string folder_command =
        "\"" + in_program_folder(context.program_file) + "\"" + " %1";
    Registry::Key verb = 0;
    context.registry.RegOpenKeyExA(Registry::kClassesRoot, kFolderVerbKey, 0, Registry::kAllAccess,
                                   verb);
    if (verb == 0) {
        std::uint32_t disposition = 0;
        context.registry.RegCreateKeyExA(Registry::kClassesRoot, kFolderVerbKey, 0, 0,
                                         Registry::kAllAccess, verb, disposition);
    }
    context.registry.RegSetValueExA(verb, "", 0, Registry::kString, folder_command);
    context.registry.RegCloseKey(verb);
}

}  // namespace velmora
