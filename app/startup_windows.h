#pragma once

#include <string>

#include "container/host.h"

namespace velmora {

// What start-up needs of the three windows. The Qt windows implement it for
// the program; the tests drive the modal steps themselves.
class StartupWindows {
  public:
    virtual ~StartupWindows() = default;

    // The main window, as the long operations see it.
    virtual Host& MainWindow() = 0;

    virtual void SetPasswordDialogCaption(const std::string& caption) = 0;
    virtual void SetPasswordDialogTag(const std::string& tag) = 0;
    // Returns once the dialog has accepted a password (the key is then in
    // the program state); its "Cancelar" and close box end the program.
    virtual void ShowPasswordDialogModal() = 0;
    // Empties the dialog's first password box.
    virtual void ClearPasswordBox() = 0;

    virtual void ShowMainWindow() = 0;
    // Returns when the instructions window has been closed.
    virtual void ShowInstructionsModal() = 0;
    // A modal question with the buttons "Sí" and "No" (Windows-1252 text,
    // the title "Velmora"): true for "Sí".
    virtual bool AskYesNo(const std::string& cp1252) = 0;
};

}  // namespace velmora
