#include "shell/win32/win32_registry.h"

#include <windows.h>

namespace velmora {
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
