#pragma once

#include <functional>
#include <string>

#include "platform/registry.h"

namespace velmora {

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
