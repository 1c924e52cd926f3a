#pragma once

#include <functional>
#include <string>

#include "app/password_decision.h"
#include "app/program_state.h"
#include "cipher/cipher_tables.h"

namespace velmora {

// What a view of the password dialog does when the behaviour asks: each
// system's window implements it with its own controls.
class Form2View {
  public:
    virtual ~Form2View() = default;
    virtual TypedPassword BoxText(int index) const = 0;
    virtual void SetBoxText(int index, const std::string& cp1252) = 0;
    virtual void FocusBox(int index) = 0;
    virtual void ShowMessage(const std::string& cp1252, MessageIcon icon) = 0;
    // Lets pending window events run.
    virtual void PumpEvents() = 0;
    virtual void HideDialog() = 0;
};

// The password dialog's behaviour, written once for every view: "Ok",
// "Cancelar" and Enter in a password box.
class Form2Presenter {
  public:
    Form2Presenter(ProgramState& state, const CipherTables& tables, Form2View& view,
                   std::function<void()> end_program)
        : state_(state), tables_(tables), view_(view), end_program_(std::move(end_program)) {}

    // "Ok": an accepted password leaves its key in the state and hides the
    // dialog; a refusal shows its message and puts the focus in the first
    // box. Either way the boxes show what the decision leaves in them.
    void Command1_Click(DialogMode mode);
    // "Cancelar" and the close box end the program.
    void Command2_Click();
    // Enter in box `index`: presses "Ok" or moves on to the second box.
    void EnterInBox(DialogMode mode, int index);

  private:
    ProgramState& state_;
    const CipherTables& tables_;
    Form2View& view_;
    std::function<void()> end_program_;
};

}  // namespace velmora
