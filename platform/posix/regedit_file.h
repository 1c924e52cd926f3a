#pragma once

#include <map>
#include <string>

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

}  // namespace velmora
