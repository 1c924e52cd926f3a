#pragma once

#include <functional>
#include <string>

#include "app/form2_presenter.h"
#include "app/help_viewing.h"
#include "app/password_decision.h"
#include "app/program_state.h"
#include "cipher/cipher_tables.h"
#include "ui/win32/design_window.h"

namespace velmora {

// The password dialog. Tag "1": the password is typed twice for encoding;
// "2": once, and accepted only when it opens the container whose check value
// start-up left in the program state; "3" and "4" the same for a sealed
// container. An accepted password leaves what the work needs in the state
// and hides the dialog.
class Form2 : public DesignWindow, private Form2View {
  public:
    // help: what a click on the title picture opens; end_program closes
    // every file and ends the process.
    Form2(ProgramState& state, const CipherTables& tables, HelpViewing help,
          std::function<void()> end_program);

    std::string Tag = "1";

    // Shows the dialog and runs the windows until it hides itself after an
    // accepted password.
    void ShowModal();
    void ClearFirstBox();

  protected:
    void ButtonPressed(HWND button) override;
    void EnterPressed() override;
    void BoxClicked(HWND box) override;
    void CloseRequested() override;
    LRESULT Receive(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    DialogMode Mode() const { return ModeFromTag(Tag); }
    HWND Box(int index) const { return Control("Text1", index); }
    TypedPassword BoxText(int index, PasswordCoding coding) const override;
    void SetBoxText(int index, const std::string& text, PasswordCoding coding) override;
    void LimitFirstBox(int characters) override;
    void HideSecondBox() override;
    void FocusBox(int index) override;
    void ShowMessage(const std::string& cp1252, MessageIcon icon) override;
    bool AskYesNo(const std::string& cp1252) override;
    void PumpEvents() override;
    void HideDialog() override;
    void ShowSealedRows(const SealedDialogRows& rows, int client_height) override;
    void SetCaption(const std::string& cp1252) override;
    void SetBusy(bool busy) override;

    HelpViewing help_;
    std::function<void()> end_program_;
    Form2Presenter presenter_;
};

}  // namespace velmora
