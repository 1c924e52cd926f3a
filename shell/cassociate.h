#pragma once

#include <functional>
#include <stdexcept>
#include <string>

#include "platform/registry.h"

namespace velmora {

// The refusal of Associate: an error number, its source and description.
class AssociateError : public std::runtime_error {
  public:
    AssociateError(int number, std::string source, std::string description)
        : std::runtime_error(description),
          Number(number),
          Source(std::move(source)),
          Description(std::move(description)) {}
    int Number;
    std::string Source;
    std::string Description;
};

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

    // Writes the four entries. Refuses with error 922 when Title is empty and
    // 926 when Class is empty, writing nothing. Registry failures are not
    // reported.
    void Associate();

  private:
    Registry& registry_;
    std::function<void()> pump_events_;
};

}  // namespace velmora
