#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// The Windows registry's classes root, as far as the shell registration uses
// it. Each implementation stores keys and their default values its own way;
// the calls keep the Windows semantics the registration relies on. Results
// are Windows error codes (0 success); the registration never looks at them.
class Registry {
  public:
    using Key = std::uintptr_t;  // 0: no key
    static constexpr Key kClassesRoot = 0x80000000;
    static constexpr std::uint32_t kAllAccess = 0xF003F;
    static constexpr std::uint32_t kString = 1;  // REG_SZ
    static constexpr long kSuccess = 0;
    static constexpr long kFileNotFound = 2;
    static constexpr long kAccessDenied = 5;
    static constexpr long kInvalidHandle = 6;

    virtual ~Registry() = default;

    // Creates the key path under root when missing, opens it otherwise.
    virtual long RegCreateKeyA(Key root, const std::string& subkey, Key& result) = 0;
    // Sets the default value of key\subkey ("" for the key itself), creating
    // the subkey path when missing. The length is ignored for strings.
    virtual long RegSetValueA(Key key, const std::string& subkey, std::uint32_t type,
                              const std::string& data, std::uint32_t length) = 0;
    // Opens an existing key; leaves result untouched when it does not exist.
    virtual long RegOpenKeyExA(Key root, const std::string& subkey, std::uint32_t options,
                               std::uint32_t access, Key& result) = 0;
    virtual long RegCreateKeyExA(Key root, const std::string& subkey, std::uint32_t reserved,
                                 std::uint32_t options, std::uint32_t access, Key& result,
                                 std::uint32_t& disposition) = 0;
    // Stores data under value_name ("" for the default value).
    virtual long RegSetValueExA(Key key, const std::string& value_name, std::uint32_t reserved,
                                std::uint32_t type, const std::string& data) = 0;
    virtual long RegCloseKey(Key key) = 0;
};

}  // namespace velmora
