#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace velmora {

// What a start without an argument does on Windows before the instructions
// window: the registration into the registry (see Win32Registry), then the
// shell is told that associations changed so Explorer shows the new icon.
// program_folder answers with the running program's folder ("C:\Velmora",
// "D:\" at a drive's root).
void RegisterShellIntegration(const std::function<std::string()>& program_folder,
                              const std::function<void()>& pump_events);

// Removes what the registration wrote for the current user: the program
// identifier, the ".zol" binding (only while it names that identifier) and
// both folder verbs, then the shell is told. Returns the keys removed.
std::vector<std::string> UnregisterShellIntegration();

// Opens a folder, a document (the help file) or a web address the way
// Explorer would (ShellExecuteW "open"). The text is the program's own,
// Windows-1252. False when the shell could not open it.
bool OpenInShell(const std::string& target);
// The same for a path exactly as the system writes it (UTF-8): a folder
// whose name Windows-1252 cannot hold.
bool OpenNativeInShell(const std::string& utf8_target);

// Starts a program (found as Windows finds programs) with a document, in a
// normal window. Both texts are the program's own. False when it could not.
bool OpenWith(const std::string& program, const std::string& document);

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
