#pragma once

#include <memory>
#include <string>

#include "app/startup_windows.h"
#include "ui/win32/design_window.h"
#include "ui/win32/form1_win32.h"
#include "ui/win32/form2_win32.h"

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

// The three windows of one run. The main window exists from the start; the
// password dialog and the instructions window are made on first use.
class Win32Windows : public StartupWindows {
  public:
    Win32Windows(FileSystem& files, ProgramState& state, const CipherTables& tables,
                 std::string program_folder);

    Host& MainWindow() override { return form1_; }
    void SetPasswordDialogCaption(const std::string& caption) override;
    void SetPasswordDialogTag(const std::string& tag) override;
    void ShowPasswordDialogModal() override;
    void ClearPasswordBox() override;
    void ShowMainWindow() override;
    void ShowInstructionsModal() override;
    bool AskYesNo(const std::string& cp1252) override;

    Form1& form1() { return form1_; }

  private:
    Form2& form2();

    ProgramState& state_;
    const CipherTables& tables_;
    std::string program_folder_;
    Form1 form1_;
    std::unique_ptr<Form2> form2_;
    std::unique_ptr<F3> f3_;
};

}  // namespace velmora
