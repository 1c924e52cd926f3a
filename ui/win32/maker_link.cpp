#include "ui/win32/maker_link.h"

#include "ui/win32/design_window.h"

namespace velmora {

void OpenMakerLink(HWND owner) {
    OpenWithShell(owner, kMakerLink);
}

}  // namespace velmora
