#pragma once

#include <functional>
#include <string>

#include "app/password_decision.h"
#include "app/program_state.h"
#include "app/sealed_windows.h"
#include "cipher/cipher_tables.h"

namespace velmora {

// What a view of the password dialog does when the behaviour asks: each
// system's window implements it with its own controls.
class Form2View {
  public:
    virtual ~Form2View() = default;
    // A box's text in the coding given; nothing when a character has no
    // form in it.
    virtual TypedPassword BoxText(int index, PasswordCoding coding) const = 0;
    virtual void SetBoxText(int index, const std::string& text, PasswordCoding coding) = 0;
    // The characters the first box takes; 0: no limit.
    virtual void LimitFirstBox(int characters) = 0;
    virtual void HideSecondBox() = 0;
    virtual void FocusBox(int index) = 0;
    virtual void ShowMessage(const std::string& cp1252, MessageIcon icon) = 0;
    // A modal question with the buttons "Sí" and "No": true for "Sí".
    virtual bool AskYesNo(const std::string& cp1252) = 0;
    // Lets pending window events run.
    virtual void PumpEvents() = 0;
    virtual void HideDialog() = 0;
    // The sealed modes' rows shown, the dialog made that tall (its client
    // area, at 96 dots per inch).
    virtual void ShowSealedRows(const SealedDialogRows& rows, int client_height) = 0;
    virtual void SetCaption(const std::string& cp1252) = 0;
    // The busy pointer over the dialog, or the usual ones again.
    virtual void SetBusy(bool busy) = 0;
};

// The password dialog's behaviour, written once for every view: "Ok",
// "Cancelar", Enter in a password box, and what the mode makes of the
// boxes.
class Form2Presenter {
  public:
    Form2Presenter(ProgramState& state, const CipherTables& tables, Form2View& view,
                   std::function<void()> end_program)
        : state_(state), tables_(tables), view_(view), end_program_(std::move(end_program)) {}

    // The dialog is shown or activated: the first box takes at most 15
    // characters in the legacy modes and has no limit in the sealed ones;
    // only one box shows when decoding; in the sealed modes the dialog is
    // taller and says what will happen (sealed_windows.h).
    void Shown(DialogMode mode);
    // "Ok": an accepted password leaves what the work needs in the state
    // (the legacy key, the password to seal with, or the sealed container's
    // keys) and hides the dialog; a refusal shows its message and puts the
    // focus in the first box. Either way the boxes show what the decision
    // leaves in them. While a sealed container's key is being derived the
    // caption says so, the pointer is busy, the windows' events run, and
    // "Ok" pressed again meanwhile does nothing. A
    // costly derivation is asked about first; "No" ends the program with
    // nothing done.
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
    bool checking_ = false;
};

}  // namespace velmora
