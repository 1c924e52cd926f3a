#include "shell/cassociate.h"

#include <vector>

namespace velmora {

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
