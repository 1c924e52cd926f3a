#pragma once

#include "ui/win32/design_window.h"

namespace velmora {

// The instructions window: how the program is used from a folder's context
// menu. "ACEPTAR" (also Enter and Escape) and the close box unload it.
class F3 : public DesignWindow {
  public:
    F3();

    // Shows the window and runs the windows until it has been unloaded.
    void ShowModal();

  protected:
    void ButtonPressed(HWND button) override;
    void CloseRequested() override;

  private:
    void Command1_Click();
};

}  // namespace velmora
