#include "shell/win32/shell_integration_win32.h"

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include "base/cp1252.h"
#include "container/opened_container.h"
#include "shell/registration.h"

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

namespace {

bool OpenWide(const Result<std::wstring>& wide) {
    if (!wide)
        return false;
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", wide->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace

bool OpenInShell(const std::string& target) {
    return OpenWide(Cp1252ToUtf16(target));
}

bool OpenNativeInShell(const std::string& utf8_target) {
    return OpenWide(Utf8ToUtf16(utf8_target));
}

bool OpenWith(const std::string& program, const std::string& document) {
    Result<std::wstring> wide_program = Cp1252ToUtf16(program);
    Result<std::wstring> wide_document = Cp1252ToUtf16(document);
    if (!wide_program || !wide_document)
        return false;
    const std::wstring quoted = L"\"" + wide_document.value() + L"\"";
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", wide_program->c_str(), quoted.c_str(),
                                           nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

namespace {

HKEY Native(Registry::Key key) {
    return reinterpret_cast<HKEY>(key);
}

// A key named under the classes root, as the user's half of it.
struct Rooted {
    HKEY root;
    std::string subkey;
};

Rooted Under(Registry::Key root, const std::string& subkey) {
    if (root == Registry::kClassesRoot)
        return {HKEY_CURRENT_USER, std::string(kUserClasses) + "\\" + subkey};
    return {Native(root), subkey};
}

void Hand(HKEY opened, LONG status, Registry::Key& result) {
    if (status == ERROR_SUCCESS)
        result = reinterpret_cast<Registry::Key>(opened);
}

}  // namespace

long Win32Registry::RegCreateKeyA(Key root, const std::string& subkey, Key& result) {
    const Rooted where = Under(root, subkey);
    HKEY opened = nullptr;
    const LONG status = ::RegCreateKeyA(where.root, where.subkey.c_str(), &opened);
    Hand(opened, status, result);
    return status;
}

long Win32Registry::RegSetValueA(Key key, const std::string& subkey, std::uint32_t type,
                                 const std::string& data, std::uint32_t length) {
    return ::RegSetValueA(Native(key), subkey.c_str(), type, data.c_str(), length);
}

long Win32Registry::RegOpenKeyExA(Key root, const std::string& subkey, std::uint32_t options,
                                  std::uint32_t access, Key& result) {
    const Rooted where = Under(root, subkey);
    HKEY opened = nullptr;
    const LONG status = ::RegOpenKeyExA(where.root, where.subkey.c_str(), options, access, &opened);
    Hand(opened, status, result);
    return status;
}

long Win32Registry::RegCreateKeyExA(Key root, const std::string& subkey, std::uint32_t reserved,
                                    std::uint32_t options, std::uint32_t access, Key& result,
                                    std::uint32_t& disposition) {
    const Rooted where = Under(root, subkey);
    HKEY opened = nullptr;
    DWORD how = 0;
    const LONG status = ::RegCreateKeyExA(where.root, where.subkey.c_str(), reserved, nullptr,
                                          options, access, nullptr, &opened, &how);
    Hand(opened, status, result);
    disposition = how;
    return status;
}

long Win32Registry::RegSetValueExA(Key key, const std::string& value_name, std::uint32_t reserved,
                                   std::uint32_t type, const std::string& data) {
    // The whole string with its terminator.
    return ::RegSetValueExA(Native(key), value_name.c_str(), reserved, type,
                            reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>(data.size() + 1));
}

long Win32Registry::RegCloseKey(Key key) {
    return ::RegCloseKey(Native(key));
}

}  // namespace velmora
