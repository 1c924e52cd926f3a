#include "app/form2_presenter.h"

namespace velmora {

void Form2Presenter::Command1_Click(DialogMode mode) {
    const PasswordDecision decision =
        DecidePassword(tables_, mode, view_.BoxText(0), view_.BoxText(1), state_.StoredCheck);
    view_.SetBoxText(0, decision.first_box);
    view_.SetBoxText(1, decision.second_box);
    if (!decision.accepted()) {
        state_.engine.PasswordKey.clear();
        view_.ShowMessage(decision.message, decision.icon);
        view_.FocusBox(0);
        return;
    }
    view_.PumpEvents();
    state_.engine.PasswordKey = decision.key;
    view_.HideDialog();
    view_.PumpEvents();
}

void Form2Presenter::Command2_Click() {
    state_.engine.PasswordKey.clear();
    end_program_();
}

void Form2Presenter::EnterInBox(DialogMode mode, int index) {
    if (OnEnter(mode, index) == EnterInPasswordBox::kPressOk)
        Command1_Click(mode);
    else
        view_.FocusBox(1);
}

}  // namespace velmora
