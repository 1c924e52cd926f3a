#pragma once

#include "platform/registry.h"

namespace velmora {

// The real registry through its ANSI calls. The classes root is taken as
// HKEY_CURRENT_USER\Software\Classes: the per-user half of
// HKEY_CLASSES_ROOT, which a standard user may write (new keys written
// through HKEY_CLASSES_ROOT itself go to the machine's half and need
// administrator rights). Each call of the registration is one call of the
// system, with the subkey under that root.
class Win32Registry : public Registry {
  public:
    long RegCreateKeyA(Key root, const std::string& subkey, Key& result) override;
    long RegSetValueA(Key key, const std::string& subkey, std::uint32_t type,
                      const std::string& data, std::uint32_t length) override;
    long RegOpenKeyExA(Key root, const std::string& subkey, std::uint32_t options,
                       std::uint32_t access, Key& result) override;
    long RegCreateKeyExA(Key root, const std::string& subkey, std::uint32_t reserved,
                         std::uint32_t options, std::uint32_t access, Key& result,
                         std::uint32_t& disposition) override;
    long RegSetValueExA(Key key, const std::string& value_name, std::uint32_t reserved,
                        std::uint32_t type, const std::string& data) override;
    long RegCloseKey(Key key) override;
};

// Where the classes root's keys are written.
inline constexpr const char* kUserClasses = "Software\\Classes";

}  // namespace velmora
