#include "app/help_viewing.h"

namespace velmora {

HelpViewing HelpToShow(const std::string& program_folder, Desktop desktop) {
    if (desktop == Desktop::kWindows)
        return {"notepad.exe", program_folder + "\\" + kHelpFileName};
    return {"", program_folder + "/" + kHelpFileName};
}

}  // namespace velmora
