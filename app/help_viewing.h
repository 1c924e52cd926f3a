#pragma once

#include <string>

namespace velmora {

// The systems whose desktops show the help file differently.
enum class Desktop { kWindows, kLinux };

// What the password dialog's help picture opens: the help file velmora.hlp
// in the program's folder, shown as the plain text it is. Its name calls
// for the old Windows help viewer, which cannot read plain text and which
// current Windows no longer has, so on Windows it goes to Notepad; Linux
// desktops open it with their viewer for text (registering makes
// "velmora.hlp" text/plain). Errors are ignored, as for any help viewer.
struct HelpViewing {
    std::string viewer;  // the program started with the file; empty: the desktop's own
    std::string file;    // the file's path, in the program's form
};
inline constexpr const char* kHelpFileName = "velmora.hlp";

inline HelpViewing HelpToShow(const std::string& program_folder, Desktop desktop) {
    if (desktop == Desktop::kWindows)
        return {"notepad.exe", program_folder + "\\" + kHelpFileName};
    return {"", program_folder + "/" + kHelpFileName};
}

}  // namespace velmora
