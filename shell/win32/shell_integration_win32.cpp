#include "shell/win32/shell_integration_win32.h"

#include <windows.h>

#include <shlobj.h>

#include "container/opened_container.h"
#include "shell/registration.h"
#include "shell/win32/win32_registry.h"

namespace velmora {
namespace {

std::string UserClass(const std::string& key) {
    return std::string(kUserClasses) + "\\" + key;
}

// A verb's key: its command key without "\command".
std::string VerbKey(const std::string& command_key) {
    const std::string key = command_key;
    return key.substr(0, key.rfind('\\'));
}

// Deletes a key with everything under it; false when there was none.
bool DeleteTree(const std::string& key) {
    return RegDeleteTreeA(HKEY_CURRENT_USER, UserClass(key).c_str()) == ERROR_SUCCESS;
}

// Deletes a key that holds nothing any more (no value, no subkey).
void DeleteIfEmpty(const std::string& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, UserClass(key).c_str(), 0, KEY_READ, &opened) !=
        ERROR_SUCCESS)
        return;
    DWORD subkeys = 0;
    DWORD values = 0;
    const LONG status = RegQueryInfoKeyA(opened, nullptr, nullptr, nullptr, &subkeys, nullptr,
                                         nullptr, &values, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(opened);
    if (status == ERROR_SUCCESS && subkeys == 0 && values == 0)
        RegDeleteKeyA(HKEY_CURRENT_USER, UserClass(key).c_str());
}

}  // namespace

void RegisterShellIntegration(const std::function<std::string()>& program_folder,
                              const std::function<void()>& pump_events) {
    Win32Registry registry;
    RegistrationContext context{registry, program_folder, '\\', "velmora.exe", pump_events};
    RegistrarAsociacion(context);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

std::vector<std::string> UnregisterShellIntegration() {
    std::vector<std::string> removed;
    for (const std::string& key :
         {std::string(kProgramClass), VerbKey(FolderVerbKey()),
          VerbKey(FolderVerbKey(Msg::kSealedFolderVerb))})
        if (DeleteTree(key))
            removed.push_back(UserClass(key));
    char bound[256] = {};
    DWORD size = sizeof bound;
    if (RegGetValueA(HKEY_CURRENT_USER, UserClass(kContainerExtension).c_str(), nullptr, RRF_RT_REG_SZ,
                     nullptr, bound, &size) == ERROR_SUCCESS &&
        std::string(bound) == kProgramClass) {
        HKEY extension = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, UserClass(kContainerExtension).c_str(), 0, KEY_SET_VALUE,
                          &extension) == ERROR_SUCCESS) {
            RegDeleteValueA(extension, nullptr);
            RegCloseKey(extension);
            removed.push_back(UserClass(kContainerExtension) + " (" + kProgramClass + ")");
        }
    }
    for (const char* key : {kContainerExtension, "Directory\\shell", "Directory"})
        DeleteIfEmpty(key);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return removed;
}

}  // namespace velmora
