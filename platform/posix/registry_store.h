#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/registry.h"

namespace velmora {

// Keys of the classes root and their string values, as a REGEDIT4 file holds
// them: "[HKEY_CLASSES_ROOT\key]" sections and "@" (the default value) or
// "name" = quoted string lines, with \ and " escaped by a backslash. Text is
// Windows-1252, as REGEDIT4 files are.
struct RegeditKeys {
    // Key path (without the root) -> value name ("" for the default) -> data.
    std::map<std::string, std::map<std::string, std::string>> keys;
};

std::string WriteRegedit(const RegeditKeys& keys);

// Reads what WriteRegedit writes; lines it does not understand are skipped.
RegeditKeys ReadRegedit(const std::string& text);

// The classes root kept per user in a REGEDIT4 file, readable by a person and
// importable into a Windows registry. Every change is written at once,
// atomically (a temporary file renamed over the old one); a file that
// cannot be written makes the call fail and nothing else. Key names compare
// without regard to case, as in the Windows registry.
class RegistryStore : public Registry {
  public:
    // file: the store's UTF-8 path; it is read now if it exists.
    explicit RegistryStore(std::string file);

    // $XDG_DATA_HOME/velmora/registry.reg, ~/.local/share/... by default.
    static std::string DefaultFile();

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

    // The default value of a key, when it has one.
    std::optional<std::string> DefaultValue(const std::string& key) const;
    const std::string& file() const { return file_; }

  private:
    std::optional<std::string> PathOf(Key key, const std::string& subkey) const;
    const std::string* Existing(const std::string& path) const;
    // Creates the key and every key above it; returns its stored spelling.
    std::string Create(const std::string& path);
    Key NewHandle(const std::string& path);
    long Save() const;

    std::string file_;
    RegeditKeys keys_;
    std::map<Key, std::string> handles_;
    Key next_handle_ = 1;
};

}  // namespace velmora
