#include "shell/registration.h"

#include "container/opened_container.h"
#include "shell/cassociate.h"

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

}  // namespace velmora
